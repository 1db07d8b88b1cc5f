#pragma once

// The matcher of one group of logs, whose rules each have a file of their
// own: the index and its buckets (match_index.cpp), the direct and the time
// pass (pass_direct_and_time.cpp), the busted-call pass (pass_busted_call.cpp),
// the rest (pass_rest.cpp), who is at fault in a time pair
// (who_is_at_fault.cpp), and the exchange and the counts (matching.cpp).

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "crosscheck/call_table.h"
#include "crosscheck/keys.h"
#include "crosscheck/matching.h"
#include "crosscheck/qso_time.h"
#include "model/ordered_work.h"

namespace loggrevy::matching {

using TId = int32_t;
inline constexpr TId kNoId = -1;

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
inline uint64_t PackSix(std::string_view text) {
  text = text.substr(0, 6);
  uint64_t packed = uint64_t{text.size()} << 56;
  for (std::size_t i = 0; i < text.size(); ++i) packed |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  return packed;
}
// The same for a received locator, read in one load of its buffer.
inline uint64_t PackSix(const TShortText<8>& text) {
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

inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// No place in the index, or no bucket. (Plain numbers: an optional returned
// from the hot searches costs a stall each time.)
inline constexpr uint32_t kNoPlace = static_cast<uint32_t>(-1);
inline constexpr int64_t kAnyDifference = std::numeric_limits<int64_t>::max();

// Buckets of at most this many records are searched straight through.
inline constexpr uint32_t kSmallBucket = 16;

// The calls a group's table has room for from the start, at most.
inline constexpr std::size_t kReservedCalls = 16384;

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
                std::size_t jobs, std::vector<TLogCrossCheck>& results);

  void Run(const std::function<void(std::size_t)>& finished);

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

  // Shared by the passes.
  int32_t MinutesAt(std::size_t local, uint32_t position) const {
    return Minutes_[static_cast<std::size_t>(LogInfo_[local].Log)][position];
  }
  uint32_t EndOf(std::size_t local) const {
    return local + 1 < LogInfo_.size() ? LogInfo_[local + 1].First : static_cast<uint32_t>(Open_.size());
  }
  uint32_t BucketCount() const { return static_cast<uint32_t>(BucketHighs_.size()); }
  const TQSORecord& QsoOf(std::size_t local, uint32_t position) const {
    return Logs_[static_cast<std::size_t>(LogInfo_[local].Log)]->Edi().QSOs[position];
  }
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

  // The index and its buckets (match_index.cpp).
  // The calls one slice of logs met, numbered in the order met.
  struct TSliceCalls {
    TCallTable<TId> Numbers;            // the call as logged -> its number
    std::vector<std::string> Stations;  // per number: the station it stands for
    std::vector<TLoggers> Loggers;      // per number: which stations logged it
    std::vector<TId> Global;            // per number: the group's number of the station
  };
  void Collect(const TBatchGroups& groups, const TBatchGroup& group);
  void ReadSlice(std::size_t slice, std::size_t slices, TSliceCalls& calls);
  void ReadAlone();
  std::size_t SortSlices(std::size_t count) const;
  static void ToPlaces(std::vector<uint32_t>& counts, std::size_t slices, std::size_t keys);
  void Index();
  void MakeVerdicts();
  void SortBig(TBigBucket& big);
  TBigBucket& BigOf(uint32_t bucket);
  uint32_t BucketOf(TId a, TId b) const;
  uint32_t Nearest(uint32_t bucket, uint32_t side, int32_t minutes, int64_t tolerance);
  std::size_t NearestInBig(TBigBucket& big, uint32_t side, int32_t minutes);

  // The direct and the time pass (pass_direct_and_time.cpp).
  enum class TBuckets : uint8_t { All, LeftOver };
  void PassPartner(int64_t tolerance, TVerdict verdict, TBuckets buckets);

  // The busted-call pass, by similar calls and by serial numbers (pass_busted_call.cpp).
  void PassBustedCall();
  void PassBustedSerial();
  void KeepNames();
  bool MayFindBustedCall(TId station, uint32_t record, int32_t minutes) const;
  void FindWorkedBy();
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
  std::span<const TId> WorkedBy(TId station) const {
    return std::span<const TId>(WorkedBy_).subspan(
        WorkedByBegins_[static_cast<std::size_t>(station)],
        WorkedByBegins_[static_cast<std::size_t>(station) + 1] - WorkedByBegins_[static_cast<std::size_t>(station)]);
  }

  // The records left open (pass_rest.cpp).
  TVerdict RestVerdict(TId partner, TId station) const;
  void PassProbableBustedCall();

  // Who is at fault in a time pair (who_is_at_fault.cpp).
  void Clock(std::size_t local);
  void Places(std::size_t local);
  bool ClockWrong(const std::optional<int32_t>& offset, int64_t delta) const;
  bool OtherAtFault(std::size_t local, uint32_t record, const TQsoVerdict& v) const;

  // The exchange of each pair and what partners lose (matching.cpp).
  void FinishLog(std::size_t local);
  void CountPartnerRecords();

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
  std::vector<std::vector<uint32_t>> TimePairs_;  // per log: the positions of its time pairs
  std::vector<uint8_t> InOrder_;                  // per log: its confirmed records are in time order
  std::vector<TEntry> Entries_;                   // the open records, bucket by bucket
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

}  // namespace loggrevy::matching
