#include "core/locator.h"
#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

TGroupMatcher::TGroupMatcher(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
                             const TBatchGroups& groups, const TBatchGroup& group, const TCrossCheckOptions& options,
                             std::size_t jobs, std::vector<TLogCrossCheck>& results)
    : Logs_(logs),
      Minutes_(minutes),
      Options_(options),
      Jobs_(GroupRecords(logs, groups, group) < kThreadedRecords ? 1 : std::max<std::size_t>(jobs, 1)),
      Results_(results) {
  Collect(groups, group);
  KindOf_.assign(Ids_.Size(), TStationKind::Other);
  for (const TId station : UnreadableStations_) KindOf_[static_cast<std::size_t>(station)] = TStationKind::Unreadable;
  for (const TId station : ActiveStations_) KindOf_[static_cast<std::size_t>(station)] = TStationKind::Active;
  Index();
  MakeVerdicts();
}

void TGroupMatcher::Collect(const TBatchGroups& groups, const TBatchGroup& group) {
  for (const int32_t member : group.Unreadable) {
    if (const TId id = Ids_.Of(groups.Logs[static_cast<std::size_t>(member)].Station); id != kNoId) {
      UnreadableStations_.push_back(id);
    }
  }
  uint32_t count = 0;
  LocalOf_.assign(Logs_.size(), -1);
  for (const int32_t log : group.Logs) {
    const TBatchLog& entry = groups.Logs[static_cast<std::size_t>(log)];
    if (entry.Role != TBatchRole::Active) continue;
    const TLog& active = *Logs_[static_cast<std::size_t>(log)];
    const std::string_view locator = std::string_view(active.Edi().PWWLo).substr(0, 6);
    LogInfo_.push_back({log, Ids_.Of(entry.Station), count, PackSix(locator), IsValidLocator(locator),
                        active.Checker().Kind() == TContestKind::Kvartalstest});
    LocalOf_[static_cast<std::size_t>(log)] = static_cast<int32_t>(LogInfo_.size() - 1);
    count += static_cast<uint32_t>(active.Edi().QSOs.size());
  }
  // A group of calls worked once each (a batch of many contests) would
  // grow the table and the names over and over: room for as many calls as
  // records, up to a number that costs a large group nothing.
  Ids_.Reserve(std::min<std::size_t>(count, kReservedCalls));
  for (const TLogInfo& info : LogInfo_) ActiveStations_.push_back(info.Station);
  std::sort(ActiveStations_.begin(), ActiveStations_.end());
  std::sort(UnreadableStations_.begin(), UnreadableStations_.end());

  // The minutes and the partner of every record, on the threads: each slice
  // of logs numbers the calls it meets on its own, and its numbers are then
  // mapped to the group's, slice after slice, as if one thread had met them
  // all. The records that cannot be matched get their verdict here and are
  // never open.
  Open_.assign(count, 0);
  Partner_.assign(count, kNoId);
  const std::size_t slices = std::min(Jobs_, LogInfo_.size());
  if (slices <= 1) {
    ReadAlone();
    return;
  }
  std::vector<TSliceCalls> calls(slices);
  RunEach(slices, [&](std::size_t slice) { ReadSlice(slice, slices, calls[slice]); });
  for (TSliceCalls& slice : calls) {
    slice.Global.resize(slice.Stations.size());
    for (std::size_t local = 0; local < slice.Stations.size(); ++local) {
      const TId id = Ids_.Of(std::move(slice.Stations[local]));
      slice.Global[local] = id;
      if (id == kNoId) continue;
      if (Loggers_.size() < Ids_.Size()) Loggers_.resize(Ids_.Size());
      TLoggers& loggers = Loggers_[static_cast<std::size_t>(id)];
      const TLoggers& found = slice.Loggers[local];
      if (loggers.First == kNoId) {
        loggers = found;
      } else {
        loggers.Several = loggers.Several || found.Several || found.First != loggers.First;
      }
    }
  }
  RunEach(slices, [&](std::size_t slice) {
    for (std::size_t local = SliceBegin(slice, slices); local < SliceBegin(slice + 1, slices); ++local) {
      const TLogInfo& info = LogInfo_[local];
      for (uint32_t record = info.First; record < EndOf(local); ++record) {
        const TId partner =
            Partner_[record] == kNoId ? kNoId : calls[slice].Global[static_cast<std::size_t>(Partner_[record])];
        // A record of the own call keeps the own station as its partner
        // until the verdicts are made (see MakeVerdicts).
        if (partner == kNoId || partner == info.Station) Open_[record] = 0;
        Partner_[record] = partner;
      }
    }
  });
}

// Whether each record of a slice of logs has a known time, and the
// slice's number of its call (kNoId where the call names no station), in
// Partner_, also for a record without a time: it still counts among the
// records that logged its partner.
void TGroupMatcher::ReadSlice(std::size_t slice, std::size_t slices, TSliceCalls& calls) {
  ForEachRecord(SliceBegin(slice, slices), SliceBegin(slice + 1, slices),
                [&](const TLogInfo& info, uint32_t record, const TQSORecord& q, int32_t minutes) {
                  if (minutes != kUnknownMinutes) Open_[record] = 1;
                  // kNoId for a call that names no station.
                  const TId number = calls.Numbers.FindOrAdd(TCallKey::Of(q.Call), [&] {
                    std::string station = StationKey(q.Call.View());
                    if (station.empty()) return kNoId;
                    calls.Stations.push_back(std::move(station));
                    calls.Loggers.emplace_back();
                    return static_cast<TId>(calls.Stations.size() - 1);
                  });
                  if (number == kNoId) return;
                  Partner_[record] = number;
                  calls.Loggers[static_cast<std::size_t>(number)].Note(info.Station);
                });
}

// The same on one thread: the group's numbers are given at once.
void TGroupMatcher::ReadAlone() {
  ForEachRecord(0, LogInfo_.size(), [&](const TLogInfo& info, uint32_t record, const TQSORecord& q, int32_t minutes) {
    const TId partner = Ids_.OfLogged(q.Call);
    if (partner == kNoId) return;
    if (Loggers_.size() < Ids_.Size()) Loggers_.resize(Ids_.Size());
    Loggers_[static_cast<std::size_t>(partner)].Note(info.Station);
    // A record of the own call keeps the own station as its partner until
    // the verdicts are made (see MakeVerdicts).
    Partner_[record] = partner;
    Open_[record] = minutes != kUnknownMinutes && partner != info.Station ? 1 : 0;
  });
}

// The number of slices for a stable counting sort of count items on the
// threads: one unless there is much to sort.
std::size_t TGroupMatcher::SortSlices(std::size_t count) const {
  return std::clamp<std::size_t>(count / 16384, 1, std::min<std::size_t>(Jobs_, 8));
}

// Turns the counts of each (slice, key) into the first place of each in a
// stable counting sort: keys in order, and within a key the slices in order.
void TGroupMatcher::ToPlaces(std::vector<uint32_t>& counts, std::size_t slices, std::size_t keys) {
  uint32_t at = 0;
  for (std::size_t key = 0; key < keys; ++key) {
    for (std::size_t slice = 0; slice < slices; ++slice) {
      const uint32_t n = counts[slice * keys + key];
      counts[slice * keys + key] = at;
      at += n;
    }
  }
}

// The open records with an active partner sorted by (lower station,
// higher station, record): two stable counting sorts, by the higher
// station (on the threads) and then by the lower, which marks the buckets
// on the way: within a lower station, the records come by rising higher
// station. A record whose partner sent no log is in no bucket: no record
// pairs with it.
void TGroupMatcher::Index() {
  const std::size_t ids = Ids_.Size();

  // By the higher station: slices of logs.
  const std::size_t logSlices = std::min(SortSlices(Open_.size()), std::max<std::size_t>(LogInfo_.size(), 1));
  const auto forOpen = [&](std::size_t slice, auto visit) {
    for (std::size_t local = SliceBegin(slice, logSlices); local < SliceBegin(slice + 1, logSlices); ++local) {
      const TLogInfo& info = LogInfo_[local];
      for (uint32_t record = info.First; record < EndOf(local); ++record) {
        if (Open_[record] && KindOf_[static_cast<std::size_t>(Partner_[record])] == TStationKind::Active) {
          visit(local, info, record);
        }
      }
    }
  };
  std::vector<uint32_t> places(logSlices * ids, 0);
  RunEach(logSlices, [&](std::size_t slice) {
    forOpen(slice, [&](std::size_t, const TLogInfo& info, uint32_t record) {
      ++places[slice * ids + static_cast<std::size_t>(std::max(info.Station, Partner_[record]))];
    });
  });
  const auto open = static_cast<uint32_t>(std::accumulate(places.begin(), places.end(), uint64_t{0}));
  ToPlaces(places, logSlices, ids);
  // The first place of each higher station: the first slice's.
  std::vector<uint32_t> highBegins(places.begin(), places.begin() + static_cast<std::ptrdiff_t>(ids));
  highBegins.push_back(open);
  std::vector<TEntry> byHigh(open);
  RunEach(logSlices, [&](std::size_t slice) {
    forOpen(slice, [&](std::size_t local, const TLogInfo& info, uint32_t record) {
      const TId partner = Partner_[record];
      const bool high = info.Station > partner;
      byHigh[places[slice * ids + static_cast<std::size_t>(high ? info.Station : partner)]++] = {
          static_cast<int32_t>(local), (record - info.First) << 1 | (high ? 1u : 0u),
          MinutesAt(local, record - info.First)};
    });
  });
  std::vector<uint32_t>().swap(places);

  // By the lower station, counting the entries and the buckets of each first.
  const auto lowOf = [&](const TEntry& e) { return e.Side() ? Partner_[RecordOf(e)] : StationOf(e); };
  const auto forByHigh = [&](auto visit) {
    for (std::size_t high = 0; high < ids; ++high) {
      for (uint32_t at = highBegins[high]; at < highBegins[high + 1]; ++at) {
        const TEntry& e = byHigh[at];
        visit(e, static_cast<std::size_t>(lowOf(e)), static_cast<TId>(high));
      }
    }
  };
  std::vector<uint32_t> entryPlaces(ids + 1, 0);
  LowBuckets_.assign(ids + 1, 0);
  std::vector<TId> lastHigh(ids, kNoId);
  forByHigh([&](const TEntry&, std::size_t low, TId high) {
    ++entryPlaces[low + 1];
    if (lastHigh[low] != high) {
      lastHigh[low] = high;
      ++LowBuckets_[low + 1];
    }
  });
  std::partial_sum(entryPlaces.begin(), entryPlaces.end(), entryPlaces.begin());
  std::partial_sum(LowBuckets_.begin(), LowBuckets_.end(), LowBuckets_.begin());
  std::vector<uint32_t> bucketPlaces(LowBuckets_.begin(), LowBuckets_.end() - 1);
  BucketBegins_.resize(LowBuckets_.back() + 1);
  BucketHighs_.resize(LowBuckets_.back());
  Entries_.resize(open);
  std::fill(lastHigh.begin(), lastHigh.end(), kNoId);
  forByHigh([&](const TEntry& e, std::size_t low, TId high) {
    const uint32_t at = entryPlaces[low]++;
    Entries_[at] = e;
    if (lastHigh[low] != high) {
      lastHigh[low] = high;
      const uint32_t bucket = bucketPlaces[low]++;
      BucketBegins_[bucket] = at;
      BucketHighs_[bucket] = high;
    }
  });
  BucketBegins_.back() = open;
  LeftOver_.assign(BucketCount(), 0);
  std::vector<TEntry>().swap(byHigh);

  for (uint32_t bucket = 0; bucket < BucketCount(); ++bucket) {
    if (BucketBegins_[bucket + 1] - BucketBegins_[bucket] > kSmallBucket) BigBuckets_.push_back({bucket, {}, {}});
  }
  RunSlices(BigBuckets_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t big = begin; big < end; ++big) SortBig(BigBuckets_[big]);
  });
}

// The verdicts of every log, made after the index, which needs more
// memory while it is built, so that the two are not held at once.
void TGroupMatcher::MakeVerdicts() {
  RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t local = begin; local < end; ++local) {
      const TLogInfo& info = LogInfo_[local];
      std::vector<TQsoVerdict>& verdicts = Results_[static_cast<std::size_t>(info.Log)].Qsos;
      verdicts.assign(EndOf(local) - info.First, TQsoVerdict{});
      for (uint32_t record = info.First; record < EndOf(local); ++record) {
        if (Partner_[record] == info.Station && MinutesAt(local, record - info.First) != kUnknownMinutes) {
          verdicts[record - info.First].Verdict = TVerdict::OwnCall;
        }
      }
    }
  });
}

void TGroupMatcher::SortBig(TBigBucket& big) {
  for (uint32_t at = BucketBegins_[big.Bucket]; at < BucketBegins_[big.Bucket + 1]; ++at) {
    big.Sorted[Entries_[at].Side()].push_back(at);
  }
  for (uint32_t side = 0; side < 2; ++side) {
    // Within a bucket the places follow the records: equal times keep them in order.
    std::stable_sort(big.Sorted[side].begin(), big.Sorted[side].end(),
                     [&](uint32_t a, uint32_t b) { return Entries_[a].Minutes < Entries_[b].Minutes; });
    big.Remaining[side] = std::make_unique<TOpenSet>(big.Sorted[side].size());
  }
}

TGroupMatcher::TBigBucket& TGroupMatcher::BigOf(uint32_t bucket) {
  return *std::lower_bound(BigBuckets_.begin(), BigBuckets_.end(), bucket,
                           [](const TBigBucket& big, uint32_t b) { return big.Bucket < b; });
}

// The bucket of the pair of two stations, if any record is open in it.
uint32_t TGroupMatcher::BucketOf(TId a, TId b) const {
  const TId low = std::min(a, b);
  const TId high = std::max(a, b);
  const auto first = BucketHighs_.begin() + LowBuckets_[static_cast<std::size_t>(low)];
  const auto last = BucketHighs_.begin() + LowBuckets_[static_cast<std::size_t>(low) + 1];
  const auto found = std::lower_bound(first, last, high);
  if (found == last || *found != high) return kNoPlace;
  return static_cast<uint32_t>(found - BucketHighs_.begin());
}

// The open record of one side of a bucket nearest in time to minutes, on a
// tie the first in order, within the tolerance: its place, or kNoPlace.
uint32_t TGroupMatcher::Nearest(uint32_t bucket, uint32_t side, int32_t minutes, int64_t tolerance) {
  const uint32_t begin = BucketBegins_[bucket];
  const uint32_t end = BucketBegins_[bucket + 1];
  std::size_t best = kNone;
  if (end - begin <= kSmallBucket) {
    int64_t bestDelta = 0;
    for (uint32_t at = begin; at < end; ++at) {
      const TEntry& e = Entries_[at];
      if (e.Side() != side || !IsOpen(e)) continue;
      const int64_t delta = std::llabs(int64_t{e.Minutes} - minutes);
      if (best == kNone || delta < bestDelta) {
        best = at;
        bestDelta = delta;
      }
    }
  } else {
    best = NearestInBig(BigOf(bucket), side, minutes);
  }
  if (best == kNone || std::llabs(int64_t{Entries_[best].Minutes} - minutes) > tolerance) return kNoPlace;
  return static_cast<uint32_t>(best);
}

std::size_t TGroupMatcher::NearestInBig(TBigBucket& big, uint32_t side, int32_t minutes) {
  const std::vector<uint32_t>& sorted = big.Sorted[side];
  TOpenSet& remaining = *big.Remaining[side];
  // Records paired since they were sorted are taken out when met.
  const auto nextOpen = [&](std::size_t at) {
    for (at = remaining.NextOpen(at); at < sorted.size() && !IsOpen(Entries_[sorted[at]]);
         at = remaining.NextOpen(at)) {
      remaining.Remove(at);
    }
    return at < sorted.size() ? at : kNone;
  };
  const auto prevOpen = [&](std::size_t at) {
    for (at = remaining.PrevOpen(at); at != kNone && !IsOpen(Entries_[sorted[at]]); at = remaining.PrevOpen(at)) {
      remaining.Remove(at);
    }
    return at;
  };
  const auto minutesAt = [&](std::size_t at) { return Entries_[sorted[at]].Minutes; };
  const auto firstAtOrAfter = [&](std::size_t last, int32_t m) {
    return static_cast<std::size_t>(
        std::lower_bound(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(last), m,
                         [&](uint32_t place, int32_t value) { return Entries_[place].Minutes < value; }) -
        sorted.begin());
  };
  const std::size_t at = firstAtOrAfter(sorted.size(), minutes);
  const std::size_t after = nextOpen(at);
  std::size_t before = at > 0 ? prevOpen(at - 1) : kNone;
  // The first open record at that time.
  if (before != kNone) before = nextOpen(firstAtOrAfter(before, minutesAt(before)));
  std::size_t best = kNone;
  if (after != kNone && before != kNone) {
    const int64_t afterDelta = int64_t{minutesAt(after)} - minutes;
    const int64_t beforeDelta = minutes - int64_t{minutesAt(before)};
    best = afterDelta < beforeDelta || (afterDelta == beforeDelta && sorted[after] < sorted[before]) ? after : before;
  } else {
    best = after != kNone ? after : before;
  }
  return best == kNone ? kNone : sorted[best];
}

}  // namespace loggrevy::matching
