#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "crosscheck/crosscheck.h"
#include "model/import_session.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;

// Every pair points both ways, the counts add up to the records of the active
// logs, and no figure after the cross-check exceeds the checker's own.
void ExpectSound(const TImportSession& session, const TCrossCheck& check) {
  const std::vector<TLog*>& logs = session.Logs();
  for (std::size_t log = 0; log < logs.size(); ++log) {
    const TLogCrossCheck& result = check.Log(log);
    if (check.BatchLog(log).Role != TBatchRole::Active) {
      EXPECT_TRUE(result.Qsos.empty()) << logs[log]->Path();
      continue;
    }
    int64_t counted = 0;
    for (const int32_t count : result.Counts) counted += count;
    EXPECT_EQ(counted, static_cast<int64_t>(logs[log]->Edi().QSOs.size())) << logs[log]->Path();
    for (std::size_t q = 0; q < result.Qsos.size(); ++q) {
      const TQsoVerdict& verdict = result.Qsos[q];
      if (!HasEvidence(verdict.Verdict)) continue;
      const auto other = static_cast<std::size_t>(verdict.OtherLog);
      ASSERT_EQ(check.BatchLog(other).Role, TBatchRole::Active);
      ASSERT_EQ(check.BatchLog(other).Group, check.BatchLog(log).Group);
      const TQsoVerdict& back = check.Log(other).Qsos.at(static_cast<std::size_t>(verdict.OtherQso - 1));
      EXPECT_EQ(back.OtherLog, static_cast<int32_t>(log)) << logs[log]->Path() << " QSO " << q + 1;
      EXPECT_EQ(back.OtherQso, static_cast<int32_t>(q + 1)) << logs[log]->Path() << " QSO " << q + 1;
      EXPECT_EQ(back.DeltaMinutes, -verdict.DeltaMinutes);
    }
    ASSERT_TRUE(result.After);
    EXPECT_LE(result.After->Score, logs[log]->Checker().GetScore()) << logs[log]->Path();
    EXPECT_LE(result.After->Squares, logs[log]->Checker().SquareCount()) << logs[log]->Path();
  }
}

std::vector<std::string> EdiFilesBelow(const fs::path& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    std::string extension = it->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (it->is_regular_file() && extension == ".edi") files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void CheckFolder(const fs::path& folder, int32_t year) {
  const std::vector<std::string> files = EdiFilesBelow(folder);
  if (files.empty()) GTEST_SKIP() << folder << " is absent";
  TImportSession session(TLocalSettings{',', 60});
  session.ImportFiles(files, year);
  for (const bool serials : {false, true}) {
    const TCrossCheck check(session.Logs(), {10, serials});
    ExpectSound(session, check);
    if (serials) continue;
    for (const TBatchGroup& group : check.Groups().Groups) {
      std::array<int64_t, kVerdictCount> counts{};
      for (const int32_t log : group.Logs) {
        for (std::size_t v = 0; v < kVerdictCount; ++v) counts[v] += check.Log(static_cast<std::size_t>(log)).Counts[v];
      }
      std::cout << "[ group ] " << (group.Date ? DayText(*group.Date) : std::string("-")) << ' ' << group.Band << ", "
                << group.Logs.size() << " logs, " << group.Unreadable.size() << " unreadable:";
      for (std::size_t v = 0; v < kVerdictCount; ++v) {
        if (counts[v] != 0) std::cout << ' ' << VerdictCode(kAllVerdicts[v]) << ' ' << counts[v];
      }
      std::cout << '\n';
    }
  }
}

TEST(CorpusCrossCheck, TheRealContestEveningIsSound) {
  CheckFolder(fs::path(LOGGREVY_CORPUS_DIR) / "real" / "radoshordos__vkvpa-new" / "012026", 2026);
}

TEST(CorpusCrossCheck, EveryOtherRealLogIsSound) {
  CheckFolder(fs::path(LOGGREVY_CORPUS_DIR) / "real", 2026);
}

TEST(CorpusCrossCheck, TheSampleEveningIsSound) { CheckFolder(fs::path(LOGGREVY_SAMPLES_DIR) / "nac-evening", 2026); }

}  // namespace
}  // namespace loggrevy
