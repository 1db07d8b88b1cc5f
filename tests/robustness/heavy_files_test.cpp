// Very large files (ctest label "heavy"): a 100 MB single line, a single line
// of exactly the size cap, files at the line cap, and a realistic log of one
// million QSO lines.
// Generated into a temporary folder at run time and removed afterwards.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <array>
#include <fstream>
#include <string>

#include "core/locator.h"
#include "model/implog.h"
#include "robustness/edi_text.h"
#include "robustness/file_fixture.h"
#include "support/invariants.h"

namespace loggrevy {
namespace {

using testing::AllDiagnosticTexts;
using testing::FailureDiagnostics;
using testing::TFileState;

long PeakResidentKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

class HeavyFiles : public testing::TTempFolder {
 protected:
  // A file of one line of `size` letters, written in pieces.
  std::string WriteSingleLine(std::string_view name, std::uintmax_t size) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary);
    const std::string piece(1 << 20, 'A');
    for (std::uintmax_t left = size; left > 0;) {
      const std::size_t n = left < piece.size() ? static_cast<std::size_t>(left) : piece.size();
      out.write(piece.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
    EXPECT_TRUE(out.good());
    return path;
  }
};

// Beyond the size cap nothing is read: an unreadable log, at once.
TEST_F(HeavyFiles, HundredMegabyteSingleLine) {
  const std::string path = WriteSingleLine("long-line.edi", 100u * 1000u * 1000u);
  const TFileState before = TFileState::Of(path);
  const TLog log(path, testing::kCleanLogYear, TLocalSettings{});
  EXPECT_EQ(log.Edi().Status, 3);
  EXPECT_EQ(AllDiagnosticTexts(log.Edi()), FailureDiagnostics());
  EXPECT_EQ(log.Edi().Lines.size(), 0u);
  EXPECT_EQ(invariants::CheckLog(log, true), "");
  EXPECT_EQ(TFileState::Of(path), before);
  RecordProperty("peak_rss_kb", std::to_string(PeakResidentKilobytes()));
}

// A file of exactly the cap is still read: one line, no tag.
TEST_F(HeavyFiles, SingleLineOfExactlyTheSizeCap) {
  const std::string path = WriteSingleLine("cap.edi", kMaxEdiFileSize);
  const TFileState before = TFileState::Of(path);
  const TLog log(path, testing::kCleanLogYear, TLocalSettings{});
  ASSERT_EQ(log.Edi().Lines.size(), 1u);
  EXPECT_EQ(log.Edi().LineText(0).size(), kMaxEdiFileSize);
  EXPECT_EQ(log.Edi().Diagnostics.back().Text, diag::kIncomplete);
  EXPECT_EQ(log.Edi().Status, 3);
  EXPECT_EQ(invariants::CheckLog(log, true), "");
  EXPECT_EQ(TFileState::Of(path), before);
  RecordProperty("peak_rss_kb", std::to_string(PeakResidentKilobytes()));
}

// The line cap bounds the memory of files of very short lines: a file of
// exactly kMaxEdiLines lines is read, one line more makes it unreadable.
TEST_F(HeavyFiles, LineCap) {
  std::string text = "[REG1TEST;1]\n";
  for (std::size_t i = 1; i < kMaxEdiLines; ++i) text += "A\n";
  const std::string atCap = WriteFile("at-cap.edi", text);
  const std::string beyondCap = WriteFile("beyond-cap.edi", text + "A\n");
  {
    const TLog log(atCap, testing::kCleanLogYear, TLocalSettings{});
    EXPECT_EQ(log.Edi().Lines.size(), kMaxEdiLines);
    EXPECT_EQ(log.Edi().Diagnostics.back().Text, diag::kIncomplete);
    EXPECT_EQ(invariants::CheckLog(log, true), "");
  }
  const TFileState before = TFileState::Of(beyondCap);
  const TLog log(beyondCap, testing::kCleanLogYear, TLocalSettings{});
  EXPECT_EQ(log.Edi().Status, 3);
  EXPECT_EQ(log.Edi().Diagnostics.back().Text, diag::kFailure3);
  EXPECT_EQ(invariants::CheckLog(log, true), "");
  EXPECT_EQ(TFileState::Of(beyondCap), before);
}

// One million short QSO lines (about 46 MB) with distinct calls, cycling
// through four Swedish squares, each claiming its exact points. The figures
// must come out exactly and the judgement must still work on such a log.
TEST_F(HeavyFiles, MillionQsoLines) {
  constexpr int kQsos = 1000000;
  const std::array<std::string, 4> partners{"JO89WM", "JO99AB", "JO79XX", "JO69QQ"};
  std::array<int64_t, 4> points{};
  TLocatorPoint own{"JO89WM"};
  LocatorToLatLon(own);
  for (std::size_t p = 0; p < partners.size(); ++p) {
    TLocatorPoint partner{partners[p]};
    double km = 0.0;
    CalcQRB(partner, own, km);
    points[p] = QRBScoreKm(km);
  }

  testing::TEdiText text = testing::CleanLog();
  text.QsoLines.clear();
  std::string header = text.Text();
  header.erase(header.find("[QSORecords;"));
  const std::string path = PathOf("million.edi");
  int64_t expectedScore = 0;
  {
    std::ofstream out(path, std::ios::binary);
    out << header << "[QSORecords;" << kQsos << "]\r\n";
    std::string line;
    for (int i = 0; i < kQsos; ++i) {
      // SM, a digit and four letters: one million distinct calls.
      std::string call = "SM";
      call += static_cast<char>('0' + i % 10);
      for (int j = i / 10, n = 0; n < 4; ++n, j /= 26) call += static_cast<char>('A' + j % 26);
      const std::size_t p = static_cast<std::size_t>(i) % partners.size();
      expectedScore += points[p];
      line = "210105;1830;" + call + ";1;59;;59;;;" + partners[p] + ";" + std::to_string(points[p]) + ";;N;;\r\n";
      out << line;
    }
    out << "[END; loggrevy test]\r\n";
  }
  const TFileState before = TFileState::Of(path);
  ASSERT_LT(static_cast<std::uintmax_t>(before.Size), kMaxEdiFileSize);

  TLog log(path, testing::kCleanLogYear, TLocalSettings{});
  const TReg1Test& edi = log.Edi();
  const TNacChecker& checker = log.Checker();
  EXPECT_EQ(edi.Status, 0);
  EXPECT_EQ(edi.QSOCount, kQsos);
  EXPECT_EQ(checker.Kind(), TContestKind::VHF);
  EXPECT_EQ(checker.ValidQsoCount(), kQsos);
  EXPECT_EQ(checker.SquareCount(), 4);
  EXPECT_EQ(checker.Score(), expectedScore);
  EXPECT_LT(checker.Messages().size(), 20u);  // claims only; no message per QSO
  EXPECT_EQ(invariants::CheckLog(log, true), "");

  // The duplicate judgement turns the QSO's points into -10 times them.
  const int64_t lastPoints = checker.GetQsoPoints(kQsos);
  log.Checker().SetPenalty(kQsos - 1, kPenaltyDuplicate);
  log.UseOwnSum();
  EXPECT_EQ(log.GetDxScore(), expectedScore - 11 * lastPoints);
  EXPECT_EQ(log.GetSquares(), 4);
  EXPECT_EQ(TFileState::Of(path), before);
  RecordProperty("peak_rss_kb", std::to_string(PeakResidentKilobytes()));
}

}  // namespace
}  // namespace loggrevy
