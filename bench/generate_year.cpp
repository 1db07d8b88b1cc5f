// Writes a generated year of NAC evenings, one folder per evening, for the
// end-to-end measurement of the standings:
//   loggrevy-bench-year DIR [LOGS [QSOS]]
// Twelve evenings on each of 144 MHz, 432 MHz, 1,3 GHz, 10 GHz and 50 MHz and
// six on 2,3 GHz: 66 evenings. The stations of a band are the same all year
// (one seed per band); their QSOs, and so their points, differ from month to
// month.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "bench/evening_generator.h"

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: %s DIR [LOGS [QSOS]]\n", argv[0]);
    return 2;
  }
  try {
    const int logs = argc >= 3 ? std::atoi(argv[2]) : 100;
    const int qsos = argc == 4 ? std::atoi(argv[3]) : 100;
    const struct {
      const char* Band;
      const char* Folder;
      int Months;
    } bands[] = {{"144 MHz", "144", 12}, {"432 MHz", "432", 12}, {"1,3 GHz", "1g3", 12},
                 {"10 GHz", "10g", 12},  {"50 MHz", "50", 12},   {"2,3 GHz", "2g3", 6}};
    int evenings = 0;
    for (std::size_t b = 0; b < std::size(bands); ++b) {
      for (int month = 1; month <= bands[b].Months; ++month) {
        loggrevy::bench::TEveningOptions options;
        options.Logs = logs;
        options.QsosPerLog = qsos + 5 * month;
        options.Seed = 100 + b;
        options.Band = bands[b].Band;
        options.Month = month;
        char folder[32];
        std::snprintf(folder, sizeof folder, "%s-%02d", bands[b].Folder, month);
        const std::filesystem::path dir = std::filesystem::path(argv[1]) / folder;
        std::filesystem::create_directories(dir);
        loggrevy::bench::WriteEvening(dir.string(), loggrevy::bench::GenerateEvening(options));
        ++evenings;
      }
    }
    std::printf("%d evenings of %d logs\n", evenings, logs);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
