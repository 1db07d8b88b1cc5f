// The claimed totals against the computed ones, the best-DX claim, the club
// entry, and figures beyond the 32-bit range.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "checker/naccheck.h"
#include "sample_logs.h"
#include "support/param_name.h"

namespace loggrevy::test {
namespace {

const Message kTotal{txt::kTotalDeviates, -1, 1};

struct TotalCase {
  int64_t Claimed;
  bool Warns;
};

class WorkedExampleTotalTest : public ::testing::TestWithParam<TotalCase> {};

// Computed total 865 + 2 x 500 = 1865; tolerance 186.5.
TEST_P(WorkedExampleTotalTest, TenPercent) {
  EdiBuilder b = WorkedExample();
  b.Set("CToSc", std::to_string(GetParam().Claimed));
  std::vector<Message> expected;
  if (GetParam().Warns) expected.push_back(kTotal);
  EXPECT_EQ(expected, CheckText(b.Text())->Messages());
}

INSTANTIATE_TEST_SUITE_P(Claims, WorkedExampleTotalTest,
                         ::testing::Values(TotalCase{1865, false}, TotalCase{2000, false}, TotalCase{2051, false},
                                           TotalCase{2052, true}, TotalCase{1679, false}, TotalCase{1678, true},
                                           TotalCase{0, true}, TotalCase{-1865, true}),
                         [](const auto& p) {
                           return ParamName({"claimed", std::to_string(p.param.Claimed)});
                         });

class ExactTenPercentTest : public ::testing::TestWithParam<TotalCase> {};

// 10 GHz: one QSO of k = 1900 x 5 = 9500 points + 500 = 10 000.
TEST_P(ExactTenPercentTest, HasNoAllowance) {
  EdiBuilder b;
  b.Date("20070628")
      .Set("PBand", "10GHz")
      .Qso("070628", "1800", "EA1AAA", "IN38VX", 9500)
      .Claims(1, 9500, 1, GetParam().Claimed, "EA1AAA", 5);
  const auto log = CheckText(b.Text());
  EXPECT_EQ(9500, log->Checker->GetScore());
  std::vector<Message> expected;
  if (GetParam().Warns) expected.push_back(kTotal);
  EXPECT_EQ(expected, log->Messages());
}

INSTANTIATE_TEST_SUITE_P(Claims, ExactTenPercentTest,
                         ::testing::Values(TotalCase{11000, false}, TotalCase{11001, true}, TotalCase{9000, false},
                                           TotalCase{8999, true}),
                         [](const auto& p) {
                           return ParamName({"claimed", std::to_string(p.param.Claimed)});
                         });

struct CountsCase {
  const char* Name;
  const char* Keyword;
  const char* Value;
  std::vector<Message> Expected;
};

class CountsTest : public ::testing::TestWithParam<CountsCase> {};

TEST_P(CountsTest, AgainstTheWorkedExample) {
  EdiBuilder b = WorkedExample();
  b.Set(GetParam().Keyword, GetParam().Value);
  EXPECT_EQ(GetParam().Expected, CheckText(b.Text())->Messages());
}

const CountsCase kCountsCases[] = {
    // 2 computed squares x 500 still equal the claimed 1000.
    {"ThreeSquares", "CWWLs", "3;500;1", {{txt::kSquareCount, -1, 2}}},
    {"ThreeSquaresWithBonus", "CWWLB", "1500", {{txt::kSquareBonusTotal, -1, 2}}},
    // The product uses the claimed bonus per square; CheckClaims reports the bonus.
    {"WrongBonusConsistentProduct",
     "CWWLs",
     "2;400;1",
     {{"Fel krävd bonuspoäng per ruta, 400, borde varit 500", -1, 2}, {txt::kSquareBonusTotal, -1, 2}}},
    {"FourQsos", "CQSOs", "4;1", {{txt::kValidQsoCount, -1, 2}}},
};

INSTANTIATE_TEST_SUITE_P(Claims, CountsTest, ::testing::ValuesIn(kCountsCases),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(Totals, WrongBonusWithMatchingProductPassesTheProductTest) {
  EdiBuilder b = WorkedExample();
  b.Set("CWWLs", "2;400;1").Set("CWWLB", "800");
  const std::vector<Message> expected{{"Fel krävd bonuspoäng per ruta, 400, borde varit 500", -1, 2}};
  EXPECT_EQ(expected, CheckText(b.Text())->Messages());
}

TEST(Totals, NoCountingQso) {
  EdiBuilder b;
  b.Qso("070605", "1800", "OZ1AAA", "JO55XX", 0).Qso("070605", "1805", "OZ1BBB", "JO55", 101);
  b.Claims(0, 0, 0, 0, "");
  const std::vector<Message> located{{txt::kPartnerLocator, 2, 2}};
  auto expected = located;
  expected.push_back({txt::kWrongBestDx, -1, 2});
  auto log = CheckText(b.Text());
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ("\r", log->Checker->BestDxCalls());
  EXPECT_EQ(0, log->Checker->GetScore());

  b.Set("CToSc", "1").Set("CODXC", "OZ1AAA;JO55XX;100");
  expected = located;
  expected.push_back(kTotal);
  expected.push_back({txt::kWrongBestDx, -1, 2});
  EXPECT_EQ(expected, CheckText(b.Text())->Messages());
}

// Claims at the ends of the 32-bit range compare exactly.
TEST(Totals, ClaimsNearTheIntegerLimits) {
  EdiBuilder b = WorkedExample();
  b.Set("CWWLs", "2;2147483647;1").Set("CWWLB", "-2").Set("CToSc", "-2147483648");
  const std::vector<Message> expected{
      {"Fel krävd bonuspoäng per ruta, 2147483647, borde varit 500", -1, 2},
      {txt::kSquareBonusTotal, -1, 2},  // 2 x 2147483647 is not -2
      kTotal,
  };
  EXPECT_EQ(expected, CheckText(b.Text())->Messages());

  b = WorkedExample();
  b.Set("CToSc", "2147483647");
  EXPECT_EQ(std::vector<Message>{kTotal}, CheckText(b.Text())->Messages());
}

// 10 800 QSOs on 248 GHz at 19 993 km, each 19 994 x 10 points: the score
// passes 2^31 and stays exact.
TEST(Totals, ScoreBeyondThirtyTwoBits) {
  EdiBuilder b;
  b.Date("20070628").Set("PBand", "248GHz");
  constexpr int kQsos = 10800;
  for (int i = 0; i < kQsos; ++i) {
    std::string call = "DL";
    call += static_cast<char>('0' + i % 10);
    int rest = i / 10;
    for (int letter = 0; letter < 3; ++letter) {
      call += static_cast<char>('A' + rest % 26);
      rest /= 26;
    }
    b.Qso("070628", "1800", call, "AD63OS", 199940);
  }
  b.Set("CQSOs", std::to_string(kQsos) + ";10").Set("CQSOP", "2147483647").Set("CWWLs", "1;500;1");
  b.Set("CWWLB", "500").Set("CToSc", "2147483647").Set("CODXC", "DL0AAA;AD63OS;19993");
  auto log = CheckText(b.Text());
  EXPECT_EQ(std::vector<Message>{}, log->Messages());
  EXPECT_EQ(int64_t{kQsos} * 199940, log->Checker->GetScore());
  EXPECT_EQ(kQsos, log->Checker->ValidQsoCount());

  log->Checker->SetPenalty(0, kPenaltyDuplicate);
  EXPECT_EQ(int64_t{kQsos - 1} * 199940 - 1999400, log->Checker->GetScore());
  EXPECT_EQ(-1999400, log->Checker->GetQsoPoints(1));
}

struct ClubCase {
  const char* Name;
  const char* PCall;
  const char* PClub;
  const char* ClubAfter;
  const char* Warning;  // nullptr: none
};

class ClubTest : public ::testing::TestWithParam<ClubCase> {};

TEST_P(ClubTest, EntryAndWarning) {
  const ClubCase& c = GetParam();
  EdiBuilder b = WorkedExample();
  b.Set("PCall", c.PCall).Set("PClub", c.PClub);
  const auto log = CheckText(b.Text());
  std::vector<Message> expected;
  if (c.Warning != nullptr) expected.push_back({c.Warning, -1, 1});
  EXPECT_EQ(expected, log->Messages());
  EXPECT_EQ(c.ClubAfter, log->Edi->PClub);
}

const char* const kClubWarning = "Varning: Klubbstation har angivit en annan signal som klubbstation";
const char* const kMilitaryWarning = "Varning: Militärstation har angivit en annan signal som klubbstation";
const char* const kNotSkOrSl = "Varning: Felaktig klubb angiven. Signalen startar ej med SK eller SL";

const ClubCase kClubCases[] = {
    {"ClubEmpty", "SK5XY", "", "SK5XY", nullptr},
    {"ClubItself", "SK5XY", "SK5XY", "SK5XY", nullptr},
    {"ClubOther", "SK5XY", "SK5AB", "SK5AB", kClubWarning},
    {"ClubPortable", "SK5XY/P", "", "SK5XY", nullptr},
    {"ClubSpecialPrefix", "7S5XY", "", "SK5XY", nullptr},
    {"ClubSevenCharacters", "SK5ABCD", "", "SK5ABC", kClubWarning},
    {"ShortSaIsClub", "SA5AB", "", "SA5AB", nullptr},
    {"MilitaryEmpty", "SL5ABC", "", "SL5ABC", nullptr},
    {"MilitaryOther", "SL5ABC", "SK5XY", "SK5XY", kMilitaryWarning},
    {"MilitarySgEmpty", "SG5ABC", "", "SL5ABC", nullptr},
    {"MilitarySgItself", "SG5ABC", "SG5ABC", "SG5ABC", kMilitaryWarning},
    {"OrdinaryNoClub", "SM5ABC", "", "", nullptr},
    {"OrdinarySk", "SM5ABC", "SK5XY", "SK5XY", nullptr},
    {"OrdinarySl", "SM5ABC", "SL5ABC", "SL5ABC", nullptr},
    {"OrdinaryLowerCase", "SM5ABC", "sk5xy", "SK5XY", nullptr},
    {"OrdinarySa", "SM5ABC", "SA5XYZ", "SA5XYZ", kNotSkOrSl},
    {"OrdinaryName", "SM5ABC", "ZRL", "ZRL", kNotSkOrSl},
};

INSTANTIATE_TEST_SUITE_P(Calls, ClubTest, ::testing::ValuesIn(kClubCases),
                         [](const auto& p) { return std::string(p.param.Name); });

}  // namespace
}  // namespace loggrevy::test
