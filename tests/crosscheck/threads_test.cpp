#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "crosscheck_batch.h"

namespace loggrevy {
namespace {

using test::Everything;
using test::TBatch;
using test::TStation;

// An evening large enough that the index is sorted in several slices: 80
// stations that all work each other, from numbers that follow one rule, with
// missing QSOs, calls a letter off, clocks off, and one pair that works each
// other forty times (a bucket searched through its sorted sides).
std::vector<TStation> LargeEvening() {
  constexpr int kStations = 80;
  std::vector<TStation> stations(kStations);
  const auto call = [](int s) {
    return "SM" + std::to_string(s % 8) + std::string(1, char('A' + s / 26 % 26)) + char('A' + s % 26) + "X";
  };
  for (int s = 0; s < kStations; ++s) {
    stations[static_cast<std::size_t>(s)].Call = call(s);
    stations[static_cast<std::size_t>(s)].Locator = "JO" + std::to_string(57 + s % 3) + "AA";
  }
  uint32_t seed = 12345;
  const auto next = [&](uint32_t below) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % below;
  };
  const auto hhmm = [](uint32_t minute) {
    const uint32_t at = minute % 240;
    char text[8];
    std::snprintf(text, sizeof text, "%02u%02u", 17 + at / 60, at % 60);
    return std::string(text);
  };
  for (int a = 0; a < kStations; ++a) {
    for (int b = a + 1; b < kStations; ++b) {
      const int times = a == 0 && b == 1 ? 40 : 6;
      for (int k = 0; k < times; ++k) {
        const uint32_t minute = next(240);
        const uint32_t drift = b % 17 == 0 ? 60 : next(3);
        std::string heard = call(b);
        if (next(100) < 2) heard[3] = 'Z';  // a letter off
        if (next(100) >= 3) {
          stations[static_cast<std::size_t>(a)].Qsos.push_back(hhmm(minute) + " " + heard + " " +
                                                               stations[static_cast<std::size_t>(b)].Locator);
        }
        if (next(100) >= 3) {
          stations[static_cast<std::size_t>(b)].Qsos.push_back(hhmm(minute + drift) + " " + call(a) + " " +
                                                               stations[static_cast<std::size_t>(a)].Locator);
        }
      }
    }
  }
  return stations;
}

TEST(CrossCheckThreads, EveryNumberOfThreadsGivesTheSameCrossCheck) {
  const std::vector<std::string> texts = TBatch::Texts(LargeEvening());
  for (const TCrossCheckOptions options : {TCrossCheckOptions{10, false}, TCrossCheckOptions{0, true}}) {
    const TBatch batch(texts, options);
    const std::string alone = Everything(*batch.Check);
    for (const std::size_t jobs : {2U, 3U, 8U}) {
      const TCrossCheck check(batch.Logs, options, jobs);
      EXPECT_EQ(Everything(check), alone) << jobs << " threads";
    }
    // What the evening holds, so that each pass has work.
    std::array<int64_t, kVerdictCount> counts{};
    for (std::size_t log = 0; log < batch.Logs.size(); ++log) {
      for (std::size_t v = 0; v < kVerdictCount; ++v) counts[v] += batch.Check->Log(log).Counts[v];
    }
    for (const TVerdict verdict :
         {TVerdict::Confirmed, TVerdict::BustedCall, TVerdict::TimeMismatch, TVerdict::NotInLog}) {
      EXPECT_GT(counts[static_cast<std::size_t>(verdict)], 0) << VerdictCode(verdict);
    }
  }
}

}  // namespace
}  // namespace loggrevy
