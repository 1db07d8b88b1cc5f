#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "model/review_file.h"
#include "support/temp_dir.h"

namespace loggrevy {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TReview ReviewOf(const std::string& path) {
  TReview review;
  review.Logs.push_back({path, "00", 2026, true, 1234, 5, {{3, kPenaltyInvalid, "261201;1847;SM6WQY;1;59;;59;;;"}}});
  return review;
}

// A disk that fills up halfway through the new file: the old one stays as it
// was, and no temporary file is left beside it.
TEST(ReviewFile, AWriteThatFailsMidwayLeavesTheOldFile) {
  const test::TempDir dir;
  const std::string path = dir.PathOf("a.loggrevy");
  ASSERT_EQ(WriteReviewFile(path, ReviewOf("first.edi")), std::nullopt);
  const std::string old = ReadFile(path);
  std::size_t allowed = 40;
  const TWriteCall fillsUp = [&allowed](int fd, const void* data, std::size_t size) -> ssize_t {
    if (allowed == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t n = ::write(fd, data, std::min(size, allowed));
    allowed -= static_cast<std::size_t>(n);
    return n;
  };
  EXPECT_EQ(WriteReviewFile(path, ReviewOf("second.edi"), fillsUp), path + ": No space left on device");
  EXPECT_EQ(ReadFile(path), old);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.PathOf(""))) ++files;
  EXPECT_EQ(files, 1u);
  // And what is written is read back as it was.
  const TReviewRead read = ParseReview(old);
  ASSERT_EQ(read.Error, TReviewError::None);
  EXPECT_EQ(read.Review.Logs.at(0).Judgements, ReviewOf("first.edi").Logs[0].Judgements);
  EXPECT_EQ(read.Review.Logs.at(0).DxScore, 1234);
}

TEST(ReviewFile, LogPathsAreRelativeBelowTheReviewOnly) {
  const struct {
    const char* Log;
    const char* Stored;
  } cases[] = {{"/evening/logs/a.edi", "logs/a.edi"},
               {"/evening/a.edi", "a.edi"},
               {"/other/a.edi", "/other/a.edi"},
               {"/evening/../x/a.edi", "/x/a.edi"}};
  for (const auto& c : cases) {
    EXPECT_EQ(StoredLogPath(c.Log, "/evening/review.loggrevy"), c.Stored);
    EXPECT_EQ(ResolvedLogPath(c.Stored, "/evening/review.loggrevy"),
              std::filesystem::path(c.Log).lexically_normal().string());
  }
}

}  // namespace
}  // namespace loggrevy
