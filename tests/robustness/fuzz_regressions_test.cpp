// Replays every input the fuzz targets ever failed on (fuzz/run copies them to
// tests/data/fuzz-regressions/) through both targets' harnesses.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/fuzz_harness.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

TEST(FuzzRegressions, EveryFindingKeepsTheInvariants) {
  const std::filesystem::path folder = std::filesystem::path(LOGGREVY_TEST_DATA_DIR) / "fuzz-regressions";
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(folder)) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  if (files.empty()) GTEST_SKIP() << "no saved fuzz findings in " << folder;
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(harness::ExerciseReader(bytes), "") << file;
    EXPECT_EQ(harness::ExerciseJudgement(bytes), "") << file;
  }
}

}  // namespace
}  // namespace loggrevy
