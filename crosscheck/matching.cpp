#include "crosscheck/matching.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <span>
#include <unordered_map>

#include "core/locator.h"
#include "crosscheck/call_table.h"
#include "crosscheck/keys.h"
#include "crosscheck/qso_time.h"
#include "model/ordered_work.h"

namespace loggrevy {
namespace {

using TId = int32_t;
constexpr TId kNoId = -1;

// Calls of one group as small numbers. A batch may hold hundreds of
// thousands of calls worked once each, so the short ones (all that a record
// can log) are kept in a flat table.
class TCallIds {
 public:
  // Room for count calls at once.
  void Reserve(std::size_t count) {
    Short_.Reserve(count);
    Names_.reserve(count);
  }
  TId Of(std::string key) {
    if (key.empty()) return kNoId;
    if (key.size() <= TCallKey::kMaxSize) {
      return Short_.FindOrAdd(TCallKey::Of(key), [&] { return Add(std::move(key)); });
    }
    const auto [place, added] = Long_.try_emplace(key, kNoId);
    if (added) place->second = Add(std::move(key));
    return place->second;
  }
  // The station of a call as logged, found in one lookup once met: a
  // spelling that is not its own station's key (a /P, a lower-case letter)
  // is kept beside the keys. A station's key is its own key, so the two
  // never meet.
  TId OfLogged(const TShortText<14>& call) {
    const TCallKey key = TCallKey::Of(call);
    if (const TId* known = Short_.Find(key)) return *known;
    std::string station = StationKey(call.View());
    if (station == call.View()) return Of(std::move(station));
    const TId id = Of(std::move(station));
    Short_.FindOrAdd(key, [&] { return id; });
    return id;
  }
  const std::string& Name(TId id) const { return Names_[static_cast<std::size_t>(id)]; }
  std::size_t Size() const { return Names_.size(); }

 private:
  TId Add(std::string key) {
    Names_.push_back(std::move(key));
    return static_cast<TId>(Names_.size() - 1);
  }

  TCallTable<TId> Short_;
  std::unordered_map<std::string, TId> Long_;
  std::vector<std::string> Names_;
};

// The first six bytes of a text and their count in one number, so that
// equal numbers mean equal texts.
uint64_t PackSix(std::string_view text) {
  text = text.substr(0, 6);
  uint64_t packed = uint64_t{text.size()} << 56;
  for (std::size_t i = 0; i < text.size(); ++i) packed |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  return packed;
}
// The same for a received locator, read in one load of its buffer.
uint64_t PackSix(const TShortText<8>& text) {
  static_assert(std::endian::native == std::endian::little, "the mask takes the first byte as the lowest");
  uint64_t packed = 0;
  std::memcpy(&packed, text.View().data(), 8);
  const uint64_t size = std::min<uint64_t>(text.Size(), 6);
  return (packed & ((uint64_t{1} << (8 * size)) - 1)) | size << 56;
}

// Removal from a sorted sequence with "next remaining at or after" and "last
// remaining at or before" in near-constant time (union-find with path halving).
class TOpenSet {
 public:
  explicit TOpenSet(std::size_t size) : Next_(size + 1), Prev_(size + 1) {
    std::iota(Next_.begin(), Next_.end(), uint32_t{0});
    std::iota(Prev_.begin(), Prev_.end(), uint32_t{0});
  }
  // The first remaining position >= at, or size().
  std::size_t NextOpen(std::size_t at) {
    while (Next_[at] != at) at = Next_[at] = Next_[Next_[at]];
    return at;
  }
  // The last remaining position <= at, or npos (positions are shifted by one inside).
  std::size_t PrevOpen(std::size_t at) {
    std::size_t shifted = at + 1;
    while (Prev_[shifted] != shifted) shifted = Prev_[shifted] = Prev_[Prev_[shifted]];
    return shifted - 1;
  }
  void Remove(std::size_t at) {
    Next_[at] = static_cast<uint32_t>(at + 1);
    Prev_[at + 1] = static_cast<uint32_t>(at);
  }

 private:
  std::vector<uint32_t> Next_;
  std::vector<uint32_t> Prev_;
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// No place in the index, or no bucket. (Plain numbers: an optional returned
// from the hot searches costs a stall each time.)
constexpr uint32_t kNoPlace = static_cast<uint32_t>(-1);
constexpr int64_t kAnyDifference = std::numeric_limits<int64_t>::max();

// Buckets of at most this many records are searched straight through.
constexpr uint32_t kSmallBucket = 16;

// The calls a group's table has room for from the start, at most.
constexpr std::size_t kReservedCalls = 16384;

// The records of a group's active logs are numbered in order (logs in
// import order, records in log order). The open ones are laid out in
// buckets, one per pair of stations, each in record order: the direct and
// the time pass pair records only within a bucket, so those passes read one
// small stretch of memory at a time and run on the threads, bucket by
// bucket. Per record the matcher keeps only its partner, its minutes and
// whether it is still open, so that a batch of a million QSOs stays small.
class TGroupMatcher {
 public:
  TGroupMatcher(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
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

  void Run(const std::function<void(std::size_t)>& finished) {
    PassPartner(Options_.TimeToleranceMinutes, TVerdict::Confirmed, TBuckets::All);
    PassBustedCall();
    PassBustedSerial();
    PassPartner(kAnyDifference, TVerdict::TimeMismatch, TBuckets::LeftOver);
    PassProbableBustedCall();
    Fits_.assign(Open_.size(), 0);
    InOrder_.assign(LogInfo_.size(), 0);
    RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
      for (std::size_t local = begin; local < end; ++local) ClockAndPlaces(local);
    });
    RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
      for (std::size_t local = begin; local < end; ++local) {
        FinishLog(local);
        finished(static_cast<std::size_t>(LogInfo_[local].Log));
      }
    });
    CountPartnerRecords();
  }

 private:
  // A record in its bucket: its log's place among the group's active logs,
  // its position in that log, whether its own station is the higher of the
  // pair's two, and its minutes.
  struct TEntry {
    int32_t Local;
    uint32_t PositionAndSide;  // position << 1 | side
    int32_t Minutes;

    uint32_t Position() const { return PositionAndSide >> 1; }
    uint32_t Side() const { return PositionAndSide & 1u; }
  };
  // What the passes and the exchange checks need of a log, held together.
  struct TLogInfo {
    int32_t Log;
    TId Station;
    uint32_t First;    // the number of its first record
    uint64_t Locator;  // PWWLo cut to six characters, packed
    bool LocatorValid;
    bool Kvartalstest;
  };
  // A bucket of more than kSmallBucket records: each side sorted by (time,
  // record) with the records already paired taken out as they are met.
  struct TBigBucket {
    uint32_t Bucket;
    std::vector<uint32_t> Sorted[2];  // places in Entries_
    std::unique_ptr<TOpenSet> Remaining[2];
  };
  enum class TStationKind : uint8_t { Other, Active, Unreadable };
  // Which stations log a partner: the first, and whether there are others.
  struct TLoggers {
    TId First = kNoId;
    bool Several = false;

    void Note(TId station) {
      if (First == kNoId) {
        First = station;
      } else if (First != station) {
        Several = true;
      }
    }
  };

  uint32_t RecordOf(const TEntry& e) const { return LogInfo_[static_cast<std::size_t>(e.Local)].First + e.Position(); }
  bool IsOpen(const TEntry& e) const { return Open_[RecordOf(e)] != 0; }
  TId StationOf(const TEntry& e) const { return LogInfo_[static_cast<std::size_t>(e.Local)].Station; }

  void Collect(const TBatchGroups& groups, const TBatchGroup& group) {
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

  // The calls one slice of logs met, numbered in the order met.
  struct TSliceCalls {
    TCallTable<TId> Numbers;            // the call as logged -> its number
    std::vector<std::string> Stations;  // per number: the station it stands for
    std::vector<TLoggers> Loggers;      // per number: which stations logged it
    std::vector<TId> Global;            // per number: the group's number of the station
  };

  std::size_t SliceBegin(std::size_t slice, std::size_t slices) const { return LogInfo_.size() * slice / slices; }

  void RunEach(std::size_t count, const std::function<void(std::size_t)>& work) const {
    RunInOrder(count, Jobs_, count, work, [](std::size_t) {});
  }

  // Calls visit(info, record, q, minutes) for every record of the logs from
  // first to last (places in LogInfo_), in order. The records have long
  // left the cache: each is fetched some records ahead, while the call
  // tables are searched for this one.
  template <typename TVisit>
  void ForEachRecord(std::size_t first, std::size_t last, TVisit visit) const {
    for (std::size_t local = first; local < last; ++local) {
      const TLogInfo& info = LogInfo_[local];
      const std::vector<TQSORecord>& qsos = Logs_[static_cast<std::size_t>(info.Log)]->Edi().QSOs;
      const std::vector<int32_t>& minutes = Minutes_[static_cast<std::size_t>(info.Log)];
      for (std::size_t position = 0; position < qsos.size(); ++position) {
        if (position + kRecordsAhead < qsos.size()) __builtin_prefetch(&qsos[position + kRecordsAhead]);
        visit(info, info.First + static_cast<uint32_t>(position), qsos[position], minutes[position]);
      }
    }
  }

  // Whether each record of a slice of logs has a known time, and the
  // slice's number of its call (kNoId where the call names no station), in
  // Partner_, also for a record without a time: it still counts among the
  // records that logged its partner.
  void ReadSlice(std::size_t slice, std::size_t slices, TSliceCalls& calls) {
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
  void ReadAlone() {
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
  std::size_t SortSlices(std::size_t count) const {
    return std::clamp<std::size_t>(count / 16384, 1, std::min<std::size_t>(Jobs_, 8));
  }

  // Turns the counts of each (slice, key) into the first place of each in a
  // stable counting sort: keys in order, and within a key the slices in order.
  static void ToPlaces(std::vector<uint32_t>& counts, std::size_t slices, std::size_t keys) {
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
  void Index() {
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
  void MakeVerdicts() {
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

  int32_t MinutesAt(std::size_t local, uint32_t position) const {
    return Minutes_[static_cast<std::size_t>(LogInfo_[local].Log)][position];
  }

  uint32_t EndOf(std::size_t local) const {
    return local + 1 < LogInfo_.size() ? LogInfo_[local + 1].First : static_cast<uint32_t>(Open_.size());
  }
  uint32_t BucketCount() const { return static_cast<uint32_t>(BucketHighs_.size()); }

  void SortBig(TBigBucket& big) {
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

  TBigBucket& BigOf(uint32_t bucket) {
    return *std::lower_bound(BigBuckets_.begin(), BigBuckets_.end(), bucket,
                             [](const TBigBucket& big, uint32_t b) { return big.Bucket < b; });
  }

  // The bucket of the pair of two stations, if any record is open in it.
  uint32_t BucketOf(TId a, TId b) const {
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
  uint32_t Nearest(uint32_t bucket, uint32_t side, int32_t minutes, int64_t tolerance) {
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

  std::size_t NearestInBig(TBigBucket& big, uint32_t side, int32_t minutes) {
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

  void Pair(const TEntry& own, const TEntry& other, TVerdict ownVerdict, TVerdict otherVerdict) {
    Open_[RecordOf(own)] = 0;
    Open_[RecordOf(other)] = 0;
    SetEvidence(own, other, ownVerdict);
    SetEvidence(other, own, otherVerdict);
  }

  void SetEvidence(const TEntry& own, const TEntry& other, TVerdict verdict) {
    TQsoVerdict& v =
        Results_[static_cast<std::size_t>(LogInfo_[static_cast<std::size_t>(own.Local)].Log)].Qsos[own.Position()];
    v.Verdict = verdict;
    v.OtherLog = LogInfo_[static_cast<std::size_t>(other.Local)].Log;
    // A position is below 2^23 (see TQsoVerdict).
    v.OtherQso = static_cast<int32_t>((other.Position() + 1) & 0x7FFFFFu);
    v.DeltaMinutes = own.Minutes - other.Minutes;
  }

  // The direct pass (within the tolerance) and the time pass (at any
  // difference) both pair a record with the nearest open record of its
  // partner's log that logged this log's station, the records taken in
  // order. Such records share a bucket, and nothing outside it changes what
  // is paired within it: each bucket is done on its own. A bucket in which
  // a record finds no partner is marked as left over: only those still hold
  // open records after the pass, as the passes after it only close records.
  enum class TBuckets : uint8_t { All, LeftOver };
  void PassPartner(int64_t tolerance, TVerdict verdict, TBuckets buckets) {
    RunSlices(BucketCount(), Jobs_, [&](std::size_t first, std::size_t last) {
      for (auto bucket = static_cast<uint32_t>(first); bucket < last; ++bucket) {
        if (buckets == TBuckets::LeftOver && !LeftOver_[bucket]) continue;
        const uint32_t end = BucketBegins_[bucket + 1];
        for (uint32_t at = BucketBegins_[bucket]; at < end; ++at) {
          const TEntry& own = Entries_[at];
          if (!IsOpen(own)) continue;
          const uint32_t other = Nearest(bucket, own.Side() ^ 1u, own.Minutes, tolerance);
          if (other != kNoPlace) {
            Pair(own, Entries_[other], verdict, verdict);
          } else {
            LeftOver_[bucket] = 1;
          }
        }
      }
    });
  }

  // A record left open whose partner's call is near the call of a station
  // that logged this log's station at about this time: the nearest in time
  // of all such records, the records taken in order. Only a station with an
  // open record of this log's station can be the one meant, so each open
  // record's call is compared with those few stations' calls. Pairing only
  // closes records, so a record that finds none before the pass finds none
  // in it: the threads first pick out the few that may find one.
  void PassBustedCall() {
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
        const TEntry own{static_cast<int32_t>(local), (record - info.First) << 1,
                         MinutesAt(local, record - info.First)};
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

  const TQSORecord& QsoOf(std::size_t local, uint32_t position) const {
    return Logs_[static_cast<std::size_t>(LogInfo_[local].Log)]->Edi().QSOs[position];
  }

  // A record left open whose serial numbers agree both ways with an open
  // record that logged this log's station at about this time: the QSO
  // happened, whatever call was written. Only the open records of the
  // buckets left over can be found; they are looked up by the station they
  // logged and their two numbers.
  void PassBustedSerial() {
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
             it != found.end() && it->Worked == info.Station && it->Sent == q.RcvdNr && it->Received == q.SentNr;
             ++it) {
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

  // A record that only its own log's station logged, at a place where at
  // least two other stations logged a call one character from it: most
  // likely that call, miscopied. Such records are few, and only the records
  // received at their places are read.
  void PassProbableBustedCall() {
    struct TLonely {
      uint64_t Locator;
      uint32_t Local;
      uint32_t Record;
    };
    std::vector<TLonely> lonely;
    for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
      const TLogInfo& info = LogInfo_[local];
      for (uint32_t record = info.First; record < EndOf(local); ++record) {
        if (!Open_[record] || RestVerdict(Partner_[record], info.Station) != TVerdict::Unique) continue;
        const TQSORecord& q = QsoOf(local, record - info.First);
        if (!IsValidLocator(q.RcvdWWL.View().substr(0, 6))) continue;
        lonely.push_back({PackSix(q.RcvdWWL), static_cast<uint32_t>(local), record});
      }
    }
    if (lonely.empty()) return;
    std::vector<uint64_t> places;
    for (const TLonely& l : lonely) places.push_back(l.Locator);
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    struct TLogged {
      uint64_t Locator;
      TId Call;
      TId By;
      auto operator<=>(const TLogged&) const = default;
    };
    std::vector<TLogged> logged;
    ForEachRecord(0, LogInfo_.size(), [&](const TLogInfo& info, uint32_t record, const TQSORecord& q, int32_t) {
      const uint64_t locator = PackSix(q.RcvdWWL);
      if (Partner_[record] != kNoId && std::binary_search(places.begin(), places.end(), locator)) {
        logged.push_back({locator, Partner_[record], info.Station});
      }
    });
    std::sort(logged.begin(), logged.end());
    logged.erase(std::unique(logged.begin(), logged.end()), logged.end());
    if (NameBegins_.empty()) KeepNames();
    for (const TLonely& l : lonely) {
      const TLogInfo& info = LogInfo_[l.Local];
      const TId meant = Partner_[l.Record];
      auto at = std::lower_bound(logged.begin(), logged.end(), TLogged{l.Locator, 0, 0});
      TId best = kNoId;
      int32_t bestStations = 0;
      while (at != logged.end() && at->Locator == l.Locator) {
        const TId call = at->Call;
        int32_t stations = 0;
        for (; at != logged.end() && at->Locator == l.Locator && at->Call == call; ++at) {
          if (at->By != info.Station && at->By != call) ++stations;
        }
        if (stations < 2 || call == info.Station || call == meant || stations < bestStations ||
            !MayBeSimilar(meant, call) || !Similar(NameOf(meant), NameOf(call))) {
          continue;
        }
        if (stations > bestStations || NameOf(call) < NameOf(best)) {
          best = call;
          bestStations = stations;
        }
      }
      if (best == kNoId) continue;
      const uint32_t position = l.Record - info.First;
      Results_[static_cast<std::size_t>(info.Log)].Qsos[position].Verdict = TVerdict::ProbableBustedCall;
      Results_[static_cast<std::size_t>(info.Log)].Probable.push_back(
          {static_cast<int32_t>(position), std::string(NameOf(best)), bestStations});
      Open_[l.Record] = 0;
    }
  }

  // The calls of the group in one stretch of memory, and which characters
  // each holds, for the many comparisons of the busted-call pass.
  void KeepNames() {
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

  // False where the calls of a and b cannot be Similar: one character
  // replaced, inserted, deleted or two swapped change at most two of the
  // characters a call holds, and its length by at most one.
  bool MayBeSimilar(TId a, TId b) const {
    const auto x = static_cast<std::size_t>(a);
    const auto y = static_cast<std::size_t>(b);
    uint64_t differing = Characters_[x] ^ Characters_[y];
    differing &= differing - 1;  // clears the lowest bit set
    differing &= differing - 1;
    if (differing != 0) return false;
    const uint32_t lengthA = NameBegins_[x + 1] - NameBegins_[x];
    const uint32_t lengthB = NameBegins_[y + 1] - NameBegins_[y];
    return lengthA + 1 >= lengthB && lengthB + 1 >= lengthA;
  }

  std::string_view NameOf(TId id) const {
    const auto at = static_cast<std::size_t>(id);
    return std::string_view(Names_).substr(NameBegins_[at], NameBegins_[at + 1] - NameBegins_[at]);
  }

  // Whether a station with a call near the one logged has an open record of
  // this station within the tolerance, a big bucket counting as one (it is
  // searched in turn).
  bool MayFindBustedCall(TId station, uint32_t record, int32_t minutes) const {
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
        if (e.Side() == side && IsOpen(e) &&
            std::llabs(int64_t{e.Minutes} - minutes) <= Options_.TimeToleranceMinutes) {
          return true;
        }
      }
    }
    return false;
  }

  // For each active station, the stations with an open record of it: the
  // open records of the buckets left over by the direct pass.
  void FindWorkedBy() {
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

  std::span<const TId> WorkedBy(TId station) const {
    return std::span<const TId>(WorkedBy_).subspan(
        WorkedByBegins_[static_cast<std::size_t>(station)],
        WorkedByBegins_[static_cast<std::size_t>(station) + 1] - WorkedByBegins_[static_cast<std::size_t>(station)]);
  }

  // The clock offset of a log from the pairs of the direct and the time
  // pass, and in one walk whether its confirmed records are in time order
  // and whether each record of a time pair fits between its confirmed
  // neighbours (in Fits_). Reads only the log's own verdicts of the passes.
  void ClockAndPlaces(std::size_t local) {
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
  bool ClockWrong(const std::optional<int32_t>& offset, int64_t delta) const {
    const int64_t tolerance = Options_.TimeToleranceMinutes;
    return offset && std::llabs(int64_t{*offset}) > tolerance && std::llabs(delta - *offset) <= tolerance;
  }

  // Whether the other record of a time pair is the one whose time is wrong:
  // the side whose clock is off keeps the time error, and otherwise, between
  // two logs written in time order, the record that does not fit between its
  // confirmed neighbours.
  bool OtherAtFault(std::size_t local, uint32_t record, const TQsoVerdict& v) const {
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

  // What is left of a log after the passes: a verdict for each record still
  // open, the side not at fault of each time pair, and the exchange of every
  // confirmed record checked against the other log.
  void FinishLog(std::size_t local) {
    const TLogInfo& own = LogInfo_[local];
    TLogCrossCheck& result = Results_[static_cast<std::size_t>(own.Log)];
    const std::vector<TQSORecord>& qsos = Logs_[static_cast<std::size_t>(own.Log)]->Edi().QSOs;
    for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
      if (position + kRecordsAhead < qsos.size()) __builtin_prefetch(&qsos[position + kRecordsAhead]);
      TQsoVerdict& v = result.Qsos[position];
      const uint32_t record = own.First + static_cast<uint32_t>(position);
      if (Open_[record]) {
        v.Verdict = RestVerdict(Partner_[record], own.Station);
        continue;
      }
      if (v.Verdict == TVerdict::TimeMismatch && OtherAtFault(local, record, v)) {
        v.Verdict = TVerdict::ConfirmedPartnerTime;
      }
      if (v.Verdict != TVerdict::Confirmed && v.Verdict != TVerdict::ConfirmedPartnerBusted &&
          v.Verdict != TVerdict::ConfirmedPartnerTime) {
        continue;
      }
      const TQSORecord& q = qsos[position];
      const TLogInfo& other = LogInfo_[static_cast<std::size_t>(LocalOf_[static_cast<std::size_t>(v.OtherLog)])];
      if (other.LocatorValid && other.Locator != PackSix(q.RcvdWWL)) {
        v.Verdict = TVerdict::BustedLocator;
        continue;
      }
      const bool compare = Options_.CompareSerials || (own.Kvartalstest && other.Kvartalstest);
      if (compare &&
          q.RcvdNr !=
              Logs_[static_cast<std::size_t>(other.Log)]->Edi().QSOs[static_cast<std::size_t>(v.OtherQso - 1)].SentNr) {
        v.Verdict = TVerdict::BustedSerial;
      }
    }
  }

  // For each active station, the records of the other active logs that
  // logged it and those of them whose verdict proposes invalid, once every
  // verdict is made.
  void CountPartnerRecords() {
    std::vector<int32_t> records(Ids_.Size(), 0);
    std::vector<std::vector<TRecordRef>> lost(Ids_.Size());
    for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
      const TLogInfo& info = LogInfo_[local];
      const std::vector<TQsoVerdict>& verdicts = Results_[static_cast<std::size_t>(info.Log)].Qsos;
      for (uint32_t record = info.First; record < EndOf(local); ++record) {
        const TId partner = Partner_[record];
        if (partner == kNoId || partner == info.Station ||
            KindOf_[static_cast<std::size_t>(partner)] != TStationKind::Active) {
          continue;
        }
        ++records[static_cast<std::size_t>(partner)];
        const uint32_t position = record - info.First;
        if (ProposesInvalid(verdicts[position].Verdict)) {
          lost[static_cast<std::size_t>(partner)].push_back({info.Log, static_cast<int32_t>(position)});
        }
      }
    }
    for (const TLogInfo& info : LogInfo_) {
      TLogCrossCheck& result = Results_[static_cast<std::size_t>(info.Log)];
      result.PartnerRecords = records[static_cast<std::size_t>(info.Station)];
      result.PartnerLost = lost[static_cast<std::size_t>(info.Station)];
    }
  }

  TVerdict RestVerdict(TId partner, TId station) const {
    const TStationKind kind = KindOf_[static_cast<std::size_t>(partner)];
    if (kind == TStationKind::Active) return TVerdict::NotInLog;
    if (kind == TStationKind::Unreadable) return TVerdict::PartnerUnreadable;
    const TLoggers& loggers = Loggers_[static_cast<std::size_t>(partner)];
    if (loggers.Several || loggers.First != station) return TVerdict::NoLog;
    return TVerdict::Unique;
  }

  const std::vector<TLog*>& Logs_;
  const std::vector<std::vector<int32_t>>& Minutes_;  // per batch position: its RecordMinutes
  const TCrossCheckOptions& Options_;
  const std::size_t Jobs_;
  std::vector<TLogCrossCheck>& Results_;
  TCallIds Ids_;
  std::vector<TLogInfo> LogInfo_;
  std::vector<int32_t> LocalOf_;  // per batch position: its place in LogInfo_
  std::vector<TId> ActiveStations_;
  std::vector<TId> UnreadableStations_;
  std::vector<TLoggers> Loggers_;
  std::vector<TStationKind> KindOf_;  // per station: whether it has an active or an unreadable log
  std::vector<TId> Partner_;          // per record
  std::vector<uint8_t> Open_;         // per record: not yet given a verdict (bytes, written on the threads)
  std::vector<uint8_t> Fits_;         // per record of a time pair: its time fits between its confirmed neighbours
  std::vector<uint8_t> InOrder_;      // per log: its confirmed records are in time order
  std::vector<TEntry> Entries_;       // the open records, bucket by bucket
  std::vector<uint32_t> BucketBegins_;
  std::vector<TId> BucketHighs_;      // per bucket: the higher station of its pair
  std::vector<uint32_t> LowBuckets_;  // per station: the first bucket in which it is the lower
  std::vector<TBigBucket> BigBuckets_;
  std::vector<uint8_t> LeftOver_;  // per bucket: a record of it found no partner (bytes, written on the threads)
  std::string Names_;              // the calls of Ids_, one after another
  std::vector<uint32_t> NameBegins_;
  std::vector<uint64_t> Characters_;      // per call: a bit for each character it holds
  std::vector<uint32_t> WorkedByBegins_;  // per station: its first in WorkedBy_
  std::vector<TId> WorkedBy_;
};

}  // namespace

std::size_t GroupRecords(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group) {
  std::size_t records = 0;
  for (const int32_t log : group.Logs) {
    if (groups.Logs[static_cast<std::size_t>(log)].Role == TBatchRole::Active) {
      records += logs[static_cast<std::size_t>(log)]->Edi().QSOs.size();
    }
  }
  return records;
}

void MatchGroup(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
                const TBatchGroups& groups, const TBatchGroup& group, const TCrossCheckOptions& options,
                std::size_t jobs, std::vector<TLogCrossCheck>& results,
                const std::function<void(std::size_t)>& finished) {
  TGroupMatcher(logs, minutes, groups, group, options, jobs, results).Run(finished);
}

}  // namespace loggrevy
