#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

// The clock offset of a log from the pairs of the direct and the time
// pass, and the positions of its time pairs. Reads only the log's own
// verdicts of the passes (a record still open has none of a pair yet).
void TGroupMatcher::Clock(std::size_t local) {
  const TLogInfo& own = LogInfo_[local];
  TLogCrossCheck& result = Results_[static_cast<std::size_t>(own.Log)];
  // Plain stores into room for every record: this walk meets every record
  // of the group.
  const std::size_t count = result.Qsos.size();
  std::vector<int32_t> deltas(count);
  std::size_t pairs = 0;
  const TQsoVerdict* verdicts = result.Qsos.data();
  for (std::size_t position = 0; position < count; ++position) {
    const TVerdict verdict = verdicts[position].Verdict;
    if (verdict != TVerdict::Confirmed && verdict != TVerdict::TimeMismatch) continue;
    deltas[pairs++] = verdicts[position].DeltaMinutes;
    if (verdict == TVerdict::TimeMismatch) TimePairs_[local].push_back(static_cast<uint32_t>(position));
  }
  deltas.resize(pairs);
  if (deltas.empty()) return;
  result.ClockPairs = static_cast<int32_t>(deltas.size());
  if (deltas.size() < 3) return;
  const auto middle = deltas.begin() + static_cast<std::ptrdiff_t>((deltas.size() - 1) / 2);
  std::nth_element(deltas.begin(), middle, deltas.end());
  result.ClockOffsetMinutes = *middle;
}

// Whether a log's confirmed records are in time order and whether each
// record of a time pair fits between its confirmed neighbours (in Fits_),
// in one walk, for a log with a time pair that the clocks leave undecided
// (the other log of that pair then has one too).
void TGroupMatcher::Places(std::size_t local) {
  const TLogInfo& own = LogInfo_[local];
  const TLogCrossCheck& result = Results_[static_cast<std::size_t>(own.Log)];
  const bool undecided = std::any_of(TimePairs_[local].begin(), TimePairs_[local].end(), [&](uint32_t position) {
    const TQsoVerdict& v = result.Qsos[position];
    return ClockWrong(result.ClockOffsetMinutes, v.DeltaMinutes) ==
           ClockWrong(Results_[static_cast<std::size_t>(v.OtherLog)].ClockOffsetMinutes, -int64_t{v.DeltaMinutes});
  });
  if (!undecided) return;
  const int32_t tolerance = Options_.TimeToleranceMinutes;
  const int32_t* minutes = Minutes_[static_cast<std::size_t>(own.Log)].data();
  uint8_t* fits = Fits_.data() + own.First;
  std::vector<uint32_t> waiting;  // positions of time pairs since the last confirmed record
  bool confirmed = false;         // whether a confirmed record came before
  int64_t last = 0;               // the time of the last confirmed record
  bool inOrder = true;
  for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
    const TVerdict verdict = result.Qsos[position].Verdict;
    if (verdict == TVerdict::TimeMismatch) {
      if (!confirmed || minutes[position] >= last - tolerance) {
        fits[position] = 1;
        waiting.push_back(static_cast<uint32_t>(position));
      }
    } else if (verdict == TVerdict::Confirmed || verdict == TVerdict::ConfirmedPartnerBusted ||
               verdict == TVerdict::BustedCall) {
      const int64_t time = minutes[position];
      if (confirmed && time < last - tolerance) inOrder = false;
      for (const uint32_t pair : waiting) fits[pair] = minutes[pair] <= time + tolerance ? 1 : 0;
      waiting.clear();
      confirmed = true;
      last = time;
    }
  }
  InOrder_[local] = inOrder ? 1 : 0;
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
