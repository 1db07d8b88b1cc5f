// Speed of the review file on the 1 000-log evening: importing its logs (the
// baseline), saving the review of the judged evening, and opening it again
// (reading, hashing, importing, restoring). Saving and opening should each
// cost at most 1.2 x the import of the same logs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/evening_generator.h"
#include "bench/log_generator.h"
#include "core/platform.h"
#include "crosscheck/crosscheck.h"
#include "model/review_file.h"

namespace loggrevy::bench {
namespace {

constexpr int kReviewEveningLogs = 1000;

// The evening on disk with its review beside it: every proposal of the
// cross-check applied, every log's own sums adopted.
struct TReviewEvening {
  TReviewEvening() {
    TEveningOptions options;
    options.Logs = kReviewEveningLogs;
    Year = options.Year;
    Dir = MakeTempDir("loggrevy-review");
    Paths = WriteEvening(Dir, GenerateEvening(options));
    Review = Dir + "/evening.loggrevy";
    Judged = std::make_unique<TImportSession>(TLocalSettings{',', 60});
    Judged->ImportFiles(Paths, Year, {}, SystemCoreCount());
    TCrossCheck check(Judged->Logs(), {}, SystemCoreCount());
    for (std::size_t log = 0; log < check.LogCount(); ++log) check.Apply(log);
    (void)WriteReviewFile(Review, CaptureReview(*Judged, Review, {}, {}));
  }
  ~TReviewEvening() { RemoveDir(Dir); }

  int32_t Year = 0;
  std::string Dir;
  std::vector<std::string> Paths;
  std::string Review;
  std::unique_ptr<TImportSession> Judged;
};

TReviewEvening& Evening() {
  static TReviewEvening evening;
  return evening;
}

void BM_EveningImport(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  for (auto _ : state) {
    TImportSession session({',', 60});
    session.ImportFiles(evening.Paths, evening.Year, {}, SystemCoreCount());
    benchmark::DoNotOptimize(session.Logs().data());
  }
}
BENCHMARK(BM_EveningImport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReviewSave(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  const std::string path = evening.Dir + "/saved.loggrevy";
  for (auto _ : state) {
    const auto failure = WriteReviewFile(path, CaptureReview(*evening.Judged, path, {}, {}));
    benchmark::DoNotOptimize(failure);
  }
}
BENCHMARK(BM_ReviewSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReviewOpen(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  for (auto _ : state) {
    TImportSession session({',', 60});
    const TReviewRead read = ReadReviewFile(evening.Review);
    const TReviewOpened opened = OpenReview(session, read.Review, evening.Review, SystemCoreCount());
    benchmark::DoNotOptimize(opened.Restored.data());
  }
}
BENCHMARK(BM_ReviewOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace loggrevy::bench
