// Writes one generated contest evening, a log per station, for the end-to-end
// measurements of the cross-check:
//   loggrevy-bench-evening DIR LOGS [QSOS [SEED]]
// and prints what was put in: QSOs missing from the partner's log, busted
// calls and locators, uniques and stations whose clock is an hour fast.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/evening_generator.h"

int main(int argc, char* argv[]) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: %s DIR LOGS [QSOS [SEED]]\n", argv[0]);
    return 2;
  }
  try {
    loggrevy::bench::TEveningOptions options;
    options.Logs = std::atoi(argv[2]);
    if (argc >= 4) options.QsosPerLog = std::atoi(argv[3]);
    if (argc == 5) options.Seed = std::strtoull(argv[4], nullptr, 10);
    const loggrevy::bench::TEvening evening = loggrevy::bench::GenerateEvening(options);
    loggrevy::bench::WriteEvening(argv[1], evening);
    const loggrevy::bench::TEveningErrors& e = evening.Injected;
    std::printf("%zu logs; missing %d, busted calls %d, busted locators %d, uniques %d, clocks off %d\n",
                evening.Texts.size(), e.Missing, e.BustedCalls, e.BustedLocators, e.Uniques, e.ClockOffStations);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
