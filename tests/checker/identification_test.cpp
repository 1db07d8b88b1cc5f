// Which contest a log belongs to, from its date and band, and the order of the
// messages of a log that cannot be identified.

#include <gtest/gtest.h>

#include "checker/naccheck.h"
#include "sample_logs.h"

namespace loggrevy::test {
namespace {

struct IdentificationCase {
  const char* Name;
  const char* TDate;
  const char* PBand;
  int32_t Year;
  int BandMultiplier;  // claimed in CQSOS, so that the claims check is quiet
  TContestKind Kind;
  std::vector<Message> Expected;
};

// The logs have no QSOs and claim no best DX, so every identified log ends
// with the failed best-DX test.
const Message kBestDx{txt::kWrongBestDx, -1, 2};
const Message kNoContest{txt::kNoContest, -1, 2};
const Message kNotIdentified{txt::kNotIdentified, -1, 3};

class IdentificationTest : public ::testing::TestWithParam<IdentificationCase> {};

TEST_P(IdentificationTest, KindAndMessages) {
  const IdentificationCase& c = GetParam();
  EdiBuilder b;
  b.Set("TDate", c.TDate).Set("PBand", c.PBand).Set("CQSOs", "0;" + std::to_string(c.BandMultiplier));
  const auto log = CheckText(b.Text(), c.Year);
  EXPECT_EQ(c.Kind, log->Checker->Kind());
  EXPECT_EQ(c.Expected, log->Messages());
}

const IdentificationCase kIdentificationCases[] = {
    {"FirstTuesday144", "20070605;20070605", "144 MHz", 2007, 1, TContestKind::VHF, {kBestDx}},
    {"FirstThursday144", "20070607;20070607", "144MHz", 2007, 1, TContestKind::VHF, {kBestDx}},
    {"FirstTuesday432", "20070605;20070605", "432 MHz", 2007, 1, TContestKind::None, {kNoContest, kNotIdentified}},
    {"FirstTuesday28",
     "20070605;20070605",
     "28MHz",
     2007,
     1,
     TContestKind::M28,
     // no QSO to take the section from
     {kBestDx, {txt::kWrongSectionGiven, -1, 1}, {txt::kOutsideContestTime, -1, 3}}},
    {"SecondTuesday432", "20070612;20070612", "432 MHz", 2007, 1, TContestKind::UHF, {kBestDx}},
    {"SecondThursday50", "20070614;20070614", "50 mhz", 2007, 1, TContestKind::SIX, {kBestDx}},
    {"ThirdTuesday1300Dot", "20070619;20070619", "1.3 GHz", 2007, 1, TContestKind::SHF, {kBestDx}},
    {"ThirdTuesday1300Comma", "20070619;20070619", "1,3GHZ", 2007, 1, TContestKind::SHF, {kBestDx}},
    {"ThirdTuesday1300Lower", "20070619;20070619", "1,3 ghz", 2007, 1, TContestKind::SHF, {kBestDx}},
    {"ThirdTuesday1296MHz",
     "20070619;20070619",
     "1296 MHz",
     2007,
     1,
     TContestKind::None,
     {kNoContest, {txt::kBandNotInPlan, -1, 2}, kNotIdentified}},
    {"FourthThursday10GHz", "20070628;20070628", "10 GHz", 2007, 5, TContestKind::Mikro, {kBestDx}},
    {"FourthThursday2300", "20070628;20070628", "2.3 GHz", 2007, 2, TContestKind::Mikro, {kBestDx}},
    {"FourthThursday248GHz", "20070628;20070628", "248GHz", 2007, 10, TContestKind::Mikro, {kBestDx}},
    {"FourthThursday1300", "20070628;20070628", "1.3 GHz", 2007, 1, TContestKind::None, {kNoContest, kNotIdentified}},
    {"FifthTuesday144", "20070529;20070529", "144 MHz", 2007, 1, TContestKind::None, {kNoContest, kNotIdentified}},
    {"Wednesday144", "20070606;20070606", "144 MHz", 2007, 1, TContestKind::None, {kNoContest, kNotIdentified}},
    {"KvartalstestMarch", "20100307;20100307", "144 MHz", 2010, 1, TContestKind::Kvartalstest, {kBestDx}},
    {"KvartalstestOn432",
     "20100307;20100307",
     "432 MHz",
     2010,
     1,
     TContestKind::Kvartalstest,
     {{txt::kBandNotForDay, -1, 2}, kBestDx}},
    {"KvartalstestOctober", "20101003;20101003", "144 MHz", 2010, 1, TContestKind::Kvartalstest, {kBestDx}},
    {"SecondSundayOfMarch", "20090308;20090308", "144 MHz", 2009, 1, TContestKind::None, {kNoContest, kNotIdentified}},
    {"FirstSundayOfApril", "20100404;20100404", "144 MHz", 2010, 1, TContestKind::None, {kNoContest, kNotIdentified}},
    {"ThirtiethOfFebruary",
     "20070230;20070230",
     "144 MHz",
     2007,
     1,
     TContestKind::None,
     {{txt::kDateNotNumeric, -1, 2}, kNotIdentified}},
    {"ThirtiethOfFebruaryBadBand",
     "20070230;20070230",
     "2m",
     2007,
     1,
     TContestKind::None,
     {{txt::kDateNotNumeric, -1, 2}, {txt::kBandNotInPlan, -1, 2}, kNotIdentified}},
    {"LastYear", "20060606;20060606", "144 MHz", 2007, 1, TContestKind::VHF, {{txt::kWrongYear, -1, 2}, kBestDx}},
    {"LastYearNoContest",
     "20060605;20060605",
     "144 MHz",
     2007,
     1,
     TContestKind::None,
     {{txt::kWrongYear, -1, 2}, kNoContest, kNotIdentified}},
    {"YearZero",
     "00000605;00000605",
     "144 MHz",
     2007,
     1,
     TContestKind::None,
     {{txt::kWrongYear, -1, 2}, {txt::kDateNotNumeric, -1, 2}, kNotIdentified}},
    {"SeveralDays", "20070605;20070606", "144 MHz", 2007, 1, TContestKind::VHF, {{txt::kSeveralDays, -1, 2}, kBestDx}},
    {"SeveralDaysFirstDecides",
     "20070606;20070605",
     "144 MHz",
     2007,
     1,
     TContestKind::None,
     {{txt::kSeveralDays, -1, 2}, kNoContest, kNotIdentified}},
};

INSTANTIATE_TEST_SUITE_P(Dates, IdentificationTest, ::testing::ValuesIn(kIdentificationCases),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(Identification, UnidentifiedLogCountsNoQso) {
  EdiBuilder b = WorkedExample();
  b.Set("PBand", "432 MHz");
  const auto log = CheckText(b.Text());
  EXPECT_EQ(TContestKind::None, log->Checker->Kind());
  EXPECT_EQ(3, log->Checker->MaxSeverity());
  for (const TQSORecord& q : log->Edi->QSOs) EXPECT_FALSE(q.Valid) << q.Call.View();
  EXPECT_EQ(0, log->Checker->GetScore());
  EXPECT_EQ(0, log->Checker->ValidQsoCount());
}

TEST(Identification, UnidentifiedLogWithEmptyOwnLocatorListsTheLocatorMessagesFirst) {
  EdiBuilder b;
  b.Set("PBand", "432 MHz").Set("PWWLo", "");
  const auto log = CheckText(b.Text());
  const std::vector<Message> expected{
      kNoContest, {txt::kNoOwnLocator, -1, 3}, {txt::kNotFromSweden, -1, 2}, kNotIdentified};
  EXPECT_EQ(expected, log->Messages());
}

TEST(RepeatedMessages, SecondMarkedThirdSilent) {
  TNacChecker checker;
  int counter = 0;
  for (int32_t qso = 1; qso <= 4; ++qso) checker.AddRepeatedQsoMessage("Text", counter, 2, qso);
  checker.AddRepeatedQsoMessage("Annan", counter, 3, 5);
  const std::vector<Message> expected{{"Text", 1, 2}, {"Text (upprepas)", 2, 2}};
  EXPECT_EQ(expected, MessagesOf(checker));
  EXPECT_EQ(5, counter);
  EXPECT_EQ(2, checker.MaxSeverity());
}

TEST(Messages, MaxSeverityIsTheHighest) {
  TNacChecker checker;
  EXPECT_EQ(0, checker.MaxSeverity());
  checker.AddMessage("a", 1);
  checker.AddQsoMessage("b", 7, 3);
  checker.AddMessage("c", 2);
  EXPECT_EQ(3, checker.MaxSeverity());
  const std::vector<Message> expected{{"a", -1, 1}, {"b", 7, 3}, {"c", -1, 2}};
  EXPECT_EQ(expected, MessagesOf(checker));
}

}  // namespace
}  // namespace loggrevy::test
