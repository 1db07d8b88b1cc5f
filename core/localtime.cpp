#include "core/localtime.h"

#include <chrono>
#include <cstdio>

namespace loggrevy {

std::optional<int32_t> ParseDigits(std::string_view text) {
  int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsRealDate(int32_t year, int32_t month, int32_t day) {
  if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999) return false;
  const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                        std::chrono::day{static_cast<unsigned>(day)}};
  return ymd.ok();
}

int32_t DayOfWeek(int32_t year, int32_t month, int32_t day) {
  const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                        std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<int32_t>(std::chrono::weekday{std::chrono::sys_days{ymd}}.iso_encoding());
}

std::optional<std::string> LocalTimeOfQSO(std::string_view date, std::string_view time, int32_t utcOffsetMinutes) {
  if (date.size() != 6 || time.size() != 4) return std::nullopt;
  const auto yy = ParseDigits(date.substr(0, 2));
  const auto month = ParseDigits(date.substr(2, 2));
  const auto day = ParseDigits(date.substr(4, 2));
  const auto hour = ParseDigits(time.substr(0, 2));
  const auto minute = ParseDigits(time.substr(2, 2));
  if (!yy || !month || !day || !hour || !minute) return std::nullopt;
  const int32_t year = QsoYear(*yy);
  if (!IsRealDate(year, *month, *day)) return std::nullopt;

  // Only the time of day of the shifted moment matters.
  const int64_t minutes = int64_t{*hour % 24} * 60 + *minute + utcOffsetMinutes;
  const int64_t ofDay = ((minutes % 1440) + 1440) % 1440;
  char text[8];
  std::snprintf(text, sizeof text, "%2.2d%2.2d", static_cast<int>(ofDay / 60), static_cast<int>(ofDay % 60));
  return std::string(text);
}

}  // namespace loggrevy
