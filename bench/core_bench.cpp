// Speed of the reader, the distance, the checker, the judgement and the import
// of a batch, on logs made by the generator. The floor is the bare 80-bit
// arithmetic of one QSO's distance; the other figures are compared with it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/log_generator.h"
#include "checker/naccheck.h"
#include "cli/reports.h"
#include "core/locator.h"
#include "edi/reg1test.h"
#include "model/import_session.h"

namespace loggrevy::bench {
namespace {

constexpr int kLogQsos = 300;
constexpr int kBatchLogs = 100;
constexpr int32_t kYear = 2026;
constexpr int32_t kUtcOffset = 60;

std::string BatchDir;
std::vector<std::string> BatchPaths;
int64_t BatchBytes = 0;

const std::string& SampleLog() {
  static const std::string text = GenerateLog(BatchLogOptions(0, kLogQsos, 1));
  return text;
}

// The partners of the sample log, converted, as the checker sees them.
struct TPartners {
  TLocatorPoint Own;
  std::vector<TLocatorPoint> Points;
};

const TPartners& SamplePartners() {
  static const TPartners partners = [] {
    TReg1Test log;
    log.LoadFromBuffer(SampleLog(), "sample.edi");
    TPartners result;
    result.Own.Locator = log.PWWLo.substr(0, 6);
    LocatorToLatLon(result.Own);
    for (const TQSORecord& q : log.QSOs) {
      TLocatorPoint point{std::string(q.RcvdWWL.View())};
      LocatorToLatLon(point);
      result.Points.push_back(point);
    }
    return result;
  }();
  return partners;
}

void BM_ReadBytes(benchmark::State& state) {
  const std::string& text = SampleLog();
  for (auto _ : state) {
    TReg1Test log;
    log.LoadFromBuffer(text, "sample.edi");
    benchmark::DoNotOptimize(log.QSOs.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadBytes);

void BM_ReadUtf16(benchmark::State& state) {
  const std::string text = ToUtf16(SampleLog());
  for (auto _ : state) {
    TReg1Test log;
    log.LoadFromBuffer(text, "sample.edi");
    benchmark::DoNotOptimize(log.QSOs.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadUtf16);

// From the page cache through open and read, as an import reads a file.
void BM_ReadFile(benchmark::State& state) {
  const std::string& path = BatchPaths.front();
  const auto size = static_cast<int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) {
    TReg1Test log;
    log.LoadFromFile(path);
    benchmark::DoNotOptimize(log.QSOs.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_ReadFile);

// CalcQRB as the log view calls it: the partner converted from its locator,
// the own point's sine and cosine computed on each call.
void BM_CalcQRB(benchmark::State& state) {
  const TPartners& partners = SamplePartners();
  std::vector<TLocatorPoint> points = partners.Points;
  for (auto _ : state) {
    for (TLocatorPoint& partner : points) {
      double km = 0.0;
      CalcQRB(partner, partners.Own, km);
      benchmark::DoNotOptimize(km);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_CalcQRB);

// The floor: the 80-bit arithmetic one QSO's distance cannot do without, the
// own point's sine and cosine computed beforehand.
void BM_Floor(benchmark::State& state) {
  const TPartners& partners = SamplePartners();
  constexpr long double kDegToRad = 0.017453292519943295769L;
  constexpr long double kEarthRadiusKm = 6371.2906818547540815L;
  const long double ownLongitude = static_cast<long double>(partners.Own.Longitude) * kDegToRad;
  const long double ownLatitude = static_cast<long double>(partners.Own.Latitude) * kDegToRad;
  const long double ownCos = cosl(ownLatitude);
  const long double ownSin = sinl(ownLatitude);
  for (auto _ : state) {
    for (const TLocatorPoint& partner : partners.Points) {
      const long double longitude = static_cast<long double>(partner.Longitude) * kDegToRad;
      const long double latitude = static_cast<long double>(partner.Latitude) * kDegToRad;
      const long double c = cosl(ownLongitude - longitude) * ownCos * cosl(latitude) + ownSin * sinl(latitude);
      const double sigma = static_cast<double>(atan2l(sqrtl(1.0L - c * c), c));
      double km = static_cast<double>(static_cast<long double>(sigma) * kEarthRadiusKm);
      benchmark::DoNotOptimize(km);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(partners.Points.size()));
}
BENCHMARK(BM_Floor);

// The checker's own distance loop, for comparison with the floor.
void BM_QrbCalculator(benchmark::State& state) {
  const TPartners& partners = SamplePartners();
  const TQrbCalculator qrb(partners.Own);
  for (auto _ : state) {
    for (const TLocatorPoint& partner : partners.Points) {
      double km = qrb.DistanceTo(partner);
      benchmark::DoNotOptimize(km);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(partners.Points.size()));
}
BENCHMARK(BM_QrbCalculator);

// The whole Check of a read log, per QSO. The log is put back as it was read
// before each check (the check clears Valid flags and may rewrite PClub).
void BM_Check(benchmark::State& state) {
  TReg1Test log;
  log.LoadFromBuffer(SampleLog(), "sample.edi");
  std::vector<bool> valid;
  for (const TQSORecord& q : log.QSOs) valid.push_back(q.Valid);
  const std::string club = log.PClub;
  const std::string section = log.PSect;
  for (auto _ : state) {
    for (std::size_t i = 0; i < valid.size(); ++i) log.QSOs[i].Valid = valid[i];
    log.PClub = club;
    log.PSect = section;
    TNacChecker checker;
    checker.Check(log, kYear, kUtcOffset);
    benchmark::DoNotOptimize(checker.Score());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.QSOs.size()));
}
BENCHMARK(BM_Check);

// One judgement in the log view: SetPenalty, which recalculates the log.
// Claims match the computed points, so no warning piles up from call to call.
void BM_Judgement(benchmark::State& state) {
  TLogOptions options = BatchLogOptions(0, static_cast<int>(state.range(0)), 7);
  options.WrongClaimPerMille = 0;
  TReg1Test log;
  log.LoadFromBuffer(GenerateLog(options), "judged.edi");
  TNacChecker checker;
  checker.Check(log, kYear, kUtcOffset);
  const std::size_t messages = checker.Messages().size();
  const auto count = static_cast<int64_t>(log.QSOs.size());
  int64_t position = 0;
  for (auto _ : state) {
    const int64_t at = position % count;
    checker.SetPenalty(at, checker.GetPenalty(at) == kPenaltyNone ? kPenaltyInvalid : kPenaltyNone);
    position += 7;
    benchmark::DoNotOptimize(checker.Score());
  }
  state.counters["qsos"] = static_cast<double>(count);
  state.counters["new_messages"] = static_cast<double>(checker.Messages().size() - messages);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_Judgement)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The import of a batch of files into the outline, as both front ends do it.
void BM_ImportBatch(benchmark::State& state) {
  for (auto _ : state) {
    TImportSession session({',', kUtcOffset});
    session.ImportFiles(BatchPaths, kYear);
    benchmark::DoNotOptimize(session.Logs().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * BatchBytes);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBatchLogs * kLogQsos);
}
BENCHMARK(BM_ImportBatch)->Unit(benchmark::kMillisecond);

// The two reports of an imported batch, written to /dev/null.
template <bool Json>
void BM_Report(benchmark::State& state) {
  TImportSession session({',', kUtcOffset});
  session.ImportFiles(BatchPaths, kYear);
  std::ofstream out("/dev/null", std::ios::binary);
  const TReportSettings settings{kYear, kUtcOffset, ','};
  for (auto _ : state) {
    if constexpr (Json) {
      WriteJsonReport(out, session, settings);
    } else {
      WriteTextReport(out, session, settings);
    }
    out.flush();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBatchLogs * kLogQsos);
}
BENCHMARK(BM_Report<false>)->Name("BM_TextReport")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Report<true>)->Name("BM_JsonReport")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace loggrevy::bench

int main(int argc, char** argv) {
  using namespace loggrevy::bench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BatchDir = MakeTempDir("loggrevy-bench");
  BatchPaths = WriteBatch(BatchDir, kBatchLogs, kLogQsos, 1);
  for (const std::string& path : BatchPaths) BatchBytes += static_cast<int64_t>(std::filesystem::file_size(path));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveDir(BatchDir);
  return 0;
}
