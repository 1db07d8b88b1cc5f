#include <algorithm>
#include <cstdlib>
#include <string>

#include "checker/check_texts.h"
#include "checker/naccheck.h"
#include "checker/scoring.h"
#include "core/callsign.h"
#include "core/localtime.h"
#include "core/text.h"

namespace loggrevy {
namespace {

std::string Join(std::string_view a, std::string_view b) {
  std::string text(a);
  text += b;
  return text;
}

std::string SwedishQsoText(std::string_view before, const TQSORecord& q) {
  std::string text(before);
  text += q.Call.View();
  text += " i ";
  text += q.RcvdWWL.View();
  text += ')';
  return text;
}

}  // namespace

void TNacChecker::UpdateBestDx(int32_t km, const TQSORecord& q, int32_t& best) {
  if (km > best) {
    best = km;
    BestDxCalls_ = '\r';
    BestDxCalls_ += q.Call.View();
  } else if (km == best) {
    BestDxCalls_ += '\r';
    BestDxCalls_ += q.Call.View();
  }
}

void TNacChecker::EvaluateQsos() {
  TReg1Test& log = *Log_;
  OwnLocation_ = TLocatorPoint{log.PWWLo.substr(0, 6)};
  // An own locator that is not a locator leaves the position unknown; every
  // distance is then 0.0.
  OwnLocationKnown_ = IsValidLocator(OwnLocation_.Locator);
  LocatorToLatLon(OwnLocation_);
  const TQrbCalculator qrb(OwnLocation_);

  TCallSet workedCalls(log.QSOs.size());
  TSquareSet workedSquares;
  Score_ = 0;
  BestDistance_ = 0.0;
  int32_t best = -1;
  int32_t previousSent = 0;
  int wrongDayCounter = 0;
  int sentCounter = 0;
  int receivedCounter = 0;
  const std::string_view firstDay =
      std::string_view(log.TDateStart).substr(std::min<std::size_t>(2, log.TDateStart.size()), 6);
  const std::string_view lastDay =
      std::string_view(log.TDateEnd).substr(std::min<std::size_t>(2, log.TDateEnd.size()), 6);
  const int32_t count = std::min<int32_t>(log.QSOCount, static_cast<int32_t>(log.QSOs.size()));
  Distances_.assign(static_cast<std::size_t>(std::max(count, 0)), 0.0);

  for (int32_t i = 1; i <= count; ++i) {
    TQSORecord& q = *log.GetQSO(i);
    if (q.Date.View() < firstDay || q.Date.View() > lastDay) {
      AddRepeatedQsoMessage(Join(msg::kWrongDay, q.Call), wrongDayCounter, 2, i);
    }
    if (q.Valid && !IsValidLocator(q.RcvdWWL)) {
      AddQsoMessage(msg::kPartnerLocatorMalformed, i, 2);
      q.Valid = false;
    }
    if (!q.Valid) continue;

    if (!workedCalls.Insert(BaseCall(q.Call))) {
      AddQsoMessage(Join(msg::kUnflaggedDuplicate, q.Call), i, 2);
      q.Valid = false;
      continue;
    }
    workedSquares.Insert(q.RcvdWWL);

    TLocatorPoint partner{std::string(q.RcvdWWL.View())};
    LocatorToLatLon(partner);
    const double distance = OwnLocationKnown_ ? qrb.DistanceTo(partner) : 0.0;
    Distances_[static_cast<std::size_t>(i - 1)] = distance;
    BestDistance_ = std::max(BestDistance_, distance);
    const int32_t km = QRBScoreKm(distance);
    const int64_t points = int64_t{km} * BandMultiplier_;
    if (PointsDeviate(points, q.Points)) AddQsoMessage(Join(msg::kPointsDeviate, q.Call), i, 1);
    Score_ += points;
    UpdateBestDx(km, q, best);

    if (Kind_ == TContestKind::Kvartalstest) {
      // The quarterly test requires serial numbers, rising in the sent ones.
      if (q.RcvdNr == 0) AddRepeatedQsoMessage(Join(msg::kNumberNotReceived, q.Call), receivedCounter, 2, i);
      if (q.SentNr > 0 && q.SentNr <= previousSent) {
        AddRepeatedQsoMessage(Join(msg::kWrongNumberSent, q.Call), sentCounter, 2, i);
      }
      previousSent = q.SentNr;
    } else {
      // The activity evenings use no serial numbers.
      if (q.RcvdNr > 0) AddRepeatedQsoMessage(Join(msg::kNumberReceived, q.Call), receivedCounter, 1, i);
      if (q.SentNr > 0) AddRepeatedQsoMessage(Join(msg::kNumberSent, q.Call), sentCounter, 1, i);
    }

    if (IsSwedishCall(q.Call)) {
      if (!IsSwedishSquare(q.RcvdWWL)) AddQsoMessage(SwedishQsoText(msg::kSwedenOutsideSweden, q), i, 1);
      if (distance > 800.0) AddQsoMessage(SwedishQsoText(msg::kVeryLongSwedishQso, q), i, 1);
    }
  }
  SquareCount_ = workedSquares.Size();
  ValidQsoCount_ = static_cast<int32_t>(workedCalls.Size());
}

void TNacChecker::CheckSection() {
  if (Kind_ != TContestKind::M28) return;
  TReg1Test& log = *Log_;

  // The section as given, without blanks and control characters at its ends.
  std::string_view given = log.PSect;
  while (!given.empty() && static_cast<unsigned char>(given.front()) <= 32) given.remove_prefix(1);
  while (!given.empty() && static_cast<unsigned char>(given.back()) <= 32) given.remove_suffix(1);
  const std::string section = UpperCaseAscii(given);
  if (section != "A" && section != "B" && section != "C" && section != "D") AddMessage(msg::kWrongSectionGiven, 1);

  // The section is the local hour of the first QSO: 19 A, 20 B, 21 C, 22 D.
  std::string hour;
  if (const TQSORecord* first = log.GetQSO(1)) {
    if (const auto local = LocalTimeOfQSO(first->Date, first->Time, UtcOffsetMinutes_)) hour = local->substr(0, 2);
  }
  std::string_view ofHour;
  if (hour == "19") ofHour = "A";
  if (hour == "20") ofHour = "B";
  if (hour == "21") ofHour = "C";
  if (hour == "22") ofHour = "D";
  if (ofHour.empty()) {
    AddMessage(msg::kOutsideContestTime, 3);
    log.PSect = std::string(1, 'X');
  } else if (section != ofHour) {
    std::string text(msg::kWrongSectionForHour);
    text += ofHour;
    text += '"';
    AddMessage(text, 1);
    log.PSect = std::string(ofHour);
  }
}

}  // namespace loggrevy
