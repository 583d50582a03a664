#include "platform/ProcessMemory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace qv {

long ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long totalPages = 0, residentPages = 0;
  if (!(statm >> totalPages >> residentPages)) return -1;
  return residentPages * (sysconf(_SC_PAGESIZE) / 1024);
}

void ReturnFreedMemory() { malloc_trim(0); }

void KeepFreedMemoryBetweenFrames() {
  constexpr int kKeptFreeBytes = 64 << 20;
  mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes);
  // Fixing the trim threshold also fixes the size from which blocks get their own mapping, at
  // 128 kB; the heap would otherwise raise it as such blocks come and go. Left there, a level
  // load's every large buffer would be mapped, faulted in and unmapped again.
  constexpr int kOwnMappingFromBytes = 32 << 20;
  mallopt(M_MMAP_THRESHOLD, kOwnMappingFromBytes);
}

}  // namespace qv
