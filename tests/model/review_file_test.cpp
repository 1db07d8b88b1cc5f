#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "model/review_file.h"
#include "support/temp_dir.h"
#include "test_paths.h"

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
  for (const char* review : {"r.loggrevy", "./r.loggrevy", "../r.loggrevy", "a/./b/r.loggrevy", "a/../r.loggrevy",
                             "/r.loggrevy", "a//b/r.loggrevy"}) {
    for (const char* stored : {"x.edi", "logs/x.edi", "./x.edi", "logs/../x.edi", "logs//x.edi", "logs/"}) {
      EXPECT_EQ(ResolvedLogPath(stored, review),
                (std::filesystem::path(review).parent_path() / stored).lexically_normal().string())
          << review << " " << stored;
    }
  }
}

// A large review is cut into its logs and read on several threads; any
// document reads the same as in one piece, whatever it holds.
TEST(ReviewFile, ReadingOnThreadsMatchesReadingInOnePiece) {
  TReview review;
  for (int i = 0; i < 70; ++i) {
    review.Logs.push_back({"logs/\"" + std::to_string(i) + "\\].edi", std::string(64, 'a'), 2026, i % 3 == 0,
                           i * 1000, i, {{1, kPenaltyInvalid, "261103;1801;SA7\xC3\xA5N;\"]},{"}, {7, kPenaltyDuplicate, ""}}});
    if (i % 2 == 1) review.Logs.back().Stamp = TFileStamp{i, 2, 3, 18'446'744'073'709'551'615u};
  }
  const std::string text = ReviewText(review);
  const auto replaced = [&text](std::string_view what, std::string_view by, std::size_t from = 0) {
    std::string changed = text;
    changed.replace(changed.find(what, from), what.size(), by);
    return changed;
  };
  const std::size_t ninth = text.find("\"path\"", text.find("logs/\\\"9\\"));
  const struct {
    const char* Name;
    std::string Text;
    TReviewError Error;
    std::size_t Logs;
  } cases[] = {
      {"as written", text, TReviewError::None, 70},
      {"compact", nlohmann::json::parse(text).dump(), TReviewError::None, 70},
      {"escaped key", replaced("\"logs\"", "\"\\u006cogs\""), TReviewError::None, 70},
      {"logs twice", replaced("\n}\n", ", \"logs\": []}"), TReviewError::None, 0},
      {"unknown member", replaced("\"path\"", "\"x\": [\"]\", {\"a\": 1}], \"path\"", ninth), TReviewError::None, 70},
      {"sums without own sum", replaced("\"own_sum\": false,", "\"own_sum\": false, \"dx_score\": \"x\","),
       TReviewError::None, 70},
      {"year as a fraction", replaced("\"year\": 2026", "\"year\": 2026.0", ninth), TReviewError::None, 70},
      {"byte order mark", "\xEF\xBB\xBF" + text, TReviewError::None, 70},
      {"a member missing", replaced("\"sha256\"", "\"sha\"", ninth), TReviewError::Damaged, 0},
      {"a stamp without its size", replaced("\"size\"", "\"sizes\""), TReviewError::Damaged, 0},
      {"later format", replaced("\"judgements\"", "\"x\"", ninth).replace(text.find("\"format\": 1"), 11, "\"format\": 2"),
       TReviewError::LaterFormat, 0},
      {"broken off", text.substr(0, text.size() / 2), TReviewError::Damaged, 0},
      {"something after it", text + "]", TReviewError::Damaged, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TReviewRead whole = ParseReview(c.Text, 1);
    const TReviewRead cut = ParseReview(c.Text, 3);
    EXPECT_EQ(whole.Error, c.Error);
    EXPECT_EQ(whole.Review.Logs.size(), c.Logs);
    EXPECT_EQ(cut.Error, whole.Error);
    EXPECT_EQ(ReviewText(cut.Review), ReviewText(whole.Review));
  }
}

// A log left alone since it was hashed shows the same stamp and is not hashed
// again; any change to it gives it another stamp, and it is hashed.
TEST(ReviewFile, AStampSparesTheHashOfAnUntouchedLogOnly) {
  const test::TempDir dir;
  const std::string log = dir.Write("a.edi", ReadFile(std::string(LOGGREVY_SAMPLES_DIR) + "/nac-evening/sm0pln.edi"));
  const std::string reviewPath = dir.PathOf("a.loggrevy");
  const auto captured = [&](int64_t nowNs) {
    TImportSession session({',', 60});
    session.ImportFiles({log}, 2026);
    return CaptureReview(session, reviewPath, {}, {}, nullptr, nowNs);
  };
  const int64_t writtenNs = FileStampOf(log)->ChangedNs;
  EXPECT_EQ(captured(writtenNs + 2'000'000'000).Logs[0].Stamp, std::nullopt) << "changed too recently";
  TReview review = captured(writtenNs + 3'000'000'000);
  ASSERT_EQ(review.Logs[0].Stamp, FileStampOf(log));
  // The hash is not looked at while the stamp holds.
  review.Logs[0].Sha256 = "0";
  const auto changedOnOpening = [&] {
    TImportSession session({',', 60});
    const TReviewOpened opened = OpenReview(session, review, reviewPath, 2);
    return !opened.Problems.empty() && opened.Problems[0].Kind == TReviewProblemKind::ChangedLog;
  };
  EXPECT_FALSE(changedOnOpening());
  const std::string bytes = ReadFile(log);
  // A copy of the same bytes put in its place.
  std::filesystem::rename(dir.Write("b.edi", bytes), log);
  EXPECT_TRUE(changedOnOpening());
  review.Logs[0].Sha256 = Sha256Hex(bytes);
  EXPECT_FALSE(changedOnOpening());
}

// A log that is a pipe is an unreadable log: saving and opening never wait
// for a writer.
TEST(ReviewFile, APipeNamedAsALogKeepsNothingWaiting) {
  const test::TempDir dir;
  const std::string pipe = dir.PathOf("pipe.edi");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  TImportSession session({',', 60});
  session.ImportFiles({pipe}, 2026);
  TReview review = CaptureReview(session, dir.PathOf("a.loggrevy"), {}, {}, nullptr, INT64_MAX);
  EXPECT_EQ(review.Logs.at(0).Sha256, "");
  // Restored as read, and (named twice) after the import.
  for (const std::size_t named : {1u, 2u}) {
    review.Logs.resize(named, review.Logs[0]);
    TImportSession again({',', 60});
    EXPECT_TRUE(OpenReview(again, review, dir.PathOf("a.loggrevy"), 2).Problems.empty());
    EXPECT_EQ(again.Logs().size(), named);
  }
}

// Opening restores each log as it is read when every log is new to the
// session, and after the import otherwise; both find the same.
TEST(ReviewFile, RestoringAsReadMatchesRestoringAfterTheImport) {
  const test::TempDir dir;
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(LOGGREVY_SAMPLES_DIR) / "nac-evening")) {
    paths.push_back(dir.Write(entry.path().filename().string(), ReadFile(entry.path().string())));
  }
  std::sort(paths.begin(), paths.end());
  const std::string reviewPath = dir.PathOf("a.loggrevy");
  TReview review;
  {
    TImportSession judged({',', 60});
    judged.ImportFiles(paths, 2026);
    for (TLog* log : judged.Logs()) {
      if (log->Checker().Penalties().size() < 3) continue;
      log->Checker().StorePenalty(0, kPenaltyInvalid);
      log->Checker().StorePenalty(2, kPenaltyDuplicate);
      log->Checker().Recalculate();
      log->UseOwnSum();
    }
    review = CaptureReview(judged, reviewPath, {}, {});
  }
  // One log changed where it was judged, one gone, one judgement of a QSO
  // the log does not have.
  const std::string changed = dir.PathOf("sm0pln.edi");
  std::string bytes = ReadFile(changed);
  const std::string line = review.Logs[1].Judgements.at(1).Line;
  bytes.replace(bytes.find(line), line.size(), line.substr(0, line.size() - 1) + "X");
  dir.Write("sm0pln.edi", bytes);
  std::filesystem::remove(dir.PathOf("sm7hjm.edi"));
  review.Logs[0].Judgements.push_back({9999, kPenaltyInvalid, "x"});

  const auto opened = [&](const std::vector<std::string>& before) {
    std::ostringstream found;
    TImportSession session({',', 60});
    session.ImportFiles(before, 2026);
    const TReviewOpened result = OpenReview(session, review, reviewPath, 3);
    for (const TReviewProblem& problem : result.Problems) {
      found << ReviewProblemText(problem.Kind) << ' ' << problem.Path << ' ' << problem.Judgement.Qso << '\n';
    }
    std::map<std::string, const TLog*> byPath;
    for (const TLog* log : session.Logs()) byPath[log->Path()] = log;
    for (const auto& [path, log] : byPath) {
      found << path << ' ' << log->GetDxScore() << ' ' << log->GetSquares() << ' ' << log->GetTotalScore();
      for (const auto& penalty : log->Checker().Penalties()) found << ' ' << int{penalty.Penalty};
      found << '\n';
    }
    found << result.Kept.MissingLogs.size() << ' ' << result.Kept.Judgements.size() << '\n';
    return found.str();
  };
  const std::string asRead = opened({});
  EXPECT_EQ(asRead, opened({paths[2]}));
  EXPECT_NE(asRead.find("Loggen saknas " + dir.PathOf("sm7hjm.edi")), std::string::npos) << asRead;
  EXPECT_EQ(asRead.find("\n" + dir.PathOf("sm7hjm.edi") + " "), std::string::npos) << "a missing log is not imported";
  EXPECT_NE(asRead.find(" 9999\n"), std::string::npos);
  EXPECT_NE(asRead.find("\n1 2\n"), std::string::npos) << asRead;
}

}  // namespace
}  // namespace loggrevy
