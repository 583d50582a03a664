#pragma once
// The process's own memory, as the system counts it: for watching a long run from inside.

namespace qv {

// The resident set size in kilobytes; -1 when the system does not tell.
long ResidentKilobytes();

// Hands memory the heap holds free back to the system (what it can: whole free pages).
void ReturnFreedMemory();

// Keeps up to 64 MB the heap holds free at its top instead of handing it back as soon as it is
// freed. The software renderer allocates its per-frame buffers anew for every frame and frees
// them at its end; given back each time, they come back as fresh pages the kernel must fault in
// and zero, about a millisecond of processor time a frame. ReturnFreedMemory still gives
// everything back.
// Blocks under 32 MB come from the heap, so they are kept too.
void KeepFreedMemoryBetweenFrames();

}  // namespace qv
