#include <gtest/gtest.h>

#include <string>

#include "crosscheck/call_table.h"
#include "crosscheck/keys.h"
#include "crosscheck/qso_time.h"

namespace loggrevy {
namespace {

TEST(BandKey, NamesTheBandOfTheFrequencyOrKeepsTheText) {
  const std::pair<const char*, const char*> cases[] = {
      {"144 MHz", "144MHZ"}, {"145", "144MHZ"},     {"144Mhz", "144MHZ"},  {"145.000", "144MHZ"}, {"1.3 GHz", "1,3GHZ"},
      {"1,2 GHz", "1,3GHZ"}, {"1296 MH", "1,3GHZ"}, {"10", "10GHZ"},       {"10 G", "10GHZ"},     {"10368", "10GHZ"},
      {"47", "47GHZ"},       {"144", "144MHZ"},     {"144 GHz", "144GHZ"}, {"29,7", "28MHZ"},     {"29,71", "29,71"},
      {"28500K", "28MHZ"},   {"432", "432MHZ"},     {"2.3G", "2,3GHZ"},    {"3cm", "3CM"},        {"", ""},
      {"144,", "144,"},      {",5", ",5"},          {"76", "76GHZ"},       {"9 MHz", "9MHZ"},
  };
  for (const auto& [band, key] : cases) EXPECT_EQ(BandKey(band), key) << band;
}

TEST(StationKey, TrimsUpperCasesAndTakesTheBaseCall) {
  EXPECT_EQ(StationKey(" sm5abc/p\t"), "SM5ABC");
  EXPECT_EQ(StationKey("OH0/SM5ABC"), "SM5ABC");
  EXPECT_EQ(StationKey(std::string_view("\0SM5ABC ", 8)), "SM5ABC");
  EXPECT_EQ(StationKey("  "), "");
}

TEST(Similar, IsOneEditOrOneSwapBetweenCallsOfThreeOrMore) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"SM5ABC", "SM5ABD", true},  {"SM5ABC", "SM5AB", true},   {"SM5AB", "SM5ABC", true},
      {"SM5ABC", "SM5BAC", true},  {"SM5ABC", "XSM5ABC", true}, {"SM5ABC", "SM5ABC", false},
      {"SM5ABC", "SM5BCA", false}, {"SM5ABC", "SM6ABD", false}, {"AB", "ABC", false},
      {"ABC", "ABD", true},        {"ABC", "BAC", true},        {"ABCD", "ACBD", true},
  };
  for (const auto& [a, b, similar] : cases) EXPECT_EQ(Similar(a, b), similar) << a << " " << b;
}

TEST(QsoTime, IsKnownOnlyForRealDatesAndFourDigitTimes) {
  EXPECT_EQ(QsoMinutes("500101", "0000"), 0);
  EXPECT_EQ(QsoMinutes("500102", "0101"), 1440 + 61);
  EXPECT_EQ(QsoMinutes("000101", "0000"), int64_t{18262} * 1440);
  for (const auto& [date, time] : {std::pair{"070230", "1800"},
                                   {"07065", "1800"},
                                   {"070605", "2400"},
                                   {"070605", "1860"},
                                   {"070605", "180"},
                                   {"0706O5", "1800"}}) {
    EXPECT_FALSE(QsoMinutes(date, time)) << date << " " << time;
  }
  EXPECT_EQ(DayText(*QsoDay("070605")), "20070605");
  EXPECT_FALSE(HeaderDay("00000101"));
}

// A call's key reads the whole buffer of the text: what an earlier, longer
// text left there must not count, and the length must.
TEST(CallKey, IsTheTextAndItsLengthAlone) {
  for (const std::string_view call : {"", "SM5A", "SM5ABCDE", "SM5ABCDEF", "SM5ABCDEFGHIJK"}) {
    TShortText<14> reused("OH1ZZZZZZZZZZZ");
    reused = call;
    EXPECT_EQ(TCallKey::Of(reused), TCallKey::Of(TShortText<14>(call))) << call;
    if (call.size() < 14) {
      EXPECT_FALSE(TCallKey::Of(TShortText<14>(std::string(call) + "0")) == TCallKey::Of(TShortText<14>(call)));
    }
  }
  TCallTable<int> table;
  table.FindOrAdd(TCallKey::Of(TShortText<14>("SM5ABC")), [] { return 1; });
  EXPECT_EQ(table.FindOrAdd(TCallKey::Of(TShortText<14>("SM5ABC")), [] { return 2; }), 1);
  EXPECT_EQ(table.Find(TCallKey::Of(TShortText<14>("SM5AB"))), nullptr);
  // Room made later keeps what is there, and the table still grows past it.
  table.Reserve(100);
  for (int i = 0; i < 300; ++i) table.FindOrAdd(TCallKey::Of("SM" + std::to_string(i)), [i] { return i; });
  EXPECT_EQ(*table.Find(TCallKey::Of(TShortText<14>("SM5ABC"))), 1);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(*table.Find(TCallKey::Of("SM" + std::to_string(i))), i) << i;
}

}  // namespace
}  // namespace loggrevy
