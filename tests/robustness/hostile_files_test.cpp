// Paths a judge may drop on the program that are no readable EDI file: a
// FIFO, a device, a folder, an unreadable file, a symlink loop, a missing
// file. Each gives an unreadable log with the three failure diagnostics, at
// once, and leaves the path as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "model/implog.h"
#include "robustness/edi_text.h"
#include "robustness/file_fixture.h"
#include "support/invariants.h"

namespace loggrevy {
namespace {

using testing::AllDiagnosticTexts;
using testing::FailureDiagnostics;
using testing::TFileState;

class HostileFiles : public testing::TTempFolder {
 protected:
  // Reads path through an imported log and checks that it is unreadable and
  // untouched.
  void ExpectUnreadable(const std::string& path) {
    const TFileState before = TFileState::Of(path);
    const TLog log(path, testing::kCleanLogYear, TLocalSettings{});
    const TReg1Test& edi = log.Edi();
    EXPECT_EQ(edi.Status, 3);
    EXPECT_EQ(AllDiagnosticTexts(edi), FailureDiagnostics());
    EXPECT_EQ(edi.Lines.size(), 0u);
    EXPECT_FALSE(edi.ReadFinished);
    EXPECT_EQ(log.GetCaption(), "Ej l\xE4sbar EDI-fil");
    EXPECT_EQ(log.GetCheckStatus(), 0);
    EXPECT_EQ(invariants::CheckLog(log, true), "");
    EXPECT_EQ(TFileState::Of(path), before);
  }
};

TEST_F(HostileFiles, ReadableFileIsLeftUnchanged) {
  const std::string path = WriteFile("clean.edi", testing::CleanLog().Text());
  const TFileState before = TFileState::Of(path);
  TLog log(path, testing::kCleanLogYear, TLocalSettings{});
  log.Checker().SetPenalty(0, kPenaltyDuplicate);
  log.UseOwnSum();
  log.Reload();
  EXPECT_EQ(log.Edi().Status, 0);
  EXPECT_EQ(log.Edi().QSOCount, 3);
  EXPECT_EQ(invariants::CheckLog(log, false), "");
  EXPECT_EQ(TFileState::Of(path), before);
}

// Opening a FIFO for reading would wait for a writer; the reader must not.
TEST_F(HostileFiles, FifoWithoutWriter) {
  const std::string path = PathOf("pipe.edi");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  ExpectUnreadable(path);
}

TEST_F(HostileFiles, DeviceWithEndlessBytes) {
  if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero on this system";
  ExpectUnreadable("/dev/zero");
}

TEST_F(HostileFiles, Folder) {
  const std::string path = PathOf("folder.edi");
  std::filesystem::create_directory(path);
  ExpectUnreadable(path);
}

TEST_F(HostileFiles, FileWithoutReadPermission) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "running as root: permission bits do not stop root from reading the file";
  }
  const std::string path = WriteFile("secret.edi", testing::CleanLog().Text());
  std::filesystem::permissions(path, std::filesystem::perms::none);
  ExpectUnreadable(path);
}

TEST_F(HostileFiles, SymlinkLoop) {
  const std::string first = PathOf("a.edi");
  const std::string second = PathOf("b.edi");
  std::filesystem::create_symlink(second, first);
  std::filesystem::create_symlink(first, second);
  ExpectUnreadable(first);
}

TEST_F(HostileFiles, MissingFile) { ExpectUnreadable(PathOf("missing.edi")); }

}  // namespace
}  // namespace loggrevy
