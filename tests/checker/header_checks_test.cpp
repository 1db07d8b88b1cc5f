// The band plan, the own locator and the bonus and multiplier claims of the
// header.

#include <gtest/gtest.h>

#include "checker/naccheck.h"
#include "sample_logs.h"
#include "support/param_name.h"

namespace loggrevy::test {
namespace {

struct ClaimCase {
  const char* Name;
  const char* Keyword;
  const char* Value;
  std::vector<Message> Expected;
};

class ClaimsTest : public ::testing::TestWithParam<ClaimCase> {};

// The worked example is clean; one changed header value gives exactly these
// messages.
TEST_P(ClaimsTest, OneChangedClaim) {
  const ClaimCase& c = GetParam();
  EdiBuilder b = WorkedExample();
  b.Set(c.Keyword, c.Value);
  const auto log = CheckText(b.Text());
  EXPECT_EQ(c.Expected, log->Messages());
}

const ClaimCase kClaimCases[] = {
    {"Clean", "TName", "NAC", {}},
    {"SquareBonusZero",
     "CWWLs",
     "2;0;1",
     {{"Fel krävd bonuspoäng per ruta, 0, borde varit 500", -1, 2}, {txt::kSquareBonusTotal, -1, 2}}},
    {"SquareBonusNegative",
     "CWWLs",
     "2;-500;1",
     {{"Fel krävd bonuspoäng per ruta, -500, borde varit 500", -1, 2}, {txt::kSquareBonusTotal, -1, 2}}},
    {"SquareMultiplierZero", "CWWLs", "2;500;0", {}},
    {"SquareMultiplierTwo", "CWWLs", "2;500;2", {{"Felaktig multipler per ruta angiven, 2, borde varit 1.", -1, 2}}},
    {"ExchangeBonus", "CExcs", "0;10;1", {{"Bonus för \"exchange\" krävd.", -1, 2}}},
    {"ExchangeBonusTotal", "CExcB", "5", {{"Bonus för \"exchange\" krävd.", -1, 2}}},
    {"ExchangeMultiplier",
     "CExcs",
     "0;0;3",
     {{"Felaktig multipler per \"exchange\" angiven, 3, borde varit 1.", -1, 2}}},
    {"DxccBonus", "CDXCs", "0;10;1", {{"Bonus för DXCC krävd.", -1, 2}}},
    {"DxccBonusTotal", "CDXCB", "1", {{"Bonus för DXCC krävd.", -1, 2}}},
    {"DxccMultiplier", "CDXCs", "0;0;2", {{"Felaktig multipler per DXCC angiven, 2, borde varit 1.", -1, 2}}},
    {"BandMultiplierZeroMeansOne", "CQSOs", "3;0", {}},
    {"BandMultiplierNegativeMeansOne", "CQSOs", "3;-4", {}},
    {"BandMultiplierTwo", "CQSOs", "3;2", {{txt::kBandMultiplier, -1, 2}}},
};

INSTANTIATE_TEST_SUITE_P(Header, ClaimsTest, ::testing::ValuesIn(kClaimCases),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(Claims, AllWrongInTheirOrder) {
  EdiBuilder b = WorkedExample();
  b.Set("CWWLs", "2;400;5").Set("CWWLB", "800").Set("CExcs", "0;1;2").Set("CDXCs", "0;1;2").Set("CQSOs", "3;7");
  const auto log = CheckText(b.Text());
  const std::vector<Message> expected{
      {"Fel krävd bonuspoäng per ruta, 400, borde varit 500", -1, 2},
      {"Felaktig multipler per ruta angiven, 5, borde varit 1.", -1, 2},
      {"Bonus för \"exchange\" krävd.", -1, 2},
      {"Felaktig multipler per \"exchange\" angiven, 2, borde varit 1.", -1, 2},
      {"Bonus för DXCC krävd.", -1, 2},
      {"Felaktig multipler per DXCC angiven, 2, borde varit 1.", -1, 2},
      {txt::kBandMultiplier, -1, 2},
      // 2 squares x the claimed 400 equals the claimed 800: the bonus total passes.
  };
  EXPECT_EQ(expected, log->Messages());
}

TEST(Claims, TenGigahertzNeedsItsMultiplier) {
  EdiBuilder b = WorkedExample10GHz();
  EXPECT_EQ(std::vector<Message>{}, CheckText(b.Text())->Messages());
  b.Set("CQSOs", "3;0");
  EXPECT_EQ((std::vector<Message>{{txt::kBandMultiplier, -1, 2}}), CheckText(b.Text())->Messages());
}

TEST(Band, FieldsFromTheBandTable) {
  const auto vhf = CheckText(WorkedExample().Text());
  EXPECT_EQ(1, vhf->Checker->BandMultiplier());
  EXPECT_EQ(500, vhf->Checker->SquareBonus());
  const auto shf = CheckText(WorkedExample10GHz().Text());
  EXPECT_EQ(5, shf->Checker->BandMultiplier());
  EXPECT_EQ(500, shf->Checker->SquareBonus());
}

TEST(Band, KvartalstestOn432IsScoredWithItsRow) {
  EdiBuilder b;
  b.Date("20100307")
      .Set("PBand", "432 MHz")
      .Qso("100307", "0800", "OZ1AAA", "JO55XX", 101, 1, 1)
      .Claims(1, 101, 1, 601, "OZ1AAA");
  const auto log = CheckText(b.Text(), 2010);
  EXPECT_EQ(TContestKind::Kvartalstest, log->Checker->Kind());
  EXPECT_EQ((std::vector<Message>{{txt::kBandNotForDay, -1, 2}}), log->Messages());
  EXPECT_EQ(1, log->Checker->BandMultiplier());
  EXPECT_EQ(500, log->Checker->SquareBonus());
  EXPECT_EQ(101, log->Checker->GetScore());
}

// A Kvartalstest is identified from its date alone; a band outside the plan
// scores nothing and expects no square bonus.
TEST(Band, KvartalstestOnUnknownBandScoresZero) {
  EdiBuilder b;
  b.Date("20100307")
      .Set("PBand", "2 m")
      .Qso("100307", "0800", "OZ1AAA", "JO55XX", 101, 1, 1)
      .Claims(1, 101, 1, 601, "OZ1AAA");
  const auto log = CheckText(b.Text(), 2010);
  const std::vector<Message> expected{
      {txt::kBandNotInPlan, -1, 2},  {"Fel krävd bonuspoäng per ruta, 500, borde varit 0", -1, 2},
      {txt::kBandMultiplier, -1, 2}, {txt::kPointsDeviate + "OZ1AAA", 1, 1},
      {txt::kTotalDeviates, -1, 1},
  };
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ(0, log->Checker->BandMultiplier());
  EXPECT_EQ(0, log->Checker->SquareBonus());
  EXPECT_EQ(0, log->Checker->GetScore());
  EXPECT_EQ(0, log->Checker->GetQsoPoints(1));
  EXPECT_EQ(1, log->Checker->SquareCount());
}

TEST(OwnLocator, OutsideSweden) {
  EdiBuilder b = WorkedExample();
  b.Set("PWWLo", "JO55XX");
  const auto log = CheckText(b.Text());
  ASSERT_FALSE(log->Messages().empty());
  EXPECT_EQ((Message{txt::kNotFromSweden, -1, 2}), log->Messages().front());
  EXPECT_EQ(2, log->Checker->MaxSeverity());
  // Scored from the locator as given: the first QSO is 0 km away.
  EXPECT_EQ(1, log->Checker->GetQsoPoints(1));
}

// With no own position every distance is 0.0 and every QSO is worth k = 1.
void ExpectUnknownPosition(const CheckedLog& log) {
  EXPECT_EQ(0.0, log.Checker->OwnLocation().Latitude);
  EXPECT_EQ(0.0, log.Checker->OwnLocation().Longitude);
  for (int32_t qso = 1; qso <= 3; ++qso) {
    EXPECT_EQ(0.0, log.Checker->GetQsoDistance(qso)) << qso;
    EXPECT_EQ(1, log.Checker->GetQsoPoints(qso)) << qso;
  }
  EXPECT_EQ(3, log.Checker->GetScore());
  EXPECT_EQ(2, log.Checker->SquareCount());
  EXPECT_EQ(3, log.Checker->MaxSeverity());
}

// What the worked example gets once all QSOs score 1 point: three points
// warnings and the total warning; the best DX is any of the three.
std::vector<Message> ScoredFromNowhere(std::vector<Message> first) {
  first.push_back({txt::kPointsDeviate + "OZ1AAA", 1, 1});
  first.push_back({txt::kPointsDeviate + "OZ1BBB", 2, 1});
  first.push_back({txt::kPointsDeviate + "DL1CCC", 3, 1});
  first.push_back({txt::kTotalDeviates, -1, 1});
  return first;
}

TEST(OwnLocator, EmptyGivesItsTwoMessagesAndNoPosition) {
  EdiBuilder b = WorkedExample();
  b.Set("PWWLo", "");
  const auto log = CheckText(b.Text());
  EXPECT_EQ(ScoredFromNowhere({{txt::kNoOwnLocator, -1, 3}, {txt::kNotFromSweden, -1, 2}}), log->Messages());
  ExpectUnknownPosition(*log);
  EXPECT_EQ("\rOZ1AAA\rOZ1BBB\rDL1CCC\r", log->Checker->BestDxCalls());
}

struct MalformedCase {
  const char* Locator;
  bool Swedish;
};

class MalformedOwnLocatorTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedOwnLocatorTest, SeriousAndNoPosition) {
  EdiBuilder b = WorkedExample();
  b.Set("PWWLo", GetParam().Locator);
  const auto log = CheckText(b.Text());
  std::vector<Message> first;
  if (!GetParam().Swedish) first.push_back({txt::kNotFromSweden, -1, 2});
  first.push_back({txt::kOwnLocatorMalformed, -1, 3});
  EXPECT_EQ(ScoredFromNowhere(first), log->Messages());
  ExpectUnknownPosition(*log);
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedOwnLocatorTest,
                         ::testing::Values(MalformedCase{"JO65", true}, MalformedCase{"JO65A", true},
                                           MalformedCase{"11AA11", false}, MalformedCase{"JO66SZ", true}),
                         [](const auto& p) { return ParamName({p.param.Locator}); });

TEST(OwnLocator, EightCharactersUseTheFirstSix) {
  EdiBuilder b = WorkedExample();
  b.Set("PWWLo", "JO66SD55");
  const auto log = CheckText(b.Text());
  EXPECT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ("JO66SD", log->Checker->OwnLocation().Locator);
  EXPECT_EQ(865, log->Checker->GetScore());
}

}  // namespace
}  // namespace loggrevy::test
