#include "crosscheck/qso_time.h"

#include <chrono>
#include <cstdio>

#include "core/localtime.h"
#include "edi/reg1test.h"

namespace loggrevy {
namespace {

std::optional<TDayNumber> DayOf(int32_t year, int32_t month, int32_t day) {
  if (!IsRealDate(year, month, day)) return std::nullopt;
  const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                        std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<TDayNumber>(std::chrono::sys_days{ymd}.time_since_epoch().count());
}

// Days from 1 January 1970 back to 1 January 1950.
constexpr int64_t kDaysFrom1950To1970 = 7305;

}  // namespace

std::optional<TDayNumber> QsoDay(std::string_view date) {
  if (date.size() != 6) return std::nullopt;
  const auto yy = ParseDigits(date.substr(0, 2));
  const auto mm = ParseDigits(date.substr(2, 2));
  const auto dd = ParseDigits(date.substr(4, 2));
  if (!yy || !mm || !dd) return std::nullopt;
  return DayOf(QsoYear(*yy), *mm, *dd);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Every record's time goes through here: the four digits are read in place.
std::optional<int64_t> MinutesOf(std::optional<TDayNumber> day, std::string_view time) {
  if (!day || time.size() != 4 || !IsDigit(time[0]) || !IsDigit(time[1]) || !IsDigit(time[2]) || !IsDigit(time[3])) {
    return std::nullopt;
  }
  const int32_t hour = (time[0] - '0') * 10 + (time[1] - '0');
  const int32_t minute = (time[2] - '0') * 10 + (time[3] - '0');
  if (hour > 23 || minute > 59) return std::nullopt;
  return (int64_t{*day} + kDaysFrom1950To1970) * 1440 + hour * 60 + minute;
}

}  // namespace

std::optional<int64_t> QsoMinutes(std::string_view date, std::string_view time) {
  return MinutesOf(QsoDay(date), time);
}

TDayNumber DayOfMinutes(int64_t minutes) { return static_cast<TDayNumber>(minutes / 1440 - kDaysFrom1950To1970); }

std::optional<int64_t> TQsoTimes::Minutes(std::string_view date, std::string_view time) {
  if (!Known_ || date != LastDate_) {
    LastDate_.assign(date);
    LastDay_ = QsoDay(date);
    Known_ = true;
  }
  return MinutesOf(LastDay_, time);
}

std::vector<int32_t> RecordMinutes(const TReg1Test& edi) {
  std::vector<int32_t> minutes;
  minutes.reserve(edi.QSOs.size());
  TQsoTimes times;
  for (std::size_t position = 0; position < edi.QSOs.size(); ++position) {
    if (position + kRecordsAhead < edi.QSOs.size()) __builtin_prefetch(&edi.QSOs[position + kRecordsAhead]);
    const TQSORecord& q = edi.QSOs[position];
    // Minutes since 1950 up to 2049 fit in 32 bits.
    const auto known = times.Minutes(q.Date.View(), q.Time.View());
    minutes.push_back(known ? static_cast<int32_t>(*known) : kUnknownMinutes);
  }
  return minutes;
}

std::optional<TDayNumber> HeaderDay(std::string_view yyyymmdd) {
  if (yyyymmdd.size() != 8) return std::nullopt;
  const auto yyyy = ParseDigits(yyyymmdd.substr(0, 4));
  const auto mm = ParseDigits(yyyymmdd.substr(4, 2));
  const auto dd = ParseDigits(yyyymmdd.substr(6, 2));
  if (!yyyy || !mm || !dd) return std::nullopt;
  return DayOf(*yyyy, *mm, *dd);
}

std::string DayText(TDayNumber day) {
  const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{day}}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                static_cast<unsigned>(ymd.day()));
  return text;
}

}  // namespace loggrevy
