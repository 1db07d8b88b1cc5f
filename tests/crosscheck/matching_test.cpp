#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "crosscheck_batch.h"

namespace loggrevy {
namespace {

using test::TBatch;
using test::TStation;

struct TMatchCase {
  const char* Name;
  std::vector<TStation> Stations;
  std::vector<std::string> Expected;  // Verdicts per log, UTF-8
  TCrossCheckOptions Options = {};
};

void PrintTo(const TMatchCase& c, std::ostream* out) { *out << c.Name; }

class Matching : public testing::TestWithParam<TMatchCase> {};

TEST_P(Matching, GivesEachRecordItsVerdictAndEvidence) {
  const TMatchCase& c = GetParam();
  const TBatch batch(c.Stations, c.Options);
  for (std::size_t log = 0; log < c.Expected.size(); ++log) {
    EXPECT_EQ(Cp1252ToUtf8(batch.Verdicts(log)), c.Expected[log]) << "log " << log;
  }
}

const TStation kB{"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD"}};

INSTANTIATE_TEST_SUITE_P(
    Verdicts, Matching,
    testing::Values(
        TMatchCase{"Confirmed",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}}, kB},
                   {"confirmed Bekräftad @1/1 -1", "confirmed Bekräftad @0/1 1"}},
        TMatchCase{"PortableSuffixAndCaseMatch",
                   {{"sm5abc/p", "JO66SD", {"1800 SM6XYZ/P JO57AA"}}, kB},
                   {"confirmed Bekräftad @1/1 -1", "confirmed Bekräftad @0/1 1"}},
        TMatchCase{"BustedLocator",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AB"}}, kB},
                   {"busted-locator Fel lokator, rätt lokator JO57AA @1/1 -1", "confirmed Bekräftad @0/1 1"}},
        TMatchCase{"BustedCall",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYY JO57AA"}}, kB},
                   {"busted-call Fel signal, rätt signal SM6XYZ @1/1 -1",
                    "confirmed-partner-busted Bekräftad, motstationen loggade SM6XYY @0/1 1"}},
        TMatchCase{"TimeMismatchBeyondTolerance",
                   {{"SM5ABC", "JO66SD", {"1750 SM6XYZ JO57AA"}}, kB},
                   {"time-mismatch Tidsfel, 11 min från motstationens logg @1/1 -11",
                    "time-mismatch Tidsfel, 11 min från motstationens logg @0/1 11"}},
        TMatchCase{"ToleranceIsInclusive",
                   {{"SM5ABC", "JO66SD", {"1751 SM6XYZ JO57AA"}}, kB},
                   {"confirmed Bekräftad @1/1 -10", "confirmed Bekräftad @0/1 10"}},
        TMatchCase{"ZeroTolerance",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}}, kB},
                   {"time-mismatch Tidsfel, 1 min från motstationens logg @1/1 -1",
                    "time-mismatch Tidsfel, 1 min från motstationens logg @0/1 1"},
                   {0, false}},
        TMatchCase{"NotInLogNoLogUniqueOwnCallUnverifiable",
                   {{"SM5ABC",
                     "JO66SD",
                     {"1800 SM6XYZ JO57AA", "1805 SM1NOL JO97CJ", "1810 SA6UNQ JO57XQ", "1815 SM5ABC JO66SD",
                      "2460 SM6XYZ JO57AA"}},
                    {"SM6XYZ", "JO57AA", {"1806 SM1NOL JO97CJ"}}},
                   {"not-in-log Finns ej i motstationens logg; no-log Ingen logg från motstationen; unique Unik "
                    "signal, ingen annan har loggat den; own-call QSO med egen signal; unverifiable Kan ej "
                    "kontrolleras, tid eller signal saknas",
                    "no-log Ingen logg från motstationen"}},
        TMatchCase{"SerialsComparedWhenAsked",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA 1 5"}}, {"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD 6 1"}}},
                   {"busted-serial Fel mottaget QSO-nummer, rätt nummer 6 @1/1 -1", "confirmed Bekräftad @0/1 1"},
                   {10, true}},
        TMatchCase{"SerialsNotComparedOnAnEvening",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA 1 5"}}, {"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD 6 1"}}},
                   {"confirmed Bekräftad @1/1 -1", "confirmed Bekräftad @0/1 1"}},
        TMatchCase{"SerialsComparedInTheKvartalstest",
                   {{"SM5ABC", "JO66SD", {"1000 SM6XYZ JO57AA 1 5"}, "20070304"},
                    {"SM6XYZ", "JO57AA", {"1001 SM5ABC JO66SD 6 1"}, "20070304"}},
                   {"busted-serial Fel mottaget QSO-nummer, rätt nummer 6 @1/1 -1", "confirmed Bekräftad @0/1 1"}},
        TMatchCase{"LocatorCheckedBeforeSerials",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AB 1 5"}}, {"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD 6 1"}}},
                   {"busted-locator Fel lokator, rätt lokator JO57AA @1/1 -1", "confirmed Bekräftad @0/1 1"},
                   {10, true}},
        TMatchCase{
            "NearestTimeWins",
            {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}},
             {"SM6XYZ", "JO57AA", {"1756 SM5ABC JO66SD", "1803 SM5ABC JO66SD"}}},
            {"confirmed Bekräftad @1/2 -3", "not-in-log Finns ej i motstationens logg; confirmed Bekräftad @0/1 3"}},
        TMatchCase{
            "EqualTimesGoToTheFirstInOrder",
            {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}},
             {"SM6XYZ", "JO57AA", {"1803 SM5ABC JO66SD", "1757 SM5ABC JO66SD"}}},
            {"confirmed Bekräftad @1/1 -3", "confirmed Bekräftad @0/1 3; not-in-log Finns ej i motstationens logg"}},
        TMatchCase{
            "RecordsArePairedInOrder",
            {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA", "1802 SM6XYZ JO57AA"}},
             {"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD"}}},
            {"confirmed Bekräftad @1/1 -1; not-in-log Finns ej i motstationens logg", "confirmed Bekräftad @0/1 1"}},
        TMatchCase{"BustedCallTakesTheNearestSimilarStation",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYY JO57AA"}},
                    {"SM6XYZ", "JO57AA", {"1805 SM5ABC JO66SD"}},
                    {"SM6XYX", "JO57AA", {"1802 SM5ABC JO66SD"}}},
                   {"busted-call Fel signal, rätt signal SM6XYX @2/1 -2", "not-in-log Finns ej i motstationens logg",
                    "confirmed-partner-busted Bekräftad, motstationen loggade SM6XYY @0/1 2"}},
        TMatchCase{
            "DirectBeforeBustedCall",
            {{"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}},
             {"SM6XYZ", "JO57AA", {"1800 SM5ABC JO66SD"}},
             {"SM5ABD", "JO66SD", {"1900 SM6XYZ JO57AA"}}},
            {"confirmed Bekräftad @1/1 0", "confirmed Bekräftad @0/1 0", "not-in-log Finns ej i motstationens logg"}}),
    [](const testing::TestParamInfo<TMatchCase>& param) { return std::string(param.param.Name); });

// The unreadable log of the partner, filed by the date of its header.
TEST(MatchingUnreadable, AnUnreadableLogOnlyTellsThatItsStationSentOne) {
  const std::string cutOff = "[REG1TEST;1]\r\nTName=NAC\r\nTDate=20070605;20070605\r\nPCall=SM7XUL\r\nPBand=144\r\n";
  const TBatch batch({test::EdiOf({"SM5ABC", "JO66SD", {"1800 SM7XUL JO65MO"}}), cutOff});
  ASSERT_EQ(batch.Logs[1]->GetEdiStatus(), 3);
  EXPECT_EQ(Cp1252ToUtf8(batch.Verdicts(0)), "partner-unreadable Motstationens logg kunde inte läsas");
  EXPECT_EQ(batch.Check->Groups().Groups.at(0).Unreadable, std::vector<int32_t>{1});
  EXPECT_EQ(batch.Check->BatchLog(1).Role, TBatchRole::Unreadable);
}

TEST(Groups, SplitByBandAndByDaysMoreThanOneApart) {
  std::vector<TStation> stations = {
      {"SM5AAA", "JO66SD", {"1800 SM6BBB JO57AA"}, "20070605"},
      {"SM6BBB", "JO57AA", {"1800 SM5AAA JO66SD"}, "20070606", "145"},  // the next day: the same group
      {"SM5CCC", "JO66SD", {"1800 SM6BBB JO57AA"}, "20070612", "432 MHz"},
      {"SM5DDD", "JO66SD", {"1800 SM6BBB JO57AA"}, "20070703"},  // a month later
  };
  const TBatch batch(stations);
  const auto& groups = batch.Check->Groups().Groups;
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(DayText(*groups[0].Date), "20070605");
  EXPECT_EQ(groups[0].Band, "144MHZ");
  EXPECT_EQ(groups[0].Logs, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(groups[1].Band, "432MHZ");
  EXPECT_EQ(groups[2].Logs, std::vector<int32_t>{3});
  EXPECT_EQ(Cp1252ToUtf8(batch.Verdicts(0)), "time-mismatch Tidsfel, 1440 min från motstationens logg @1/1 -1440");
}

TEST(Groups, TheQsosDecideTheDayNotTheHeader) {
  TStation late{"SM6BBB", "JO57AA", {"1801 SM5AAA JO66SD"}, "20070605"};
  std::string text = test::EdiOf(late);
  text.replace(text.find("TDate=20070605;20070605"), 23, "TDate=20080101;20080101");
  const TBatch batch({test::EdiOf({"SM5AAA", "JO66SD", {"1800 SM6BBB JO57AA"}}), text});
  EXPECT_EQ(Cp1252ToUtf8(batch.Verdicts(0)), "confirmed Bekräftad @1/1 -1");
}

TEST(Versions, TheLastLogOfAStationReplacesTheEarlierOnes) {
  const TBatch batch(std::vector<TStation>{
      {"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}},
      kB,
      {"SM5ABC", "JO66SD", {"1801 SM6XYZ JO57AA"}},
  });
  EXPECT_EQ(batch.Check->BatchLog(0).Role, TBatchRole::Replaced);
  EXPECT_EQ(batch.Check->BatchLog(0).ReplacedBy, 2);
  EXPECT_TRUE(batch.Check->Log(0).Qsos.empty());
  EXPECT_FALSE(batch.Check->Log(0).After);
  EXPECT_EQ(Cp1252ToUtf8(batch.Verdicts(1)), "confirmed Bekräftad @2/1 0");
}

TEST(Versions, SectionsOf28MHzAreLogsOfTheirOwn) {
  // Tuesday 5 June 2007 is also the 28 MHz evening; at UTC+1, 18 UTC is section A and 19 UTC section B.
  const TBatch batch(std::vector<TStation>{
      {"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA"}, "20070605", "28 MHz", "A"},
      {"SM5ABC", "JO66SD", {"1900 SM6XYZ JO57AA"}, "20070605", "28 MHz", "B"},
      {"SM6XYZ", "JO57AA", {"1800 SM5ABC JO66SD", "1900 SM5ABC JO66SD"}, "20070605", "28 MHz", "A"},
  });
  EXPECT_EQ(batch.Check->BatchLog(0).Role, TBatchRole::Active);
  EXPECT_EQ(batch.Check->BatchLog(1).Role, TBatchRole::Active);
  EXPECT_EQ(Cp1252ToUtf8(batch.Verdicts(2)), "confirmed Bekräftad @0/1 0; confirmed Bekräftad @1/1 0");
}

TEST(Clock, IsTheLowerMedianOfThePairsFromThreeOn) {
  const TStation fast{"SM5ABC", "JO66SD", {"1900 SM6AAA JO57AA", "1930 SM6BBB JO57AA", "1905 SM6CCC JO57AA"}};
  std::vector<TStation> stations = {fast,
                                    {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
                                    {"SM6BBB", "JO57AA", {"1832 SM5ABC JO66SD"}},
                                    {"SM6CCC", "JO57AA", {"1904 SM5ABC JO66SD"}}};
  const TBatch three(stations);
  EXPECT_EQ(three.Check->Log(0).ClockPairs, 3);
  EXPECT_EQ(three.Check->Log(0).ClockOffsetMinutes, 58);
  stations.pop_back();
  stations[0].Qsos.pop_back();
  const TBatch two(stations);
  EXPECT_EQ(two.Check->Log(0).ClockPairs, 2);
  EXPECT_FALSE(two.Check->Log(0).ClockOffsetMinutes);
}

}  // namespace
}  // namespace loggrevy
