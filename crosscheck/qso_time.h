#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace loggrevy {

// A calendar day as the number of days since 1 January 1970 (negative before).
using TDayNumber = int32_t;

// The day of a QSO record's Date: exactly six digits YYMMDD forming a real
// date, years 50..99 being 1950..1999 and 00..49 2000..2049.
std::optional<TDayNumber> QsoDay(std::string_view date);

// The moment of a QSO record in minutes since 1 January 1950 00:00 UTC, known
// when its Date gives a day and its Time is exactly four digits HHMM with hour
// 00..23 and minute 00..59.
std::optional<int64_t> QsoMinutes(std::string_view date, std::string_view time);

// The day of a moment given by QsoMinutes.
TDayNumber DayOfMinutes(int64_t minutes);

// QsoMinutes for the records of a log one after another: a log's records
// mostly share one date, so the day of the last date is kept.
class TQsoTimes {
 public:
  std::optional<int64_t> Minutes(std::string_view date, std::string_view time);

 private:
  std::string LastDate_;
  std::optional<TDayNumber> LastDay_;
  bool Known_ = false;
};

// The day of eight digits YYYYMMDD forming a real date (the start of TDATE).
std::optional<TDayNumber> HeaderDay(std::string_view yyyymmdd);

// "YYYYMMDD" of a day.
std::string DayText(TDayNumber day);

}  // namespace loggrevy
