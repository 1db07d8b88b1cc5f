// Every log of the corpus of files written by other programs is read, and
// what the reader holds afterwards must be consistent.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "edi/reader_test_support.h"
#include "edi/reg1test.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;

TEST(ReaderCorpus, EveryFileReadsSoundly) {
  const fs::path root = LOGGREVY_CORPUS_DIR;
  std::error_code error;
  if (!fs::is_directory(root, error)) GTEST_SKIP() << "no corpus at " << root;

  int files = 0;
  int unreadable = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    SCOPED_TRACE(path);
    TReg1Test edi;
    edi.LoadFromFile(path);
    test::ExpectSane(edi);
    if (edi.Status == 3) ++unreadable;

    // A second read of the same object gives the same picture.
    const auto lines = test::LineTexts(edi);
    const auto diagnostics = test::Diags(edi);
    const auto qsos = test::DescribeQsos(edi);
    const int status = edi.Status;
    edi.LoadFromFile(path);
    EXPECT_EQ(test::LineTexts(edi), lines);
    EXPECT_EQ(test::Diags(edi), diagnostics);
    EXPECT_EQ(test::DescribeQsos(edi), qsos);
    EXPECT_EQ(edi.Status, status);
    ++files;
  }
  RecordProperty("files", files);
  RecordProperty("unreadable", unreadable);
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace loggrevy
