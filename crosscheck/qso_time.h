#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

class TReg1Test;

// How many records ahead the walks over every record of a group fetch: the
// records of a large batch are no longer in the cache.
constexpr std::size_t kRecordsAhead = 32;

// The minutes of every record of a log as QsoMinutes gives them, with
// kUnknownMinutes where they are not known.
constexpr int32_t kUnknownMinutes = std::numeric_limits<int32_t>::min();
std::vector<int32_t> RecordMinutes(const TReg1Test& edi);

// The day of eight digits YYYYMMDD forming a real date (the start of TDATE).
std::optional<TDayNumber> HeaderDay(std::string_view yyyymmdd);

// "YYYYMMDD" of a day.
std::string DayText(TDayNumber day);

}  // namespace loggrevy
