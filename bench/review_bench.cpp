// Speed of the review file on the 1 000-log evening: importing its logs (the
// baseline), saving the review of the judged evening, and opening it again
// (reading, importing, hashing what the stamps do not vouch for, restoring).
// Saving and opening should each cost at most 1.2 x the import of the same
// logs.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
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
    // A judge's logs arrived a while before the review is saved.
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    Judged = std::make_unique<TImportSession>(TLocalSettings{',', 60});
    Judged->ImportFiles(Paths, Year, {}, SystemCoreCount());
    TCrossCheck check(Judged->Logs(), {}, SystemCoreCount());
    for (std::size_t log = 0; log < check.LogCount(); ++log) check.Apply(log);
    (void)WriteReviewFile(Review, CaptureReview(*Judged, Review, {}, {}, nullptr, SystemNowNs()));
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

void ImportEvening(const TReviewEvening& evening) {
  TImportSession session({',', 60});
  session.ImportFiles(evening.Paths, evening.Year, {}, SystemCoreCount());
  benchmark::DoNotOptimize(session.Logs().data());
}

void OpenReviewOf(const std::string& review) {
  TImportSession session({',', 60});
  const TReviewRead read = ReadReviewFile(review, SystemCoreCount());
  benchmark::DoNotOptimize(OpenReview(session, read.Review, review, SystemCoreCount()).Restored.data());
}

void BM_EveningImport(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  for (auto _ : state) ImportEvening(evening);
}
BENCHMARK(BM_EveningImport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReviewSave(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  const std::string path = evening.Dir + "/saved.loggrevy";
  for (auto _ : state) {
    const auto failure = WriteReviewFile(path, CaptureReview(*evening.Judged, path, {}, {}, nullptr, SystemNowNs()));
    benchmark::DoNotOptimize(failure);
  }
}
BENCHMARK(BM_ReviewSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReviewOpen(benchmark::State& state) {
  const std::string review = Evening().Review;
  for (auto _ : state) OpenReviewOf(review);
}
BENCHMARK(BM_ReviewOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same review without the files' stamps, as after the evening's folder
// was copied elsewhere: every log is hashed again.
void BM_ReviewOpenHashingEveryLog(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  const std::string path = evening.Dir + "/unstamped.loggrevy";
  TReview review = ReadReviewFile(evening.Review).Review;
  for (TReviewLog& log : review.Logs) log.Stamp.reset();
  (void)WriteReviewFile(path, review);
  for (auto _ : state) OpenReviewOf(path);
}
BENCHMARK(BM_ReviewOpenHashingEveryLog)->Unit(benchmark::kMillisecond)->UseRealTime();

// The processor time of every thread of the process, in seconds.
double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Import and open in turns within each iteration, so that a busy machine
// slows both alike: the counters are the open's share of the import's wall
// time and of its processor time (all threads), which a machine that lends
// its cores to others changes least.
void BM_ReviewOpenPairedWithImport(benchmark::State& state) {
  TReviewEvening& evening = Evening();
  std::chrono::duration<double> import{};
  std::chrono::duration<double> open{};
  double importCpu = 0.0;
  double openCpu = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double startCpu = ProcessSeconds();
    ImportEvening(evening);
    const auto imported = std::chrono::steady_clock::now();
    const double importedCpu = ProcessSeconds();
    OpenReviewOf(evening.Review);
    import += imported - start;
    open += std::chrono::steady_clock::now() - imported;
    importCpu += importedCpu - startCpu;
    openCpu += ProcessSeconds() - importedCpu;
  }
  state.counters["open_per_import"] = open / import;
  state.counters["open_per_import_cpu"] = openCpu / importCpu;
}
BENCHMARK(BM_ReviewOpenPairedWithImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
}  // namespace loggrevy::bench
