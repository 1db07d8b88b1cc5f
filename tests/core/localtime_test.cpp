#include "core/localtime.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace loggrevy {
namespace {

struct TLocalTimeCase {
  const char* Date;
  const char* Time;
  int32_t OffsetMinutes;
  std::optional<std::string> Local;
};

TEST(LocalTime, OfQso) {
  const TLocalTimeCase cases[] = {
      {"240612", "1830", 120, "2030"},  // Central European summer time
      {"240612", "1830", 60, "1930"},   // Central European standard time
      {"240612", "1830", 0, "1830"},   {"240612", "2330", 120, "0130"},
      {"240115", "1830", 120, "2030"},  // the offset in force now, not the one of the QSO's date
      {"240612", "0030", -60, "2330"}, {"240612", "0000", 0, "0000"},
      {"240612", "2359", 1, "0000"},   {"240612", "2530", 0, "0130"},  // hours 24..99 taken modulo 24
      {"240612", "9900", 0, "0300"},   {"240612", "1899", 0, "1939"},  // minutes 60..99 added as they stand
      {"000229", "1200", 0, "1200"},                                   // 2000 is a leap year
      {"960229", "1200", 0, "1200"},   {"991231", "2300", 120, "0100"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LocalTimeOfQSO(c.Date, c.Time, c.OffsetMinutes), c.Local) << c.Date << " " << c.Time;
  }
}

TEST(LocalTime, NoLocalTimeForAnInvalidDateOrTime) {
  const std::pair<const char*, const char*> cases[] = {
      {"24061", "1830"},  {"2406120", "1830"}, {"24x612", "1830"}, {"240230", "1830"}, {"241301", "1830"},
      {"240001", "1830"}, {"240100", "1830"},  {"490229", "1200"}, {"500229", "1200"}, {"", "1830"},
      {"240612", "183"},  {"240612", "18300"}, {"240612", "18:3"}, {"240612", "1a30"}, {"240612", ""},
      {"+40612", "1830"}, {"240612", "-130"},  {"240612", " 830"}, {"24 612", "1830"},
  };
  for (const auto& [date, time] : cases) {
    EXPECT_EQ(LocalTimeOfQSO(date, time, 120), std::nullopt) << date << " " << time;
  }
}

TEST(LocalTime, CalendarHelpers) {
  EXPECT_EQ(IsRealDate(2024, 2, 29), true);
  EXPECT_EQ(IsRealDate(2023, 2, 29), false);
  EXPECT_EQ(IsRealDate(1900, 2, 29), false);
  EXPECT_EQ(IsRealDate(0, 1, 1), false);
  EXPECT_EQ(IsRealDate(2024, 4, 31), false);
  EXPECT_EQ(DayOfWeek(2024, 6, 4), 2);   // a Tuesday
  EXPECT_EQ(DayOfWeek(2024, 3, 3), 7);   // a Sunday
  EXPECT_EQ(DayOfWeek(2024, 6, 13), 4);  // a Thursday
}

}  // namespace
}  // namespace loggrevy
