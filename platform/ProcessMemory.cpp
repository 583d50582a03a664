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

}  // namespace qv
