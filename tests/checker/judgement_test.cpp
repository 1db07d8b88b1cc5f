// The judge's verdict on single QSOs and the recalculated score and squares.

#include <gtest/gtest.h>

#include "checker/naccheck.h"
#include "sample_logs.h"

namespace loggrevy::test {
namespace {

TEST(Judgement, InvalidQsoLosesItsPointsAndItsOnlySquare) {
  const auto log = CheckText(WorkedExample().Text());
  TNacChecker& checker = *log->Checker;
  const auto before = checker.Messages().size();
  checker.SetPenalty(2, kPenaltyInvalid);
  EXPECT_EQ(kPenaltyInvalid, checker.GetPenalty(2));
  EXPECT_EQ(352, checker.GetScore());
  EXPECT_EQ(1, checker.SquareCount());
  EXPECT_EQ(0, checker.GetQsoPoints(3));
  EXPECT_EQ(0.0, checker.GetQsoDistance(3));
  EXPECT_EQ(checker.GetQsoDistance(2), checker.BestDistance());
  EXPECT_EQ(3, checker.ValidQsoCount());  // not recounted
  EXPECT_EQ("\rOZ1BBB", checker.BestDxCalls());
  EXPECT_EQ(before, checker.Messages().size());
  EXPECT_TRUE(checker.Penalties()[2].Excluded);
  EXPECT_EQ(0.0, checker.Penalties()[2].Factor);
}

TEST(Judgement, InvalidQsoInASharedSquareKeepsTheSquare) {
  const auto log = CheckText(WorkedExample().Text());
  log->Checker->SetPenalty(0, kPenaltyInvalid);
  EXPECT_EQ(764, log->Checker->GetScore());
  EXPECT_EQ(2, log->Checker->SquareCount());
}

// A QSO of 299.2 km (k = 300) judged duplicate counts -3000 instead of +300.
TEST(Judgement, DuplicateCountsMinusTenTimes) {
  EdiBuilder b = WorkedExample();
  b.Qso("070605", "1815", "SP1XXX", "JO44PW", 300).Claims(4, 1165, 3, 2665, "DL1CCC");
  const auto log = CheckText(b.Text());
  TNacChecker& checker = *log->Checker;
  ASSERT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ(1165, checker.GetScore());

  checker.SetPenalty(3, kPenaltyDuplicate);
  EXPECT_EQ(1165 - 3300, checker.GetScore());
  EXPECT_EQ(3, checker.SquareCount());
  EXPECT_EQ(-3000, checker.GetQsoPoints(4));
  EXPECT_NEAR(299.19, checker.GetQsoDistance(4), 0.01);
  EXPECT_EQ((std::vector<Message>{{txt::kPointsDeviate + "SP1XXX", 4, 1}}), log->Messages());
  EXPECT_EQ(-10.0, checker.Penalties()[3].Factor);
  EXPECT_FALSE(checker.Penalties()[3].Excluded);

  // Back to OK: the claimed 300 fits again, so no further message.
  checker.SetPenalty(3, kPenaltyNone);
  EXPECT_EQ(1165, checker.GetScore());
  EXPECT_EQ(300, checker.GetQsoPoints(4));
  EXPECT_EQ(1u, checker.Messages().size());
}

// Every recalculation reports a deviating claim again, after what is there.
TEST(Judgement, RecalculationRepeatsThePointsWarning) {
  EdiBuilder b = WorkedExample();
  b.Qso("070605", "1815", "SP1XXX", "JO44PW", 400).Claims(4, 1165, 3, 2665, "DL1CCC");
  const auto log = CheckText(b.Text());
  TNacChecker& checker = *log->Checker;
  const Message warning{txt::kPointsDeviate + "SP1XXX", 4, 1};
  ASSERT_EQ(std::vector<Message>{warning}, log->Messages());

  checker.SetPenalty(3, kPenaltyInvalid);
  EXPECT_EQ(865, checker.GetScore());
  EXPECT_EQ(2, checker.SquareCount());
  EXPECT_EQ(std::vector<Message>{warning}, log->Messages());

  checker.SetPenalty(3, kPenaltyNone);
  EXPECT_EQ(1165, checker.GetScore());
  EXPECT_EQ(3, checker.SquareCount());
  EXPECT_EQ((std::vector<Message>{warning, warning}), log->Messages());
}

TEST(Judgement, NonCountingQsoStaysAtZero) {
  EdiBuilder b = WorkedExample();
  b.Qso("070605", "1815", "OZ1AAA/P", "JO44PW", 300);
  const auto log = CheckText(b.Text());
  TNacChecker& checker = *log->Checker;
  checker.SetPenalty(3, kPenaltyDuplicate);
  EXPECT_EQ(0, checker.GetQsoPoints(4));
  EXPECT_EQ(0.0, checker.GetQsoDistance(4));
  EXPECT_EQ(865, checker.GetScore());
  EXPECT_EQ(kPenaltyDuplicate, checker.GetPenalty(3));
}

TEST(Judgement, OtherValuesCountNormally) {
  const auto log = CheckText(WorkedExample().Text());
  log->Checker->SetPenalty(1, 7);
  EXPECT_EQ(7, log->Checker->GetPenalty(1));
  EXPECT_EQ(1.0, log->Checker->Penalties()[1].Factor);
  EXPECT_EQ(865, log->Checker->GetScore());
}

TEST(Judgement, StartsAtOkForEveryQso) {
  const auto log = CheckText(WorkedExample().Text());
  ASSERT_EQ(3u, log->Checker->Penalties().size());
  for (const TQsoPenalty& p : log->Checker->Penalties()) {
    EXPECT_EQ(kPenaltyNone, p.Penalty);
    EXPECT_FALSE(p.Excluded);
    EXPECT_EQ(1.0, p.Factor);
  }
}

// Judging the QSO of the best DX moves the best DX to the next longest.
TEST(Judgement, BestDxFollows) {
  EdiBuilder b;
  b.Qso("070605", "1800", "DL1AAA", "JO15VM", 613)
      .Qso("070605", "1805", "OZ1BBB", "JO55XX", 101)
      .Qso("070605", "1810", "DL2BBB", "JO16TG", 613)
      .Claims(3, 1327, 3, 2827, "DL1AAA");
  const auto log = CheckText(b.Text());
  log->Checker->SetPenalty(0, kPenaltyInvalid);
  EXPECT_EQ("\rDL2BBB", log->Checker->BestDxCalls());
  log->Checker->SetPenalty(2, kPenaltyInvalid);
  EXPECT_EQ("\rOZ1BBB", log->Checker->BestDxCalls());
  EXPECT_EQ(101, log->Checker->GetScore());
  EXPECT_EQ(1, log->Checker->SquareCount());
}

}  // namespace
}  // namespace loggrevy::test
