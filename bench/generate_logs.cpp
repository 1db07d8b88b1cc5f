// Writes a batch of generated EDI logs for the end-to-end measurements:
//   loggrevy-bench-logs DIR COUNT QSOS [SEED]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/log_generator.h"

int main(int argc, char* argv[]) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: %s DIR COUNT QSOS [SEED]\n", argv[0]);
    return 2;
  }
  try {
    const int count = std::atoi(argv[2]);
    const int qsos = std::atoi(argv[3]);
    const auto seed = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 1ull;
    loggrevy::bench::WriteBatch(argv[1], count, qsos, seed);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
