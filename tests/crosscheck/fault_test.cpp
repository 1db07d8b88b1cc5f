#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "crosscheck_batch.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

using test::TBatch;
using test::TStation;

// A batch of logs, the verdict codes each log gets (space-separated, in
// record order) and, where given, what each log's partners lose with it
// ("lost/records", space-separated).
struct TFaultCase {
  const char* Name;
  std::vector<TStation> Stations;
  std::vector<std::string> Codes;
  std::string Lost = {};
};

void PrintTo(const TFaultCase& c, std::ostream* out) { *out << c.Name; }

std::string Codes(const TCrossCheck& check, std::size_t log) {
  std::string text;
  for (const TQsoVerdict& v : check.Log(log).Qsos) {
    if (!text.empty()) text += ' ';
    text += VerdictCode(v.Verdict);
  }
  return text;
}

class WhoIsAtFault : public testing::TestWithParam<TFaultCase> {};

TEST_P(WhoIsAtFault, OnlyTheSideAtFaultLosesTheQso) {
  const TFaultCase& c = GetParam();
  const TBatch batch(c.Stations);
  for (std::size_t log = 0; log < c.Codes.size(); ++log) {
    EXPECT_EQ(Codes(*batch.Check, log), c.Codes[log]) << "log " << log << ": " << Cp1252ToUtf8(batch.Verdicts(log));
  }
  std::string lost;
  for (std::size_t log = 0; log < batch.Check->LogCount(); ++log) {
    const TLogCrossCheck& result = batch.Check->Log(log);
    if (!lost.empty()) lost += ' ';
    lost += std::to_string(result.PartnerRecordsLost()) + "/" + std::to_string(result.PartnerRecords);
  }
  if (!c.Lost.empty()) {
    EXPECT_EQ(lost, c.Lost);
  }
}

// X logs the stations A, B and C at the given times; each of them logs X at
// 1800, 1820 and 1840.
std::vector<TStation> ThreePartners(const char* a, const char* b, const char* c) {
  return {{"SM5ABC",
           "JO66SD",
           {std::string(a) + " SM6AAA JO57AA", std::string(b) + " SM6BBB JO57AA", std::string(c) + " SM6CCC JO57AA"}},
          {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
          {"SM6BBB", "JO57AA", {"1820 SM5ABC JO66SD"}},
          {"SM6CCC", "JO57AA", {"1840 SM5ABC JO66SD"}}};
}

// X logs A at 1800, B at b, C at c and D at 1820; C logs X at 1900 between
// two confirmed QSOs at 1855 and 1905.
std::vector<TStation> InTheMiddle(const char* b, const char* c) {
  return {{"SM5ABC",
           "JO66SD",
           {"1800 SM6AAA JO57AA", std::string(b) + " SM6BBB JO57AA", std::string(c) + " SM6CCC JO57AA",
            "1820 SM6DDD JO57AA"}},
          {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
          {"SM6BBB", "JO57AA", {std::string(b) + " SM5ABC JO66SD"}},
          {"SM6CCC", "JO57AA", {"1855 SM7EEE JO77AA", "1900 SM5ABC JO66SD", "1905 SM7FFF JO77AA"}},
          {"SM6DDD", "JO57AA", {"1820 SM5ABC JO66SD"}},
          {"SM7EEE", "JO77AA", {"1855 SM6CCC JO57AA"}},
          {"SM7FFF", "JO77AA", {"1905 SM6CCC JO57AA"}}};
}

const std::string kConfirmedFour = "confirmed confirmed confirmed confirmed";

INSTANTIATE_TEST_SUITE_P(
    Cases, WhoIsAtFault,
    testing::Values(
        // The clock: an offset beyond the tolerance that explains the difference.
        TFaultCase{"ClockOffsetBeyondTolerance",
                   ThreePartners("1811", "1831", "1851"),
                   {"time-mismatch time-mismatch time-mismatch", "confirmed-partner-time", "confirmed-partner-time",
                    "confirmed-partner-time"},
                   "0/3 1/1 1/1 1/1"},
        TFaultCase{"ClockOffsetAtTolerance",
                   ThreePartners("1810", "1830", "1905"),
                   {"confirmed confirmed time-mismatch", "confirmed", "confirmed", "time-mismatch"},
                   "1/3 0/1 0/1 1/1"},
        TFaultCase{"DifferenceFromTheOffsetAtAndBeyondTolerance",
                   {{"SM5ABC",
                     "JO66SD",
                     {"1820 SM6AAA JO57AA", "1840 SM6BBB JO57AA", "1900 SM6CCC JO57AA", "1921 SM6DDD JO57AA"}},
                    {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
                    {"SM6BBB", "JO57AA", {"1820 SM5ABC JO66SD"}},
                    {"SM6CCC", "JO57AA", {"1830 SM5ABC JO66SD"}},
                    {"SM6DDD", "JO57AA", {"1850 SM5ABC JO66SD"}}},
                   {"time-mismatch time-mismatch time-mismatch time-mismatch", "confirmed-partner-time",
                    "confirmed-partner-time", "confirmed-partner-time", "time-mismatch"}},
        TFaultCase{"AllAnHourOff",
                   ThreePartners("1900", "1920", "1940"),
                   {"time-mismatch time-mismatch time-mismatch", "confirmed-partner-time", "confirmed-partner-time",
                    "confirmed-partner-time"}},
        TFaultCase{"TwoClocksWrongTheOtherWay",
                   {{"SM5ABC",
                     "JO66SD",
                     {"1900 SM6AAA JO57AA", "1920 SM6BBB JO57AA", "1940 SM6CCC JO57AA", "1950 SM7XYZ JO77AA"}},
                    {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
                    {"SM6BBB", "JO57AA", {"1820 SM5ABC JO66SD"}},
                    {"SM6CCC", "JO57AA", {"1840 SM5ABC JO66SD"}},
                    {"SM7XYZ",
                     "JO77AA",
                     {"1700 SM7AAA JO77BB", "1720 SM7BBB JO77BB", "1740 SM7CCC JO77BB", "1850 SM5ABC JO66SD"}},
                    {"SM7AAA", "JO77BB", {"1800 SM7XYZ JO77AA"}},
                    {"SM7BBB", "JO77BB", {"1820 SM7XYZ JO77AA"}},
                    {"SM7CCC", "JO77BB", {"1840 SM7XYZ JO77AA"}}},
                   {"time-mismatch time-mismatch time-mismatch time-mismatch", "confirmed-partner-time",
                    "confirmed-partner-time", "confirmed-partner-time",
                    "time-mismatch time-mismatch time-mismatch time-mismatch", "confirmed-partner-time",
                    "confirmed-partner-time", "confirmed-partner-time"}},
        // The place in the log: lo - T and hi + T still fit.
        TFaultCase{"AtTheLowerBoundFits",
                   InTheMiddle("1810", "1800"),
                   {"confirmed confirmed time-mismatch confirmed", "confirmed", "confirmed",
                    "confirmed time-mismatch confirmed"}},
        TFaultCase{"BeforeTheLowerBound",
                   InTheMiddle("1810", "1759"),
                   {"confirmed confirmed time-mismatch confirmed", "confirmed", "confirmed",
                    "confirmed confirmed-partner-time confirmed"},
                   "0/4 0/1 0/1 1/3 0/1 0/1 0/1"},
        TFaultCase{"AtTheUpperBoundFits",
                   InTheMiddle("1810", "1830"),
                   {"confirmed confirmed time-mismatch confirmed", "confirmed", "confirmed",
                    "confirmed time-mismatch confirmed"}},
        TFaultCase{"AfterTheUpperBound",
                   InTheMiddle("1810", "1831"),
                   {"confirmed confirmed time-mismatch confirmed", "confirmed", "confirmed",
                    "confirmed confirmed-partner-time confirmed"}},
        TFaultCase{"ALogOutOfTimeOrderDecidesNothing",
                   InTheMiddle("1700", "1831"),
                   {"confirmed confirmed time-mismatch confirmed", "confirmed", "confirmed",
                    "confirmed time-mismatch confirmed"}},
        TFaultCase{"ALogSortedByCallDecidesNothing",
                   {{"SM5ABC", "JO66SD", {"1840 SM6AAA JO57AA", "1800 SM6BBB JO57AA", "1700 SM6CCC JO57AA"}},
                    {"SM6AAA", "JO57AA", {"1840 SM5ABC JO66SD"}},
                    {"SM6BBB", "JO57AA", {"1800 SM5ABC JO66SD"}},
                    {"SM6CCC", "JO57AA", {"1820 SM5ABC JO66SD"}}},
                   {"confirmed confirmed time-mismatch", "confirmed", "confirmed", "time-mismatch"}},
        TFaultCase{"EveryTimeUnknown",
                   {{"SM5ABC", "JO66SD", {"2460 SM6AAA JO57AA", "1899 SM6BBB JO57AA"}},
                    {"SM6AAA", "JO57AA", {"1800 SM5ABC JO66SD"}},
                    {"SM6BBB", "JO57AA", {"1810 SM5ABC JO66SD"}}},
                   {"unverifiable unverifiable", "not-in-log", "not-in-log"},
                   "2/2 0/1 0/1"},
        // A busted call found by serial numbers agreeing both ways.
        TFaultCase{"SerialsAgreeBothWays",
                   {{"SM5ABC", "JO66SD", {"1800 OK9A5M JN75AA 5 7"}}, {"9A5M", "JN75AA", {"1801 SM5ABC JO66SD 7 5"}}},
                   {"busted-call", "confirmed-partner-busted"},
                   "0/1 0/0"},
        TFaultCase{"SerialsAgreeOneWayOnly",
                   {{"SM5ABC", "JO66SD", {"1800 OK9A5M JN75AA 5 7"}}, {"9A5M", "JN75AA", {"1801 SM5ABC JO66SD 7 6"}}},
                   {"unique", "not-in-log"}},
        TFaultCase{"SerialZeroAgainstAboveZero",
                   {{"SM5ABC", "JO66SD", {"1800 OK9A5M JN75AA 0 7"}}, {"9A5M", "JN75AA", {"1801 SM5ABC JO66SD 7 0"}}},
                   {"unique", "not-in-log"}},
        TFaultCase{
            "NegativeSerials",
            {{"SM5ABC", "JO66SD", {"1800 OK9A5M JN75AA -1 -1"}}, {"9A5M", "JN75AA", {"1801 SM5ABC JO66SD -1 -1"}}},
            {"unique", "not-in-log"}},
        TFaultCase{"SerialsBeyondTolerance",
                   {{"SM5ABC", "JO66SD", {"1800 OK9A5M JN75AA 5 7"}}, {"9A5M", "JN75AA", {"1811 SM5ABC JO66SD 7 5"}}},
                   {"unique", "not-in-log"}},
        // A call one character from one that others logged at the same place.
        TFaultCase{"ProbableBustedCallTwoOthers",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYY JO57AA"}},
                    {"SM7AAA", "JO77AA", {"1800 SM6XYZ JO57AA"}},
                    {"SM7BBB", "JO77AA", {"1805 SM6XYZ JO57AA"}}},
                   {"probable-busted-call", "no-log", "no-log"},
                   "0/0 0/0 0/0"},
        TFaultCase{"OneOtherIsUnique",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYY JO57AA"}}, {"SM7AAA", "JO77AA", {"1800 SM6XYZ JO57AA"}}},
                   {"unique", "unique"}},
        TFaultCase{"AnotherPlaceDoesNotCount",
                   {{"SM5ABC", "JO66SD", {"1800 SM6XYY JO57AA"}},
                    {"SM7AAA", "JO77AA", {"1800 SM6XYZ JO57AA"}},
                    {"SM7BBB", "JO77AA", {"1805 SM6XYZ JO57AB"}}},
                   {"unique", "no-log", "no-log"}},
        TFaultCase{"CallsOfOneOrTwoCharacters",
                   {{"SM5ABC", "JO66SD", {"1800 AB JO57AA", "1801 A JO57AA"}},
                    {"SM7AAA", "JO77AA", {"1800 ABC JO57AA", "1801 AC JO57AA"}},
                    {"SM7BBB", "JO77AA", {"1805 ABC JO57AA", "1806 AC JO57AA"}}},
                   {"unique unique", "no-log no-log", "no-log no-log"}}),
    [](const testing::TestParamInfo<TFaultCase>& param) { return std::string(param.param.Name); });

// The texts of the new verdicts, and the tie-break of a probable busted
// call: the most stations, then the least call.
TEST(NewVerdicts, TellWhatWasFound) {
  const TBatch time(ThreePartners("1811", "1831", "1851"));
  EXPECT_EQ(Cp1252ToUtf8(time.Verdicts(1)),
            "confirmed-partner-time Bekräftad, motstationens tid avviker 11 min @0/1 -11");

  const TBatch serials(std::vector<TStation>{{"SM5ABC", "JO66SD", {"1800 OK9A5M JN75AA 5 7"}},
                                             {"9A5M", "JN75AA", {"1801 SM5ABC JO66SD 7 5"}}});
  EXPECT_EQ(Cp1252ToUtf8(serials.Verdicts(0)), "busted-call Fel signal, rätt signal 9A5M @1/1 -1");
  EXPECT_EQ(Cp1252ToUtf8(serials.Verdicts(1)),
            "confirmed-partner-busted Bekräftad, motstationen loggade OK9A5M @0/1 1");

  std::vector<TStation> stations{{"SM5ABC", "JO66SD", {"1800 SM6XYY JO57AA"}},
                                 {"SM7AAA", "JO77AA", {"1800 SM6XYZ JO57AA"}},
                                 {"SM7BBB", "JO77AA", {"1800 SM6XYZ JO57AA"}},
                                 {"SM7CCC", "JO77AA", {"1800 SM6XYA JO57AA"}},
                                 {"SM7DDD", "JO77AA", {"1800 SM6XYA JO57AA"}}};
  EXPECT_EQ(Cp1252ToUtf8(TBatch(stations).Verdicts(0)),
            "probable-busted-call Trolig fel signal, troligen SM6XYA, loggad på samma lokator av 2 andra");
  stations.push_back({"SM7EEE", "JO77AA", {"1800 SM6XYZ JO57AA"}});
  EXPECT_EQ(Cp1252ToUtf8(TBatch(stations).Verdicts(0)),
            "probable-busted-call Trolig fel signal, troligen SM6XYZ, loggad på samma lokator av 3 andra");
}

// The check report lists what a station's partners lost with it.
TEST(NewVerdicts, TheCheckReportListsWhatPartnersLose) {
  const TBatch batch(ThreePartners("1811", "1831", "1851"));
  const auto part = [&](std::size_t log) {
    std::ostringstream out;
    WriteCheckReport(out, *batch.Check, log);
    const std::string text = out.str();
    return text.substr(text.find("QSO som motstationerna"));
  };
  EXPECT_EQ(part(0), "QSO som motstationerna förlorar med dig:\n  0 av 3 QSO (0 %)\n");
  EXPECT_EQ(part(2),
            "QSO som motstationerna förlorar med dig:\n  1 av 1 QSO (100 %)\n"
            "  SM5ABC QSO 2 1831: Tidsfel, 11 min från motstationens logg\n");
}

}  // namespace
}  // namespace loggrevy
