#include <gtest/gtest.h>

#include "crosscheck_batch.h"

namespace loggrevy {
namespace {

using test::TBatch;
using test::TStation;

// SM5ABC works three stations in three squares: one confirmed, one not in
// the partner's log, one busted locator.
std::vector<TStation> Evening() {
  return {{"SM5ABC", "JO66SD", {"1800 SM6AAA JO57AA", "1805 SM6BBB JO47BB", "1810 SM6CCC JO58CC"}},
          {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
          {"SM6BBB", "JO47BB", {}},
          {"SM6CCC", "JO58CD", {"1810 SM5ABC JO66SD"}}};
}

TEST(FiguresAfter, AddTheProposalsToTheJudgementsOnACopy) {
  TBatch batch(Evening());
  TLog& log = *batch.Logs[0];
  const TNacChecker& checker = log.Checker();
  const int64_t first = checker.GetQsoPoints(1);
  ASSERT_EQ(checker.SquareCount(), 3);
  const auto& after = batch.Check->Log(0).After;
  ASSERT_TRUE(after);
  EXPECT_EQ(after->Score, first);
  EXPECT_EQ(after->Squares, 1);
  EXPECT_EQ(after->Total, first + 500);
  // The log itself is unchanged.
  EXPECT_EQ(checker.GetPenalty(1), kPenaltyNone);
  EXPECT_EQ(checker.SquareCount(), 3);
  EXPECT_LE(after->Score, checker.GetScore());
}

TEST(Apply, StoresTheProposalsOnceAndKeepsTheJudgesOwn) {
  TBatch batch(Evening());
  TLog& log = *batch.Logs[0];
  log.Checker().SetPenalty(2, kPenaltyDuplicate);  // the judge's own, on a QSO proposed invalid
  batch.Check->UpdateFiguresAfter(0);
  const TFiguresAfter before = *batch.Check->Log(0).After;
  const std::size_t messages = log.Checker().Messages().size();

  EXPECT_EQ(batch.Check->Apply(0), 1);
  EXPECT_EQ(log.Checker().GetPenalty(1), kPenaltyInvalid);
  EXPECT_EQ(log.Checker().GetPenalty(2), kPenaltyDuplicate);
  EXPECT_EQ(log.Checker().GetScore(), before.Score);
  EXPECT_EQ(log.Checker().SquareCount(), before.Squares);
  EXPECT_EQ(log.GetTotalScore(), before.Total);
  EXPECT_EQ(batch.Check->Log(0).After->Total, before.Total);
  const std::size_t afterFirst = log.Checker().Messages().size();
  EXPECT_GE(afterFirst, messages);

  EXPECT_EQ(batch.Check->Apply(0), 0);
  EXPECT_EQ(log.GetTotalScore(), before.Total);
  EXPECT_EQ(log.Checker().Messages().size(), afterFirst);
  // Nothing proposed for the partners' logs; their accepted figures become the checker's.
  EXPECT_EQ(batch.Check->Apply(1), 0);
  EXPECT_EQ(batch.Logs[1]->GetDxScore(), batch.Logs[1]->Checker().GetScore());
}

TEST(FiguresAfter, OfAnUnidentifiedLogAreZero) {
  std::vector<TStation> stations = Evening();
  stations[1].Date = "20070606";  // a Wednesday: no contest
  stations[1].Qsos = {"1800 SM5ABC JO66SD"};
  std::string text = test::EdiOf(stations[1]);
  text.replace(text.find("070606;1800"), 11, "070605;1800");
  const TBatch batch({test::EdiOf(stations[0]), text});
  ASSERT_EQ(batch.Logs[1]->Checker().Kind(), TContestKind::None);
  EXPECT_EQ(batch.Check->Log(1).Counts[static_cast<std::size_t>(TVerdict::Confirmed)], 1);
  EXPECT_EQ(batch.Check->Log(1).After->Score, 0);
  EXPECT_EQ(batch.Check->Log(1).After->Squares, 0);
}

}  // namespace
}  // namespace loggrevy
