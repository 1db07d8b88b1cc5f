#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "crosscheck/crosscheck.h"
#include "crosscheck_batch.h"
#include "model/import_session.h"
#include "support/crosscheck_invariants.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> EdiFilesBelow(const fs::path& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    std::string extension = it->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
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
    EXPECT_EQ(invariants::CheckCrossCheck(session.Logs(), check), "") << folder;
    EXPECT_EQ(test::Everything(TCrossCheck(session.Logs(), {10, serials}, 3)), test::Everything(check)) << folder;
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

TEST(CorpusCrossCheck, EveryOtherRealLogIsSound) { CheckFolder(fs::path(LOGGREVY_CORPUS_DIR) / "real", 2026); }

TEST(CorpusCrossCheck, TheSampleEveningIsSound) { CheckFolder(fs::path(LOGGREVY_SAMPLES_DIR) / "nac-evening", 2026); }

}  // namespace
}  // namespace loggrevy
