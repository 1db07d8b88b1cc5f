// Speed of the cross-check of one generated evening of N logs of 300 QSOs:
// the import happens once per evening, outside the timed loop. Ten times the
// logs should cost at most twelve times the time (compare /100 with /1000,
// and /300 with /3000).
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "bench/evening_generator.h"
#include "bench/log_generator.h"
#include "crosscheck/crosscheck.h"
#include "model/import_session.h"

namespace loggrevy::bench {
namespace {

constexpr int kEveningQsos = 300;

// The evening last imported; the benchmarks of one size run one after the
// other, so one is kept at a time.
struct TImportedEvening {
  int Logs = -1;
  std::unique_ptr<TImportSession> Session;
};

const TImportSession& ImportedEvening(int logs) {
  static TImportedEvening evening;
  if (evening.Logs != logs) {
    evening.Session.reset();
    TEveningOptions options;
    options.Logs = logs;
    options.QsosPerLog = kEveningQsos;
    const std::string dir = MakeTempDir("loggrevy-evening");
    const std::vector<std::string> paths = WriteEvening(dir, GenerateEvening(options));
    evening.Session = std::make_unique<TImportSession>(TLocalSettings{',', 60});
    evening.Session->ImportFiles(paths, options.Year);
    RemoveDir(dir);
    evening.Logs = logs;
  }
  return *evening.Session;
}

void BM_CrossCheck(benchmark::State& state) {
  const TImportSession& session = ImportedEvening(static_cast<int>(state.range(0)));
  int64_t records = 0;
  for (const TLog* log : session.Logs()) records += static_cast<int64_t>(log->Edi().QSOs.size());
  std::array<int32_t, kVerdictCount> counts{};
  for (auto _ : state) {
    const TCrossCheck check(session.Logs(), TCrossCheckOptions{});
    benchmark::DoNotOptimize(check.Log(0).Counts.data());
    state.PauseTiming();
    counts = {};
    for (std::size_t log = 0; log < check.LogCount(); ++log) {
      for (std::size_t v = 0; v < kVerdictCount; ++v) counts[v] += check.Log(log).Counts[v];
    }
    state.ResumeTiming();
  }
  // What the evening holds, as the cross-check found it.
  state.counters["qsos"] = static_cast<double>(records);
  for (const TVerdict verdict : {TVerdict::Confirmed, TVerdict::BustedCall, TVerdict::BustedLocator,
                                 TVerdict::TimeMismatch, TVerdict::NotInLog, TVerdict::NoLog, TVerdict::Unique}) {
    std::string name(VerdictCode(verdict));
    state.counters[name] = static_cast<double>(counts[static_cast<std::size_t>(verdict)]);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * records);
}
BENCHMARK(BM_CrossCheck)->Arg(100)->Arg(300)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace loggrevy::bench
