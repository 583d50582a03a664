#pragma once
// The process's own memory, as the system counts it: for watching a long run from inside.

namespace qv {

// The resident set size in kilobytes; -1 when the system does not tell.
long ResidentKilobytes();

// Hands memory the heap holds free back to the system (what it can: whole free pages).
void ReturnFreedMemory();

}  // namespace qv
