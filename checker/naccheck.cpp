#include "checker/naccheck.h"

#include <algorithm>

#include "checker/check_texts.h"
#include "core/localtime.h"
#include "edi/numbers.h"

namespace loggrevy {

void TNacChecker::AddMessage(std::string_view text, uint8_t severity) { AddQsoMessage(text, -1, severity); }

void TNacChecker::AddQsoMessage(std::string_view text, int32_t qso, uint8_t severity) {
  Messages_.push_back({std::string(text), qso, severity});
  MaxSeverity_ = std::max(MaxSeverity_, severity);
}

void TNacChecker::AddRepeatedQsoMessage(std::string_view text, int& counter, uint8_t severity, int32_t qso) {
  ++counter;
  if (counter == 1) {
    AddQsoMessage(text, qso, severity);
  } else if (counter == 2) {
    AddQsoMessage(std::string(text) + std::string(msg::kRepeated), qso, severity);
  }
}

void TNacChecker::Check(TReg1Test& log, int32_t expectedYear, int32_t utcOffsetMinutes) {
  Log_ = &log;
  UtcOffsetMinutes_ = utcOffsetMinutes;
  MaxSeverity_ = 0;
  Penalties_.assign(static_cast<std::size_t>(std::max(log.QSOCount, 0)), TQsoPenalty{});

  IdentifyContest(expectedYear);
  CheckBand();
  CheckOwnLocator();
  if (Kind_ != TContestKind::None) {
    CheckClaims();
    EvaluateQsos();
    CheckTotals();
    CheckClub();
    CheckSection();
  } else {
    for (TQSORecord& q : log.QSOs) q.Valid = false;
    AddMessage(msg::kNotIdentified, 3);
  }
}

void TNacChecker::IdentifyContest(int32_t expectedYear) {
  const TReg1Test& log = *Log_;
  if (log.TDateStart != log.TDateEnd) AddMessage(msg::kSeveralDays, 2);

  const std::string_view start = log.TDateStart;
  const auto year = ParseInt32(start.substr(0, 4));
  const auto month = ParseInt32(start.substr(std::min<std::size_t>(4, start.size()), 2));
  const auto day = ParseInt32(start.substr(std::min<std::size_t>(6, start.size()), 2));
  if (!year || !month || !day) {
    AddMessage(msg::kDateNotNumeric, 2);
    return;
  }
  if (*year != expectedYear) AddMessage(msg::kWrongYear, 2);
  if (!IsRealDate(*year, *month, *day)) {
    AddMessage(msg::kDateNotNumeric, 2);
    return;
  }
  Kind_ = TContestKind::None;

  const int32_t weekday = DayOfWeek(*year, *month, *day);
  if (weekday == 2 || weekday == 4) {
    // NAC evenings: Tuesday or Thursday of the band's week of the month.
    const std::string band = NormaliseBand(log.PBand);
    const int32_t week = (*day - 1) / 7 + 1;
    for (const TBandRow& row : BandTable()) {
      if (row.Week == week && row.Band == band) {
        Kind_ = row.Kind;
        break;
      }
    }
  } else if (weekday == 7) {
    // Kvartalstest: first Sunday of March, May, September and October.
    if (*day <= 7 && (*month == 3 || *month == 5 || *month == 9 || *month == 10)) Kind_ = TContestKind::Kvartalstest;
  }
  if (Kind_ == TContestKind::None) AddMessage(msg::kNoContestForDateAndBand, 2);
}

}  // namespace loggrevy
