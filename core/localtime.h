#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace loggrevy {

// The local time ("HHMM") of a QSO logged with the UTC date YYMMDD and the UTC
// time HHMM, for a computer whose local time is utcOffsetMinutes ahead of UTC
// now (120 for Central European summer time). The offset in force when the
// check runs is used, not the one of the QSO's date. Hours 24..99 are taken
// modulo 24 and minutes 60..99 are added as they stand.
//
// Empty when the date is not six digits forming a real date (years 50..99 are
// 1950..1999, 00..49 are 2000..2049) or the time is not four digits.
std::optional<std::string> LocalTimeOfQSO(std::string_view date, std::string_view time, int32_t utcOffsetMinutes);

// The value of a text of ASCII digits only (0 for an empty one); empty when
// any other character stands in it.
std::optional<int32_t> ParseDigits(std::string_view text);

// The year of the two digits of a QSO date: 50..99 are 1950..1999, 00..49
// are 2000..2049.
constexpr int32_t QsoYear(int32_t yy) { return yy >= 50 ? 1900 + yy : 2000 + yy; }

// True for a real calendar date.
bool IsRealDate(int32_t year, int32_t month, int32_t day);

// Day of the week of a real date, Monday = 1 ... Sunday = 7.
int32_t DayOfWeek(int32_t year, int32_t month, int32_t day);

}  // namespace loggrevy
