#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

// A record left open whose partner's call is near the call of a station
// that logged this log's station at about this time: the nearest in time
// of all such records, the records taken in order. Only a station with an
// open record of this log's station can be the one meant, so each open
// record's call is compared with those few stations' calls. Pairing only
// closes records, so a record that finds none before the pass finds none
// in it: the threads first pick out the few that may find one.
void TGroupMatcher::PassBustedCall() {
  FindWorkedBy();
  if (WorkedBy_.empty()) return;  // no active station has an open record of another
  KeepNames();
  std::vector<uint8_t> mayFind(Open_.size(), 0);
  RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t local = begin; local < end; ++local) {
      const TLogInfo& info = LogInfo_[local];
      for (uint32_t record = info.First; record < EndOf(local); ++record) {
        if (Open_[record] && MayFindBustedCall(info.Station, record, MinutesAt(local, record - info.First))) {
          mayFind[record] = 1;
        }
      }
    }
  });
  for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
    const TLogInfo& info = LogInfo_[local];
    const uint32_t end = EndOf(local);
    for (uint32_t record = info.First; record < end; ++record) {
      if (!mayFind[record] || !Open_[record]) continue;
      const TEntry own{static_cast<int32_t>(local), (record - info.First) << 1, MinutesAt(local, record - info.First)};
      const TId partner = Partner_[record];
      uint32_t best = kNoPlace;
      int64_t bestDelta = 0;
      for (const TId candidate : WorkedBy(info.Station)) {
        if (candidate == info.Station || !MayBeSimilar(partner, candidate) ||
            !Similar(NameOf(partner), NameOf(candidate))) {
          continue;
        }
        const uint32_t bucket = BucketOf(candidate, info.Station);
        if (bucket == kNoPlace) continue;
        const uint32_t at =
            Nearest(bucket, candidate > info.Station ? 1u : 0u, own.Minutes, Options_.TimeToleranceMinutes);
        if (at == kNoPlace) continue;
        const int64_t delta = std::llabs(int64_t{Entries_[at].Minutes} - own.Minutes);
        if (best == kNoPlace || delta < bestDelta ||
            (delta == bestDelta && RecordOf(Entries_[at]) < RecordOf(Entries_[best]))) {
          best = at;
          bestDelta = delta;
        }
      }
      if (best != kNoPlace) Pair(own, Entries_[best], TVerdict::BustedCall, TVerdict::ConfirmedPartnerBusted);
    }
  }
}

// A record left open whose serial numbers agree both ways with an open
// record that logged this log's station at about this time: the QSO
// happened, whatever call was written. Only the open records of the
// buckets left over can be found; they are looked up by the station they
// logged and their two numbers.
void TGroupMatcher::PassBustedSerial() {
  struct TSerials {
    TId Worked;
    int32_t Sent;
    int32_t Received;
    uint32_t Place;  // in Entries_
    auto operator<=>(const TSerials&) const = default;
  };
  std::vector<TSerials> found;
  for (uint32_t bucket = 0; bucket < BucketCount(); ++bucket) {
    if (!LeftOver_[bucket]) continue;
    for (uint32_t at = BucketBegins_[bucket]; at < BucketBegins_[bucket + 1]; ++at) {
      const TEntry& e = Entries_[at];
      if (!IsOpen(e)) continue;
      const TQSORecord& r = QsoOf(static_cast<std::size_t>(e.Local), e.Position());
      if (r.SentNr > 0 && r.RcvdNr > 0) found.push_back({Partner_[RecordOf(e)], r.SentNr, r.RcvdNr, at});
    }
  }
  if (found.empty()) return;
  std::sort(found.begin(), found.end());
  for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
    const TLogInfo& info = LogInfo_[local];
    for (uint32_t record = info.First; record < EndOf(local); ++record) {
      if (!Open_[record]) continue;
      const uint32_t position = record - info.First;
      const TQSORecord& q = QsoOf(local, position);
      if (q.SentNr <= 0 || q.RcvdNr <= 0) continue;
      const TEntry own{static_cast<int32_t>(local), position << 1, MinutesAt(local, position)};
      const auto first = std::lower_bound(found.begin(), found.end(), TSerials{info.Station, q.RcvdNr, q.SentNr, 0});
      uint32_t best = kNoPlace;
      int64_t bestDelta = 0;
      for (auto it = first;
           it != found.end() && it->Worked == info.Station && it->Sent == q.RcvdNr && it->Received == q.SentNr; ++it) {
        const TEntry& e = Entries_[it->Place];
        const TId station = StationOf(e);
        if (!IsOpen(e) || station == info.Station || station == Partner_[record]) continue;
        const int64_t delta = std::llabs(int64_t{e.Minutes} - own.Minutes);
        if (delta > Options_.TimeToleranceMinutes) continue;
        if (best == kNoPlace || delta < bestDelta || (delta == bestDelta && RecordOf(e) < RecordOf(Entries_[best]))) {
          best = it->Place;
          bestDelta = delta;
        }
      }
      if (best != kNoPlace) Pair(own, Entries_[best], TVerdict::BustedCall, TVerdict::ConfirmedPartnerBusted);
    }
  }
}

// The calls of the group in one stretch of memory, and which characters
// each holds, for the many comparisons of the busted-call pass.
void TGroupMatcher::KeepNames() {
  NameBegins_.reserve(Ids_.Size() + 1);
  Characters_.reserve(Ids_.Size());
  for (std::size_t id = 0; id < Ids_.Size(); ++id) {
    const std::string& name = Ids_.Name(static_cast<TId>(id));
    NameBegins_.push_back(static_cast<uint32_t>(Names_.size()));
    Names_ += name;
    uint64_t characters = 0;
    for (const char c : name) characters |= uint64_t{1} << (static_cast<unsigned char>(c) % 64);
    Characters_.push_back(characters);
  }
  NameBegins_.push_back(static_cast<uint32_t>(Names_.size()));
}

// Whether a station with a call near the one logged has an open record of
// this station within the tolerance, a big bucket counting as one (it is
// searched in turn).
bool TGroupMatcher::MayFindBustedCall(TId station, uint32_t record, int32_t minutes) const {
  const TId partner = Partner_[record];
  for (const TId candidate : WorkedBy(station)) {
    if (candidate == station || !MayBeSimilar(partner, candidate) || !Similar(NameOf(partner), NameOf(candidate))) {
      continue;
    }
    const uint32_t bucket = BucketOf(candidate, station);
    if (bucket == kNoPlace) continue;
    const uint32_t begin = BucketBegins_[bucket];
    const uint32_t end = BucketBegins_[bucket + 1];
    if (end - begin > kSmallBucket) return true;
    const uint32_t side = candidate > station ? 1u : 0u;
    for (uint32_t at = begin; at < end; ++at) {
      const TEntry& e = Entries_[at];
      if (e.Side() == side && IsOpen(e) && std::llabs(int64_t{e.Minutes} - minutes) <= Options_.TimeToleranceMinutes) {
        return true;
      }
    }
  }
  return false;
}

// For each active station, the stations with an open record of it: the
// open records of the buckets left over by the direct pass.
void TGroupMatcher::FindWorkedBy() {
  std::vector<std::pair<TId, TId>> pairs;  // (worked, by)
  for (uint32_t bucket = 0; bucket < BucketCount(); ++bucket) {
    if (!LeftOver_[bucket]) continue;
    for (uint32_t at = BucketBegins_[bucket]; at < BucketBegins_[bucket + 1]; ++at) {
      const TEntry& e = Entries_[at];
      if (IsOpen(e)) pairs.emplace_back(Partner_[RecordOf(e)], StationOf(e));
    }
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  WorkedByBegins_.assign(Ids_.Size() + 1, 0);
  for (const auto& [worked, by] : pairs) ++WorkedByBegins_[static_cast<std::size_t>(worked) + 1];
  std::partial_sum(WorkedByBegins_.begin(), WorkedByBegins_.end(), WorkedByBegins_.begin());
  WorkedBy_.resize(pairs.size());
  for (std::size_t at = 0; at < pairs.size(); ++at) WorkedBy_[at] = pairs[at].second;
}

}  // namespace loggrevy::matching
