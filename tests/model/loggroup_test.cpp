// A station's logs of one Mikro or 28M contest answering together.

#include <gtest/gtest.h>

#include "model/loggroup.h"
#include "model_logs.h"

namespace loggrevy::test {
namespace {

TEST(LogGroup, SumsOfTheMembers) {
  TLogGroup group;
  EdiBuilder a = MikroLog("SM5ABC", "10GHz", 5);
  a.Set("CToSc", "1000").Set("CQSOP", "400").Set("CWWLB", "500");
  EdiBuilder b = MikroLog("SM5ABC", "24GHz", 6);
  b.Set("CToSc", "2000").Set("CQSOP", "700").Set("CWWLB", "0");
  group.Add(LogOf(a));
  group.Add(LogOf(b));
  EXPECT_EQ(3000, group.GetClaimedScore());
  EXPECT_EQ(900 + 700, group.GetTotalScore());

  // A judgement in one member reaches the group's accepted total.
  group.GetLog(1).UseOwnSum();
  EXPECT_EQ(900 + 606, group.GetTotalScore());  // squares as claimed: the claimed bonus 0 stays
  EXPECT_EQ(2u, group.LogCount());
}

TEST(LogGroup, SumsDoNotWrap) {
  TLogGroup group;
  for (const char* band : {"10GHz", "24GHz", "2.3GHz"}) {
    EdiBuilder b = MikroLog("SM5ABC", band, 1);
    b.Set("CToSc", "2147483647").Set("CQSOP", "2147483647").Set("CWWLB", "2147483647");
    group.Add(LogOf(b));
  }
  EXPECT_EQ(int64_t{3} * 2147483647, group.GetClaimedScore());
  EXPECT_EQ(int64_t{6} * 2147483647, group.GetTotalScore());
}

TEST(LogGroup, HighestStatusesAndAnyRemarks) {
  EdiBuilder warned = MikroLog("SM5ABC", "10GHz", 5);
  warned.Set("CToSc", "1");  // total warning: severity 1
  EdiBuilder serious = MikroLog("SM5ABC", "24GHz", 6);
  serious.Set("PWWLo", "").Remark("Trevlig kväll");  // severity 3
  EdiBuilder clean = MikroLog("SM5ABC", "2.3GHz", 2);
  clean.Remove("RHBBS");  // reader status 2

  TLogGroup group;
  group.Add(LogOf(warned));
  group.Add(LogOf(serious));
  group.Add(LogOf(clean));
  EXPECT_EQ(1, group.GetLog(0).GetCheckStatus());
  EXPECT_EQ(3, group.GetLog(1).GetCheckStatus());
  EXPECT_EQ(0, group.GetLog(2).GetCheckStatus());
  EXPECT_EQ(3, group.GetCheckStatus());
  EXPECT_EQ(2, group.GetEdiStatus());
  EXPECT_TRUE(group.HasRemarks());

  TLogGroup quiet;
  quiet.Add(LogOf(clean));
  EXPECT_FALSE(quiet.HasRemarks());
  EXPECT_EQ(0, quiet.GetCheckStatus());
}

TEST(LogGroup, OtherFiguresAreTheFirstMembers) {
  TLogGroup group;
  EdiBuilder first = MikroLog("SM5ABC/P", "10GHz", 5);
  first.Set("PClub", "SK5XY");
  group.Add(LogOf(first));
  group.Add(LogOf(MikroLog("SM5ABC/P", "24GHz", 6)));
  EXPECT_EQ("20070628 : Mikro", group.GetCaption());
  EXPECT_EQ("SM5ABC", group.GetCall());
  EXPECT_EQ("SK5XY", group.GetClub());
  EXPECT_EQ(505, group.GetDxScore());
  EXPECT_EQ(1, group.GetSquares());
  EXPECT_EQ(500, group.GetSquareBonus());
}

}  // namespace
}  // namespace loggrevy::test
