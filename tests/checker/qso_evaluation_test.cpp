// Scoring of single QSOs and what is reported on the way: wrong day, partner
// locators, duplicates, claimed points, serial numbers, Swedish contacts and
// the sections of the 28 MHz contest.

#include <gtest/gtest.h>

#include "checker/naccheck.h"
#include "sample_logs.h"
#include "support/param_name.h"

namespace loggrevy::test {
namespace {

TEST(WorkedExample, On144MHz) {
  const auto log = CheckText(WorkedExample().Text());
  EXPECT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ(TContestKind::VHF, log->Checker->Kind());
  EXPECT_EQ(101, log->Checker->GetQsoPoints(1));
  EXPECT_EQ(251, log->Checker->GetQsoPoints(2));
  EXPECT_EQ(513, log->Checker->GetQsoPoints(3));
  EXPECT_EQ(865, log->Checker->GetScore());
  EXPECT_EQ(2, log->Checker->SquareCount());
  EXPECT_EQ(3, log->Checker->ValidQsoCount());
  EXPECT_NEAR(250.66, log->Checker->GetQsoDistance(2), 0.01);
  EXPECT_NEAR(512.92, log->Checker->GetQsoDistance(3), 0.01);
  EXPECT_EQ(log->Checker->GetQsoDistance(3), log->Checker->BestDistance());
  EXPECT_EQ("\rDL1CCC\r", log->Checker->BestDxCalls());
  EXPECT_EQ("JO66SD", log->Checker->OwnLocation().Locator);
  EXPECT_NE(0.0, log->Checker->OwnLocation().Latitude);
}

TEST(WorkedExample, On10GHz) {
  const auto log = CheckText(WorkedExample10GHz().Text());
  EXPECT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ(TContestKind::Mikro, log->Checker->Kind());
  EXPECT_EQ(505, log->Checker->GetQsoPoints(1));
  EXPECT_EQ(1255, log->Checker->GetQsoPoints(2));
  EXPECT_EQ(2565, log->Checker->GetQsoPoints(3));
  EXPECT_EQ(4325, log->Checker->GetScore());
  EXPECT_EQ(2, log->Checker->SquareCount());
}

TEST(WrongDay, RepeatedThenSilentAndStillCounting) {
  EdiBuilder b;
  b.Qso("070604", "1800", "OZ1AAA", "JO55XX", 101)
      .Qso("070604", "1805", "OZ1BBB", "JO55AB", 251)
      .Qso("070604", "1810", "DL1CCC", "JO33PG", 513)
      .Claims(3, 865, 2, 1865, "DL1CCC");
  const auto log = CheckText(b.Text());
  const std::vector<Message> expected{{"QSO från fel dag med OZ1AAA", 1, 2},
                                      {"QSO från fel dag med OZ1BBB (upprepas)", 2, 2}};
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ(865, log->Checker->GetScore());
  EXPECT_EQ(3, log->Checker->ValidQsoCount());
}

// The day test compares the QSO date as text with both TDATE values and runs
// for QSOs that do not count too.
TEST(WrongDay, AfterTheLastDayAndOnNonCountingQsos) {
  EdiBuilder b;
  b.Date("20070605")
      .Set("TDate", "20070605;20070605")
      .Qso("070606", "0010", "OZ1AAA", "JO55XX", 101)
      .Qso("07060", "1805", "OZ1BBB", "JO55AB", 0)  // a beginning of the date is smaller
      .Qso("070605", "1810", "DL1CCC", "JO33PG", 513)
      .Claims(2, 614, 2, 1614, "DL1CCC");
  const auto log = CheckText(b.Text());
  const std::vector<Message> expected{{"QSO från fel dag med OZ1AAA", 1, 2},
                                      {"QSO från fel dag med OZ1BBB (upprepas)", 2, 2}};
  EXPECT_EQ(expected, log->Messages());
}

TEST(WrongDay, SeveralDaysAcceptsTheLastDay) {
  EdiBuilder b = WorkedExample();
  b.Set("TDate", "20070605;20070606");
  b.Qso("070606", "0010", "SP1DDD", "JO54NX", 200).Qso("070607", "0010", "SP2EEE", "JO15VM", 613);
  b.Claims(5, 1678, 4, 3678, "SP2EEE");
  const auto log = CheckText(b.Text());
  const std::vector<Message> expected{{txt::kSeveralDays, -1, 2}, {"QSO från fel dag med SP2EEE", 5, 2}};
  EXPECT_EQ(expected, log->Messages());
}

TEST(PartnerLocator, FourCharactersDoNotCount) {
  EdiBuilder b = WorkedExample();
  b.Qso("070605", "1815", "SM7XYZ", "JO89", 300).Claims(3, 865, 2, 1865, "DL1CCC");
  const auto log = CheckText(b.Text());
  EXPECT_EQ((std::vector<Message>{{txt::kPartnerLocator, 4, 2}}), log->Messages());
  EXPECT_FALSE(log->Edi->QSOs[3].Valid);
  EXPECT_EQ(0, log->Checker->GetQsoPoints(4));
  EXPECT_EQ(0.0, log->Checker->GetQsoDistance(4));
}

TEST(Duplicates, UnflaggedPortableDuplicate) {
  EdiBuilder b = WorkedExample();
  b.Qso("070605", "1815", "OZ1AAA/P", "JO54NX", 200);
  const auto log = CheckText(b.Text());
  EXPECT_EQ((std::vector<Message>{{"Ej flaggat duplikat-QSO OZ1AAA/P", 4, 2}}), log->Messages());
  EXPECT_FALSE(log->Edi->QSOs[3].Valid);
  EXPECT_EQ(865, log->Checker->GetScore());
  EXPECT_EQ(2, log->Checker->SquareCount());
  EXPECT_EQ(3, log->Checker->ValidQsoCount());
}

TEST(Duplicates, FlaggedDuplicateIsSilent) {
  EdiBuilder b = WorkedExample();
  b.Qso("070605", "1815", "OZ1AAA", "JO54NX", 200, 0, 0, "D");
  EXPECT_EQ(std::vector<Message>{}, CheckText(b.Text())->Messages());
}

// Only the first QSO to a call counts, even when a later one is longer.
TEST(Duplicates, FirstCountsAndSetsTheSquare) {
  EdiBuilder b;
  b.Qso("070605", "1800", "OZ1AAA", "JO55XX", 101)
      .Qso("070605", "1805", "OZ1AAA", "JO33PG", 513)
      .Claims(1, 101, 1, 601, "OZ1AAA");
  const auto log = CheckText(b.Text());
  EXPECT_EQ((std::vector<Message>{{"Ej flaggat duplikat-QSO OZ1AAA", 2, 2}}), log->Messages());
  EXPECT_EQ(1, log->Checker->SquareCount());
}

struct PointsCase {
  int Claimed;
  bool Warns;
};

class ClaimedPointsTest : public ::testing::TestWithParam<PointsCase> {};

// Computed 200 (JO54NX, 199.8 km); the claim may differ by 200/10 + 5 = 25.
TEST_P(ClaimedPointsTest, TenPercentPlusFive) {
  EdiBuilder b;
  b.Qso("070605", "1800", "OZ1AAA", "JO54NX", GetParam().Claimed).Claims(1, 200, 1, 700, "OZ1AAA");
  std::vector<Message> expected;
  if (GetParam().Warns) expected.push_back({txt::kPointsDeviate + "OZ1AAA", 1, 1});
  const auto log = CheckText(b.Text());
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ(200, log->Checker->GetScore());
}

INSTANTIATE_TEST_SUITE_P(Tolerance, ClaimedPointsTest,
                         ::testing::Values(PointsCase{200, false}, PointsCase{225, false}, PointsCase{175, false},
                                           PointsCase{226, true}, PointsCase{174, true}, PointsCase{1, true}),
                         [](const auto& p) {
                           return ParamName({"claimed", std::to_string(p.param.Claimed)});
                         });

TEST(ClaimedPoints, SmallQsoAllowsFive) {
  // Own square JO66SD to itself: 0 km, k = 1; claims 1..6 pass, 7 warns.
  for (const auto& [claimed, warns] : std::vector<std::pair<int, bool>>{{6, false}, {7, true}}) {
    EdiBuilder b;
    b.Qso("070605", "1800", "OZ1AAA", "JO66SD", claimed).Claims(1, 1, 1, 501, "OZ1AAA");
    std::vector<Message> expected;
    if (warns) expected.push_back({txt::kPointsDeviate + "OZ1AAA", 1, 1});
    EXPECT_EQ(expected, CheckText(b.Text())->Messages()) << claimed;
  }
}

class BestDxTest : public ::testing::TestWithParam<const char*> {};

// 612.3 and 612.9 km both score k = 613: both calls are the best DX.
TEST_P(BestDxTest, TiedCallsBothPass) {
  EdiBuilder b;
  b.Qso("070605", "1800", "DL1AAA", "JO15VM", 613)
      .Qso("070605", "1805", "OZ1BBB", "JO55XX", 101)
      .Qso("070605", "1810", "DL2BBB", "JO16TG", 613)
      .Claims(3, 1327, 3, 2827, GetParam());
  const auto log = CheckText(b.Text());
  EXPECT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ("\rDL1AAA\rDL2BBB\r", log->Checker->BestDxCalls());
}

INSTANTIATE_TEST_SUITE_P(Claims, BestDxTest, ::testing::Values("DL1AAA", "DL2BBB", "dl2bbb", "Dl1aaA"),
                         [](const auto& p) { return ParamName({p.param}); });

TEST(BestDx, WrongClaims) {
  for (const char* claim : {"OZ1BBB", "", "DL1AA", "DL1AAA/P", "DL1AAA DL2BBB"}) {
    EdiBuilder b;
    b.Qso("070605", "1800", "DL1AAA", "JO15VM", 613)
        .Qso("070605", "1810", "DL2BBB", "JO16TG", 613)
        .Claims(2, 1226, 2, 2226, claim);
    EXPECT_EQ((std::vector<Message>{{txt::kWrongBestDx, -1, 2}}), CheckText(b.Text())->Messages()) << claim;
  }
}

// A QSO logged with /P needs the claim with /P.
TEST(BestDx, PortableCallMustBeClaimedAsLogged) {
  EdiBuilder b;
  b.Qso("070605", "1800", "DL1AAA/P", "JO15VM", 613).Claims(1, 613, 1, 1113, "DL1AAA/P");
  EXPECT_EQ(std::vector<Message>{}, CheckText(b.Text())->Messages());
  b.Claims(1, 613, 1, 1113, "DL1AAA");
  EXPECT_EQ((std::vector<Message>{{txt::kWrongBestDx, -1, 2}}), CheckText(b.Text())->Messages());
}

TEST(SerialNumbers, KvartalstestSentNumbersMustRise) {
  EdiBuilder b;
  b.Date("20100307")
      .Qso("100307", "0800", "OZ1AAA", "JO55XX", 101, 1, 5)
      .Qso("100307", "0805", "OZ1BBB", "JO55AB", 251, 2, 7)
      .Qso("100307", "0810", "DL1CCC", "JO33PG", 513, 2, 3)
      .Qso("100307", "0815", "SP1DDD", "JO54NX", 200, 4, 9)
      .Claims(4, 1065, 3, 2565, "DL1CCC");
  const auto log = CheckText(b.Text(), 2010);
  EXPECT_EQ((std::vector<Message>{{"Felaktigt QSO-nummer sänt till DL1CCC", 3, 2}}), log->Messages());
}

TEST(SerialNumbers, KvartalstestMissingNumbers) {
  EdiBuilder b;
  b.Date("20100307")
      .Qso("100307", "0800", "OZ1AAA", "JO55XX", 101, 3, 5)
      .Qso("100307", "0805", "OZ1BBB", "JO55AB", 251, 0, 0)  // sent 0 resets the sequence
      .Qso("100307", "0810", "DL1CCC", "JO33PG", 513, 1, 0)
      .Qso("100307", "0815", "SP1DDD", "JO54NX", 200, 1, 0)
      .Qso("100307", "0820", "SP2EEE", "JO15VM", 613, 1, 2)
      .Claims(5, 1678, 4, 3678, "SP2EEE");
  const auto log = CheckText(b.Text(), 2010);
  const std::vector<Message> expected{
      {"QSO-nummer inte mottaget från OZ1BBB", 2, 2},
      {"QSO-nummer inte mottaget från DL1CCC (upprepas)", 3, 2},
      {"Felaktigt QSO-nummer sänt till SP1DDD", 4, 2},
      {"Felaktigt QSO-nummer sänt till SP2EEE (upprepas)", 5, 2},
  };
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ(2, log->Checker->MaxSeverity());
}

TEST(SerialNumbers, NacEveningWarnsAtMostTwice) {
  EdiBuilder b;
  b.Qso("070605", "1800", "OZ1AAA", "JO55XX", 101, 1, 0)
      .Qso("070605", "1805", "OZ1BBB", "JO55AB", 251, 2, 4)
      .Qso("070605", "1810", "DL1CCC", "JO33PG", 513, 3, 5)
      .Qso("070605", "1815", "SP1DDD", "JO54NX", 200, 4, 6)
      .Claims(4, 1065, 3, 2565, "DL1CCC");
  const auto log = CheckText(b.Text());
  const std::vector<Message> expected{
      {"QSO-nummer sänt till OZ1AAA", 1, 1},
      {"QSO-nummer mottaget från OZ1BBB", 2, 1},
      {"QSO-nummer sänt till OZ1BBB (upprepas)", 2, 1},
      {"QSO-nummer mottaget från DL1CCC (upprepas)", 3, 1},
  };
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ(1, log->Checker->MaxSeverity());
}

struct SwedishCase {
  const char* Call;
  const char* Locator;
  int Points;
  std::vector<Message> Expected;
};

class SwedishCallTest : public ::testing::TestWithParam<SwedishCase> {};

TEST_P(SwedishCallTest, Warnings) {
  const SwedishCase& c = GetParam();
  EdiBuilder b;
  b.Qso("070605", "1800", c.Call, c.Locator, c.Points).Claims(1, c.Points, 1, c.Points + 500, c.Call);
  EXPECT_EQ(c.Expected, CheckText(b.Text())->Messages());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SwedishCallTest,
    ::testing::Values(
        SwedishCase{"SM7XYZ", "JP53AO", 852, {{"Varning: Extremt långt SM-SM QSO (SM7XYZ i JP53AO)", 1, 1}}},
        SwedishCase{"SM7XYZ", "JP53CD", 801, {{"Varning: Extremt långt SM-SM QSO (SM7XYZ i JP53CD)", 1, 1}}},
        SwedishCase{"SM7XYZ", "JP53DD", 800, {}},
        SwedishCase{"SM7XYZ", "JO45JQ", 301, {{"Varning: SM utanför SM (SM7XYZ i JO45JQ)", 1, 1}}},
        SwedishCase{"SA7XYZ", "JO45JQ", 301, {{"Varning: SM utanför SM (SA7XYZ i JO45JQ)", 1, 1}}},
        SwedishCase{"7S7XYZ", "JO45JQ", 301, {{"Varning: SM utanför SM (7S7XYZ i JO45JQ)", 1, 1}}},
        SwedishCase{"SN7XYZ", "JO45JQ", 301, {}}, SwedishCase{"DL7XYZ", "JP53AO", 852, {}},
        SwedishCase{"SM7XYZ",
                    "IN38VX",
                    1900,
                    {{"Varning: SM utanför SM (SM7XYZ i IN38VX)", 1, 1},
                     {"Varning: Extremt långt SM-SM QSO (SM7XYZ i IN38VX)", 1, 1}}}),
    [](const auto& p) {
      return ParamName({p.param.Call, "in", p.param.Locator});
    });

struct SectionCase {
  const char* Name;
  const char* PSect;
  const char* Time;
  int32_t UtcOffset;
  std::vector<Message> Expected;
  const char* SectAfter;
};

class SectionTest : public ::testing::TestWithParam<SectionCase> {};

// A 28 MHz log on Tuesday 5 June 2007; the section is the local hour of the
// first QSO: 19 A, 20 B, 21 C, 22 D.
TEST_P(SectionTest, FromTheFirstQso) {
  const SectionCase& c = GetParam();
  EdiBuilder b;
  b.Set("PBand", "28MHz")
      .Set("PSect", c.PSect)
      .Qso("070605", c.Time, "OZ1AAA", "JO55XX", 101)
      .Qso("070605", "2359", "OZ1BBB", "JO55AB", 251)
      .Claims(2, 352, 1, 852, "OZ1BBB");
  const auto log = CheckText(b.Text(), 2007, c.UtcOffset);
  EXPECT_EQ(TContestKind::M28, log->Checker->Kind());
  EXPECT_EQ(c.Expected, log->Messages());
  EXPECT_EQ(c.SectAfter, log->Edi->PSect);
}

const Message kOutside{txt::kOutsideContestTime, -1, 3};
const Message kWrongGiven{txt::kWrongSectionGiven, -1, 1};

const SectionCase kSectionCases[] = {
    {"LowerCaseOtherSection", "a", "1800", 120, {{txt::SectionChanged("B"), -1, 1}}, "B"},
    {"LowerCaseSameSection", "b", "1800", 120, {}, "b"},
    {"LeadingBlankSameSection", " b", "1800", 120, {}, " b"},
    {"ControlCharacterSameSection", "\tb", "1800", 120, {}, "\tb"},
    {"UpperCaseSameSection", "B", "1859", 120, {}, "B"},
    {"HourNineteen", "A", "1700", 120, {}, "A"},
    {"HourTwentyOneOffsetSixty", "A", "2000", 60, {{txt::SectionChanged("C"), -1, 1}}, "C"},
    {"HourTwentyTwo", "D", "2000", 120, {}, "D"},
    {"NotASection", "Single", "1800", 120, {kWrongGiven, {txt::SectionChanged("B"), -1, 1}}, "B"},
    {"SectionE", "E", "1900", 120, {kWrongGiven, {txt::SectionChanged("C"), -1, 1}}, "C"},
    {"HourTwentyThree", "A", "2100", 120, {kOutside}, "X"},
    {"HourEighteen", "A", "1659", 120, {kOutside}, "X"},
    {"NotASectionOutsideTime", "", "0900", 120, {kWrongGiven, kOutside}, "X"},
    // Hours 24..99 are taken modulo 24, minutes 60..99 added as they stand.
    {"HourFortyThree", "A", "4300", 0, {}, "A"},
    {"MinuteNinetyNine", "B", "1799", 60, {{txt::SectionChanged("A"), -1, 1}}, "A"},
    {"MinuteSixty", "A", "1760", 120, {{txt::SectionChanged("B"), -1, 1}}, "B"},
    {"NegativeOffset", "A", "2300", -240, {}, "A"},
};

INSTANTIATE_TEST_SUITE_P(Hours, SectionTest, ::testing::ValuesIn(kSectionCases),
                         [](const auto& p) { return std::string(p.param.Name); });

// A first QSO that cannot give a local hour makes the section unknown.
TEST(Section, FirstQsoWithoutLocalHour) {
  struct Case {
    const char* Date;
    const char* Time;
  };
  for (const Case& c : {Case{"070631", "1800"}, Case{"07065", "1800"}, Case{"070605", "180"}, Case{"070605", "18:0"},
                        Case{"0706x5", "1800"}}) {
    EdiBuilder b;
    b.Set("PBand", "28MHz")
        .Set("PSect", "B")
        .Qso(c.Date, c.Time, "OZ1AAA", "JO55XX", 101)
        .Claims(1, 101, 1, 601, "OZ1AAA");
    const auto log = CheckText(b.Text());
    ASSERT_FALSE(log->Messages().empty());
    EXPECT_EQ(kOutside, log->Messages().back()) << c.Date << " " << c.Time;
    EXPECT_EQ("X", log->Edi->PSect) << c.Date << " " << c.Time;
    EXPECT_EQ(3, log->Checker->MaxSeverity());
  }
}

TEST(Section, NoQsoLines) {
  EdiBuilder b;
  b.Set("PBand", "28MHz").Set("PSect", "A").Set("CODXC", "OZ1AAA;;0");
  const auto log = CheckText(b.Text());
  EXPECT_EQ((std::vector<Message>{{txt::kWrongBestDx, -1, 2}, kOutside}), log->Messages());
  EXPECT_EQ("X", log->Edi->PSect);
}

TEST(Section, OnlyForTwentyEightMegahertz) {
  EdiBuilder b = WorkedExample();
  b.Set("PSect", "nonsense");
  const auto log = CheckText(b.Text());
  EXPECT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ("nonsense", log->Edi->PSect);
}

}  // namespace
}  // namespace loggrevy::test
