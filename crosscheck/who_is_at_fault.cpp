#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

// The clock offset of a log from the pairs of the direct and the time
// pass, and in one walk whether its confirmed records are in time order
// and whether each record of a time pair fits between its confirmed
// neighbours (in Fits_). Reads only the log's own verdicts of the passes.
void TGroupMatcher::ClockAndPlaces(std::size_t local) {
  const TLogInfo& own = LogInfo_[local];
  TLogCrossCheck& result = Results_[static_cast<std::size_t>(own.Log)];
  const int64_t tolerance = Options_.TimeToleranceMinutes;
  std::vector<int32_t> deltas;
  std::vector<uint32_t> waiting;  // time pairs since the last confirmed record
  std::optional<int64_t> last;    // the time of the last confirmed record
  bool inOrder = true;
  for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
    const TQsoVerdict& v = result.Qsos[position];
    const uint32_t record = own.First + static_cast<uint32_t>(position);
    if (Open_[record]) continue;
    const int64_t minutes = MinutesAt(local, static_cast<uint32_t>(position));
    switch (v.Verdict) {
      case TVerdict::Confirmed:
      case TVerdict::ConfirmedPartnerBusted:
      case TVerdict::BustedCall:
        if (v.Verdict == TVerdict::Confirmed) deltas.push_back(v.DeltaMinutes);
        if (last && minutes < *last - tolerance) inOrder = false;
        for (const uint32_t time : waiting) Fits_[time] = MinutesAt(local, time - own.First) <= minutes + tolerance;
        waiting.clear();
        last = minutes;
        break;
      case TVerdict::TimeMismatch:
        deltas.push_back(v.DeltaMinutes);
        if (!last || minutes >= *last - tolerance) {
          Fits_[record] = 1;
          waiting.push_back(record);
        }
        break;
      default: break;
    }
  }
  InOrder_[local] = inOrder ? 1 : 0;
  if (deltas.empty()) return;
  result.ClockPairs = static_cast<int32_t>(deltas.size());
  if (deltas.size() < 3) return;
  const auto middle = deltas.begin() + static_cast<std::ptrdiff_t>((deltas.size() - 1) / 2);
  std::nth_element(deltas.begin(), middle, deltas.end());
  result.ClockOffsetMinutes = *middle;
}

// Whether a log's clock, off by more than the tolerance, explains the
// difference of one of its time pairs.
bool TGroupMatcher::ClockWrong(const std::optional<int32_t>& offset, int64_t delta) const {
  const int64_t tolerance = Options_.TimeToleranceMinutes;
  return offset && std::llabs(int64_t{*offset}) > tolerance && std::llabs(delta - *offset) <= tolerance;
}

// Whether the other record of a time pair is the one whose time is wrong:
// the side whose clock is off keeps the time error, and otherwise, between
// two logs written in time order, the record that does not fit between its
// confirmed neighbours.
bool TGroupMatcher::OtherAtFault(std::size_t local, uint32_t record, const TQsoVerdict& v) const {
  const auto otherLocal = static_cast<std::size_t>(LocalOf_[static_cast<std::size_t>(v.OtherLog)]);
  const bool ownClock =
      ClockWrong(Results_[static_cast<std::size_t>(LogInfo_[local].Log)].ClockOffsetMinutes, v.DeltaMinutes);
  const bool otherClock =
      ClockWrong(Results_[static_cast<std::size_t>(v.OtherLog)].ClockOffsetMinutes, -int64_t{v.DeltaMinutes});
  if (ownClock != otherClock) return otherClock;
  if (!InOrder_[local] || !InOrder_[otherLocal]) return false;
  const uint32_t other = LogInfo_[otherLocal].First + static_cast<uint32_t>(v.OtherQso - 1);
  return Fits_[record] != 0 && Fits_[other] == 0;
}

}  // namespace loggrevy::matching
