#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/check_command.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

const TSystemDefaults kDefaults{2026, 60, ',', 2};

struct TRun {
  int Status;
  std::string Out;
  std::string Err;
};

TRun Check(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCheckCommand(args, out, err, kDefaults);
  return {status, out.str(), err.str()};
}

std::vector<std::string> EdiFiles(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".edi") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Plus(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// The judge's evening in a file and back: the batch with the proposals
// applied, saved, then read from the review file alone, gives the same
// document, cross-check and results included.
void ExpectReviewReproducesBatch(const std::vector<std::string>& logs, const test::TempDir& dir) {
  const std::string review = dir.PathOf("evening.loggrevy");
  const TRun judged = Check(Plus({"--json", "--results", "json", "--apply-crosscheck", "--save-review", review}, logs));
  ASSERT_EQ(judged.Status, 0) << judged.Err;
  const TRun reopened = Check({"--json", "--results", "json", "--crosscheck", "--review", review});
  ASSERT_EQ(reopened.Status, 0) << reopened.Err;
  EXPECT_EQ(reopened.Err, "");
  EXPECT_TRUE(reopened.Out == judged.Out) << "the reopened batch differs";

  // Saved again with no change, it opens to the same figures.
  const std::string again = dir.PathOf("again.loggrevy");
  ASSERT_EQ(Check({"--review", review, "--save-review", again}).Status, 0);
  EXPECT_TRUE(Check({"--json", "--results", "json", "--crosscheck", "--review", again}).Out == judged.Out);
}

TEST(ReviewCommand, SampleEveningReopensToTheSameDocument) {
  const test::TempDir dir;
  ExpectReviewReproducesBatch(EdiFiles(fs::path(LOGGREVY_SAMPLES_DIR) / "nac-evening"), dir);
}

TEST(ReviewCommand, RealEveningReopensToTheSameDocument) {
  const fs::path evening = fs::path(LOGGREVY_CORPUS_DIR) / "real/radoshordos__vkvpa-new/012026";
  if (!fs::is_directory(evening)) GTEST_SKIP() << "no real evening at " << evening;
  const test::TempDir dir;
  ExpectReviewReproducesBatch(EdiFiles(evening), dir);
}

// A copy of the sample evening judged by the batch, its review beside it.
class ReviewProblems : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& log : EdiFiles(fs::path(LOGGREVY_SAMPLES_DIR) / "nac-evening")) {
      fs::copy_file(log, Dir.PathOf(fs::path(log).filename().string()));
    }
    Review = Dir.PathOf("a.loggrevy");
    ASSERT_EQ(Check(Plus({"--apply-crosscheck", "--save-review", Review}, EdiFiles(Dir.PathOf("")))).Status, 0);
    Saved = ReadFile(Review);
  }

  // Judgements of a log in a review file.
  static json JudgementsOf(const std::string& review, const std::string& log) {
    const json doc = json::parse(ReadFile(review));
    for (const json& entry : doc["logs"]) {
      if (entry["path"] == log) return entry["judgements"];
    }
    return nullptr;
  }

  test::TempDir Dir;
  std::string Review;
  std::string Saved;
};

TEST_F(ReviewProblems, EachIsNamedAndNothingIsLostAtTheNextSave) {
  const std::string log = Dir.PathOf("sm0pln.edi");
  const json judged = JudgementsOf(Review, "sm0pln.edi");
  ASSERT_EQ(judged[0]["qso"], 3);
  const std::string line = judged[0]["line"];
  struct TCase {
    const char* Name;
    std::function<void()> Change;
    std::string Err;
  };
  const std::vector<TCase> cases{
      {"changed log",
       [&] {
         std::string bytes = ReadFile(log);
         bytes.replace(bytes.find(line), 11, "261201;1848");
         Dir.Write("sm0pln.edi", bytes);
       },
       "loggrevy-check: Loggen har ändrats sedan granskningen sparades: " + log +
           "\nloggrevy-check: Bedömningen återställdes inte: " + log + ", QSO 3 (-100%)\n"},
      {"missing log", [&] { fs::remove(log); }, "loggrevy-check: Loggen saknas: " + log + "\n"},
      {"judgement of QSO 9999",
       [&] {
         std::string text = Saved;
         const std::string first = "\"qso\": 3,";
         text.replace(text.find(first, text.find("sm0pln.edi")), first.size(), "\"qso\": 9999,");
         Dir.Write("a.loggrevy", text);
       },
       "loggrevy-check: Bedömningen återställdes inte: " + log + ", QSO 9999 (-100%)\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string original = ReadFile(log);
    c.Change();
    const std::string next = Dir.PathOf("next.loggrevy");
    const TRun run = Check({"--review", Review, "--save-review", next});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, c.Err);
    const json kept = JudgementsOf(next, "sm0pln.edi");
    const json before = JudgementsOf(Review, "sm0pln.edi");
    for (const json& judgement : before) {
      EXPECT_NE(std::find(kept.begin(), kept.end(), judgement), kept.end()) << judgement.dump();
    }
    fs::remove(next);
    Dir.Write("sm0pln.edi", original);
    Dir.Write("a.loggrevy", Saved);
  }
}

TEST_F(ReviewProblems, AnUnreadableReviewIsOneLineAndExitTwo) {
  const std::string name = Dir.PathOf("b.loggrevy");
  const struct {
    std::string Bytes;
    std::string Err;
  } cases[] = {
      {Saved.substr(0, Saved.size() / 2), "Granskningsfilen är skadad"},
      {R"({"type": "loggrevy-granskning", "format": 1, "logs": 3})", "Granskningsfilen är skadad"},
      {R"({"type": "loggrevy-granskning", "format": 2, "anything": []})",
       "Granskningsfilen är av ett senare format än programmet kan läsa"},
      {ReadFile(Dir.PathOf("sm0pln.edi")), "Filen är ingen granskningsfil"},
      {R"({"format": 1})", "Filen är ingen granskningsfil"},
  };
  for (const auto& c : cases) {
    Dir.Write("b.loggrevy", c.Bytes);
    const TRun run = Check({"--json", "--review", name, "--save-review", Dir.PathOf("c.loggrevy")});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "loggrevy-check: " + name + ": " + c.Err + "\n");
    EXPECT_FALSE(fs::exists(Dir.PathOf("c.loggrevy")));
  }
  const TRun missing = Check({"--review", Dir.PathOf("none.loggrevy")});
  EXPECT_EQ(missing.Status, 2);
  EXPECT_EQ(missing.Err, "loggrevy-check: " + Dir.PathOf("none.loggrevy") +
                             ": Granskningsfilen kan inte läsas: No such file or directory\n");
}

TEST_F(ReviewProblems, SaveReviewRefusesAFileThatExists) {
  const TRun run = Check({"--review", Review, "--save-review", Review});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "loggrevy-check: --save-review: '" + Review +
                         "' exists already; name a file that does not exist (try --help)\n");
  EXPECT_EQ(ReadFile(Review), Saved);
}

}  // namespace
}  // namespace loggrevy
