#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "core/platform.h"

namespace {

// A batch keeps every log in memory until its report is written, and on a
// virtual machine every fresh 4 kB page costs the kernel microseconds: about
// half the time of a large batch. Where the kernel gives huge pages only on
// request, glibc's malloc requests them when started with this tunable, so
// the program starts itself once more with it. Nothing else changes; when
// anything is off (a tunable already set, a preloaded library such as a
// profiler's, no /proc) the program simply goes on as it is.
void RestartWithHugePages(char* argv[]) {
#ifdef __GLIBC__
  if (std::getenv("GLIBC_TUNABLES") != nullptr || std::getenv("LD_PRELOAD") != nullptr) return;
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string line;
  if (!std::getline(mode, line) || line.find("[madvise]") == std::string::npos) return;
  if (::setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 0) != 0) return;
  ::execv("/proc/self/exe", argv);
  ::unsetenv("GLIBC_TUNABLES");  // exec failed: go on without
#else
  (void)argv;
#endif
}

// Every thread of --jobs allocates from an arena of its own, up to one arena
// per core (more threads than cores share them; each arena holds memory
// apart). With one arena for all, two threads reading a batch met at its lock
// about a thousand times a run, each time a trip into the kernel.
// glibc asks for huge pages for a thread's heap only as far as the heap is
// mapped when made, so the pad maps each heap whole (addresses, not memory)
// and the threads' logs get huge pages as the main heap does. The
// cross-check's arrays of a few megabytes come from the heaps too, and what
// one step frees stays there for the next: mapped apart and handed back, each
// would cost fresh pages again.
void SetUpMalloc() {
#ifdef __GLIBC__
  ::mallopt(M_ARENA_MAX, static_cast<int>(loggrevy::SystemCoreCount()));
  ::mallopt(M_TOP_PAD, 64 << 20);
  ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  RestartWithHugePages(argv);
  SetUpMalloc();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const loggrevy::TSystemDefaults defaults{loggrevy::SystemCurrentYear(), loggrevy::SystemUtcOffsetMinutes(),
                                           loggrevy::SystemDecimalSeparator(), loggrevy::SystemCoreCount(),
                                           loggrevy::SystemNowNs()};
  const int status = loggrevy::RunCheckCommand(args, std::cout, std::cerr, defaults);
  std::cout.flush();
  return status;
}
