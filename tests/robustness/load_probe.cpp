// Reads one file as an imported log and prints what came out and the peak
// resident memory of the process, for measuring the reader's memory bound:
//   loggrevy_load_probe FILE
// (not a test; fuzz/README.md records its figures)

#include <sys/resource.h>

#include <cstdio>

#include "model/implog.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: loggrevy_load_probe FILE\n", stderr);
    return 2;
  }
  const loggrevy::TLog log(argv[1], 2021, loggrevy::TLocalSettings{});
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("status %d, lines %zu, qsos %zu, diagnostics %zu, messages %zu, peak rss %ld kB\n", int{log.Edi().Status},
              log.Edi().Lines.size(), log.Edi().QSOs.size(), log.Edi().Diagnostics.size(),
              log.Checker().Messages().size(), usage.ru_maxrss);
  return 0;
}
