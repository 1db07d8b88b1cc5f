// One imported log: caption, competing call, claimed and accepted figures,
// the judge's verdicts reaching the accepted figures, and reload.

#include <gtest/gtest.h>

#include <cstdint>

#include "core/cp1252.h"
#include "model/implog.h"
#include "model_logs.h"
#include "support/param_name.h"
#include "support/temp_dir.h"

namespace loggrevy::test {
namespace {

TEST(Caption, IdentifiedUnidentifiedUnreadable) {
  EdiBuilder vhf;
  vhf.Date("20060103");
  EXPECT_EQ("20060103 : VHF", Cp1252ToUtf8(LogOf(vhf, 2006)->GetCaption()));

  EXPECT_EQ("20070628 : Mikro", Cp1252ToUtf8(LogOf(MikroLog("SM5ABC", "10GHz", 5))->GetCaption()));

  EdiBuilder kvartal;
  kvartal.Date("20100307");
  EXPECT_EQ("20100307 : Kvartalstest", Cp1252ToUtf8(LogOf(kvartal, 2010)->GetCaption()));

  EdiBuilder unidentified;
  unidentified.Set("PBand", "432 MHz");
  const auto log = LogOf(unidentified);
  EXPECT_EQ("Ej identifierad test", Cp1252ToUtf8(log->GetCaption()));
  EXPECT_EQ(0, log->GetEdiStatus());
  EXPECT_EQ(3, log->GetCheckStatus());
}

TEST(Caption, FileThatDoesNotExist) {
  TempDir dir;
  const TLog log(dir.PathOf("missing.edi"), 2007, kSettings);
  EXPECT_EQ("Ej läsbar EDI-fil", Cp1252ToUtf8(log.GetCaption()));
  EXPECT_EQ(3, log.GetEdiStatus());
  EXPECT_EQ(0, log.GetCheckStatus());
  EXPECT_FALSE(log.Checker().Checked());
  EXPECT_EQ(TContestKind::None, log.Checker().Kind());
  EXPECT_TRUE(log.Checker().Messages().empty());
  EXPECT_EQ("", log.Edi().FileName);
}

TEST(Caption, UnreadableContentIsNotChecked) {
  const TLog log("no EDI here", "x.edi", 2007, kSettings);
  EXPECT_EQ(3, log.GetEdiStatus());
  EXPECT_EQ(0, log.GetCheckStatus());
  EXPECT_EQ("Ej läsbar EDI-fil", Cp1252ToUtf8(log.GetCaption()));
}

struct CallCase {
  const char* PCall;
  const char* RCall;
  const char* Expected;
};

class CompetingCallTest : public ::testing::TestWithParam<CallCase> {};

TEST_P(CompetingCallTest, FromPCallAndRCall) {
  EdiBuilder b = WorkedExample();
  b.Set("PCall", GetParam().PCall).Set("RCall", GetParam().RCall);
  EXPECT_EQ(GetParam().Expected, LogOf(b)->GetCall());
}

INSTANTIATE_TEST_SUITE_P(Calls, CompetingCallTest,
                         ::testing::Values(CallCase{"SM5ABC/P", "SM5ABC", "SM5ABC"},
                                           CallCase{"SM4ABC", "SM5ABC", "SM5ABC"}, CallCase{"SK5XY", "SM5ABC", "SK5XY"},
                                           CallCase{"SE5ABC", "", "SM5ABC"}, CallCase{"SM5ABC", "SM5ABC", "SM5ABC"},
                                           CallCase{"OH0/SM5ABC", "SM5ABC", "SM5ABC"},
                                           CallCase{"SM5ABC", "SM5ABD", "SM5ABC"}, CallCase{"SM", "SM", "SM"}),
                         [](const auto& p) {
                           return ParamName({p.param.PCall, "and", p.param.RCall});
                         });

TEST(Figures, ClaimedUntilOwnSum) {
  EdiBuilder b = WorkedExample();
  b.Set("CQSOP", "800").Set("CWWLB", "1500").Set("CToSc", "9999").Set("PClub", "SK5XY").Remark("Tack!");
  const auto log = LogOf(b);
  EXPECT_EQ(800, log->GetDxScore());
  EXPECT_EQ(2, log->GetSquares());
  EXPECT_EQ(1500, log->GetSquareBonus());
  EXPECT_EQ(2300, log->GetTotalScore());  // not the claimed total
  EXPECT_EQ(9999, log->GetClaimedScore());
  EXPECT_EQ("SK5XY", log->GetClub());
  EXPECT_TRUE(log->HasRemarks());
  EXPECT_FALSE(LogOf(WorkedExample())->HasRemarks());
  EXPECT_EQ(2007, log->ImportYear());
}

TEST(Figures, SumsOfLargeClaimsDoNotWrap) {
  EdiBuilder b = WorkedExample();
  b.Set("CQSOP", "2147483647").Set("CWWLB", "2147483647");
  EXPECT_EQ(int64_t{4294967294}, LogOf(b)->GetTotalScore());
}

TEST(Figures, OwnSumEqualToClaimsChangesNothing) {
  const auto log = LogOf(WorkedExample());
  log->SetDxScore(1);
  log->SetSquares(7);
  log->UseOwnSum();
  EXPECT_FALSE(log->DxScoreChanged());
  EXPECT_FALSE(log->SquaresChanged());
  EXPECT_EQ(865, log->GetDxScore());
  EXPECT_EQ(2, log->GetSquares());
  EXPECT_EQ(1000, log->GetSquareBonus());
  EXPECT_EQ(1865, log->GetTotalScore());
}

TEST(Figures, OwnSumDifferentFromClaims) {
  EdiBuilder b = WorkedExample();
  b.Set("CQSOP", "900").Set("CWWLs", "3;400;1").Set("CWWLB", "1234");
  const auto log = LogOf(b);
  log->UseOwnSum();
  EXPECT_TRUE(log->DxScoreChanged());
  EXPECT_TRUE(log->SquaresChanged());
  EXPECT_EQ(865, log->GetDxScore());
  EXPECT_EQ(2, log->GetSquares());
  EXPECT_EQ(1000, log->GetSquareBonus());  // 500 per square, not the claimed 400 or 1234
  EXPECT_EQ(1865, log->GetTotalScore());
}

// While only the distance points are overridden the claimed bonus stays.
TEST(Figures, SquareBonusStaysClaimedWithoutSquareOverride) {
  EdiBuilder b = WorkedExample();
  b.Set("CQSOP", "900").Set("CWWLB", "1234");
  const auto log = LogOf(b);
  log->UseOwnSum();
  EXPECT_TRUE(log->DxScoreChanged());
  EXPECT_FALSE(log->SquaresChanged());
  EXPECT_EQ(1234, log->GetSquareBonus());
  EXPECT_EQ(865 + 1234, log->GetTotalScore());
  log->SetDxScore(900);
  EXPECT_FALSE(log->DxScoreChanged());
  EXPECT_EQ(900, log->GetDxScore());
}

TEST(Judgement, InvalidThenOkReturnsTheAcceptedFigures) {
  const auto log = LogOf(WorkedExample());
  log->UseOwnSum();
  const int64_t total = log->GetTotalScore();

  log->Checker().SetPenalty(2, kPenaltyInvalid);  // the only QSO in JO33
  log->UseOwnSum();
  EXPECT_EQ(352, log->GetDxScore());
  EXPECT_EQ(1, log->GetSquares());
  EXPECT_EQ(500, log->GetSquareBonus());
  EXPECT_EQ(852, log->GetTotalScore());

  log->Checker().SetPenalty(2, kPenaltyNone);
  log->UseOwnSum();
  EXPECT_EQ(total, log->GetTotalScore());
  EXPECT_FALSE(log->DxScoreChanged());
  EXPECT_FALSE(log->SquaresChanged());
}

TEST(Judgement, DuplicateLowersTheAcceptedTotal) {
  const auto log = LogOf(WorkedExample());
  log->Checker().SetPenalty(1, kPenaltyDuplicate);
  log->UseOwnSum();
  EXPECT_EQ(101 - 2510 + 513, log->GetDxScore());
  EXPECT_EQ(2, log->GetSquares());
  EXPECT_EQ(101 - 2510 + 513 + 1000, log->GetTotalScore());
}

TEST(Reload, JudgedLogComesBackFresh) {
  TempDir dir;
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  TLog log(path, 2007, kSettings);
  log.Checker().SetPenalty(0, kPenaltyDuplicate);
  log.UseOwnSum();
  ASSERT_TRUE(log.DxScoreChanged());
  const TNacChecker* judged = &log.Checker();

  log.Reload();
  EXPECT_NE(judged, &log.Checker());
  EXPECT_EQ(kPenaltyNone, log.Checker().GetPenalty(0));
  EXPECT_EQ(865, log.Checker().GetScore());
  EXPECT_FALSE(log.DxScoreChanged());
  EXPECT_FALSE(log.SquaresChanged());
  EXPECT_EQ(0, log.DxScoreOverride());
  EXPECT_EQ(0, log.SquaresOverride());
  EXPECT_EQ(2007, log.ImportYear());
  EXPECT_EQ(1865, log.GetTotalScore());
  EXPECT_EQ(0, log.GetCheckStatus());
}

TEST(Reload, ReadsTheNewContent) {
  TempDir dir;
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  TLog log(path, 2007, kSettings);
  EdiBuilder uhf = WorkedExample();
  uhf.Date("20070612").Set("PBand", "432 MHz");
  dir.Write("log.edi", uhf.Text());
  log.Reload();
  EXPECT_EQ("20070612 : UHF", log.GetCaption());
  EXPECT_EQ(path, log.Edi().FileName);
}

// A value that the new file lacks keeps what the previous read left.
TEST(Reload, KeepsHeaderValuesTheNewFileLacks) {
  TempDir dir;
  EdiBuilder first = WorkedExample();
  first.Set("PAdr1", "Storgatan 5").Set("CToSc", "1900");
  const std::string path = dir.Write("log.edi", first.Text());
  TLog log(path, 2007, kSettings);
  EdiBuilder second = WorkedExample();
  second.Remove("PAdr1").Remove("CToSc");
  dir.Write("log.edi", second.Text());
  log.Reload();
  EXPECT_EQ(2, log.GetEdiStatus());
  EXPECT_EQ("Storgatan 5", log.Edi().PAdr1);
  EXPECT_EQ(1900, log.GetClaimedScore());
}

TEST(Reload, FileThatBecameUnreadable) {
  TempDir dir;
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  TLog log(path, 2007, kSettings);
  dir.Write("log.edi", "nothing");
  log.Reload();
  EXPECT_EQ(3, log.GetEdiStatus());
  EXPECT_EQ(0, log.GetCheckStatus());
  EXPECT_FALSE(log.Checker().Checked());
  EXPECT_EQ("Ej läsbar EDI-fil", Cp1252ToUtf8(log.GetCaption()));
}

}  // namespace
}  // namespace loggrevy::test
