// Files that are not EDI logs at all: every read must end, and end soundly.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "edi/reader_test_support.h"
#include "edi/reg1test.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;
using test::Diags;
using test::TEdiParts;
using Strings = std::vector<std::string>;

const Strings kFailureDiags = {
    "*: EDI-filen följer ej standard och kan ej läsas.",
    "*: Felet orsakade en ohanterad exception, skicka den därför",
    "*: till support för utredning av programfelet.",
};

class ReaderBadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "loggrevy-reader-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    Dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(Dir_, ignored);
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = Dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  fs::path Dir_;
};

// Status 3 from the failure guard: the three fixed diagnostics, nothing else.
void ExpectFailed(const TReg1Test& edi) {
  EXPECT_EQ(Diags(edi), kFailureDiags);
  EXPECT_EQ(edi.Status, 3);
  EXPECT_EQ(edi.ReadFinished, false);
  EXPECT_EQ(edi.Lines.size(), 0u);
}

TEST_F(ReaderBadInput, EmptyFile) {
  TReg1Test edi;
  edi.LoadFromFile(Write("empty.edi", ""));
  EXPECT_EQ(Diags(edi), Strings{"*: EDI-loggen ej komplett"});
  EXPECT_EQ(edi.Status, 3);
  EXPECT_EQ(edi.ReadFinished, true);
  EXPECT_EQ(edi.Lines.size(), 0u);
}

TEST_F(ReaderBadInput, BinaryJunk) {
  std::mt19937 random(20240604);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    if (round % 2 == 1) bytes.replace(0, 2, "\xFF\xFE");  // as UTF-16
    if (round % 4 == 2) bytes.insert(100, "\n[REG1TEST;1]\n[Remarks]\n[QSORecords;9]\n");
    TReg1Test edi;
    edi.LoadFromFile(Write("junk.edi", bytes));
    SCOPED_TRACE(round);
    test::ExpectSane(edi);
    if (round % 4 != 2) {
      EXPECT_EQ(Diags(edi), Strings{"*: EDI-loggen ej komplett"});
    }
  }
}

TEST_F(ReaderBadInput, NotARegularFile) {
  const std::string fifo = (Dir_ / "pipe.edi").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {Dir_.string(), fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
    TReg1Test edi;
    edi.LoadFromFile(path);  // must neither block nor read forever
    SCOPED_TRACE(path);
    ExpectFailed(edi);
    EXPECT_EQ(edi.FileName, "");
  }
}

TEST_F(ReaderBadInput, FileLargerThanTheCap) {
  // A complete log padded to the cap with a trailing line of NULs (a sparse
  // file) is read; one byte more and it is not.
  const std::string path = Write("large.edi", test::MakeEdi({}));
  fs::resize_file(path, kMaxEdiFileSize);
  {
    TReg1Test edi;
    edi.LoadFromFile(path);
    EXPECT_EQ(Diags(edi), Strings{});
    EXPECT_EQ(edi.Status, 0);
    EXPECT_EQ(edi.QSOs.size(), 2u);
  }
  fs::resize_file(path, kMaxEdiFileSize + 1);
  {
    TReg1Test edi;
    edi.LoadFromFile(path);
    ExpectFailed(edi);
  }
  fs::remove(path);
}

TEST_F(ReaderBadInput, Utf16WithOddByteCount) {
  TReg1Test edi;
  edi.LoadFromFile(Write("odd.edi", std::string("\xFF\xFE[\0R\0", 6) + "\x01"));
  EXPECT_EQ(Diags(edi), Strings{"*: EDI-loggen ej komplett"});
  EXPECT_EQ(edi.Lines.size(), 1u);
  EXPECT_EQ(std::string(edi.LineText(0)), "[R");

  TReg1Test bomOnly;
  bomOnly.LoadFromFile(Write("bom.edi", "\xFF\xFE\x01"));
  EXPECT_EQ(Diags(bomOnly), Strings{"*: EDI-loggen ej komplett"});
  EXPECT_EQ(bomOnly.Lines.size(), 0u);
}

TEST_F(ReaderBadInput, CtrlZInTheMiddleOfEveryKindOfLine) {
  std::string text = test::MakeEdi({});
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 3)) {
    text.insert(at - 1, "\x1A");
  }
  TReg1Test edi;
  edi.LoadFromFile(Write("ctrlz.edi", text));
  test::ExpectSane(edi);
  EXPECT_EQ(edi.ReadFinished, true);
  EXPECT_EQ(edi.Lines.size(), 45u);  // the three tag lines are split at their "]"
  EXPECT_EQ(edi.TName, "Aktivitetstest\x1A");
  EXPECT_EQ(edi.QSOs.size(), 2u);
}

TEST_F(ReaderBadInput, TheFileIsNeverWritten) {
  TEdiParts parts;
  parts.Qsos.push_back("trasig");
  parts.QsoTag = "[QSORecords;3]";
  const std::string bytes = test::MakeEdi(parts);
  const std::string path = Write("untouched.edi", bytes);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  TReg1Test edi;
  edi.LoadFromFile(path);
  edi.LoadFromFile(path);
  EXPECT_EQ(edi.QSOs.size(), 3u);
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_size, before.st_size);
  std::ifstream in(path, std::ios::binary);
  const std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(read, bytes);
}

}  // namespace
}  // namespace loggrevy
