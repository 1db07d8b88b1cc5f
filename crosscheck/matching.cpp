#include "crosscheck/matching.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <unordered_map>

#include "core/locator.h"
#include "crosscheck/keys.h"

namespace loggrevy {
namespace {

using TId = int32_t;
constexpr TId kNoId = -1;

// Calls of one group as small numbers.
class TCallIds {
 public:
  TId Of(std::string key) {
    if (key.empty()) return kNoId;
    const auto [place, added] = Ids_.try_emplace(std::move(key), static_cast<TId>(Names_.size()));
    if (added) Names_.push_back(&place->first);
    return place->second;
  }
  TId Find(const std::string& key) const {
    const auto found = Ids_.find(key);
    return found == Ids_.end() ? kNoId : found->second;
  }
  const std::string& Name(TId id) const { return *Names_[static_cast<std::size_t>(id)]; }
  std::size_t Size() const { return Names_.size(); }

 private:
  std::unordered_map<std::string, TId> Ids_;
  std::vector<const std::string*> Names_;
};

// One QSO record of an active log, numbered in order (logs in import order,
// records in log order).
struct TRecord {
  int32_t Position;  // 0-based record index
  TId Station;       // of its log
  TId Partner;
  int32_t Minutes;      // a known time lies in 1950..2049
  int32_t Local;        // the log's place among the active logs of the group
  uint32_t RcvdWwl[2];  // the received locator cut to six characters, packed
};

// Up to six bytes and their count in two numbers, so that equal numbers mean
// equal texts.
struct TSix {
  uint32_t Low;
  uint32_t High;
  bool operator==(const TSix&) const = default;
};
TSix PackSix(std::string_view text) {
  text = text.substr(0, 6);
  uint64_t packed = uint64_t{text.size()} << 56;
  for (std::size_t i = 0; i < text.size(); ++i) packed |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  return {static_cast<uint32_t>(packed), static_cast<uint32_t>(packed >> 32)};
}

// Removal from a sorted sequence with "next remaining at or after" and "last
// remaining at or before" in near-constant time (union-find with path halving).
class TOpenSet {
 public:
  explicit TOpenSet(std::size_t size) : Next_(size + 1), Prev_(size + 1) {
    std::iota(Next_.begin(), Next_.end(), uint32_t{0});
    std::iota(Prev_.begin(), Prev_.end(), uint32_t{0});
  }
  // The first open position >= at, or size().
  std::size_t NextOpen(std::size_t at) {
    while (Next_[at] != at) at = Next_[at] = Next_[Next_[at]];
    return at;
  }
  // The last open position <= at, or npos (positions are shifted by one inside).
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

class TGroupMatcher {
 public:
  TGroupMatcher(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group,
                const TCrossCheckOptions& options, std::vector<TLogCrossCheck>& results)
      : Logs_(logs), Options_(options), Results_(results) {
    Collect(groups, group);
    Index();
    // Made after the sort keys are gone, which keeps the peak lower.
    Open_ = std::make_unique<TOpenSet>(Records_.size());
    Paired_.assign(Records_.size(), false);
    ClockPair_.assign(Records_.size(), false);
  }

  void Run() {
    PassDirect();
    PassBustedCall();
    PassTime();
    PassRest();
    SetClocks();
  }

 private:
  struct TRange {
    uint32_t Begin;
    uint32_t End;
  };
  struct TStationRange {
    TId Station;
    uint32_t Begin;
  };

  int32_t LogOf(const TRecord& r) const { return LogInfo_[static_cast<std::size_t>(r.Local)].Log; }
  TQsoVerdict& VerdictOf(const TRecord& r) {
    return Results_[static_cast<std::size_t>(LogOf(r))].Qsos[static_cast<std::size_t>(r.Position)];
  }
  const TQSORecord& QsoOf(const TRecord& r) const {
    return Logs_[static_cast<std::size_t>(LogOf(r))]->Edi().QSOs[static_cast<std::size_t>(r.Position)];
  }
  // What the exchange checks need of a log, held together for the pairs.
  struct TLogInfo {
    int32_t Log;
    TSix Locator;  // PWWLo cut to six characters, packed
    bool LocatorValid;
    bool Kvartalstest;
  };

  TId PartnerOf(const TQSORecord& q) {
    const auto [place, added] = ByRawCall_.try_emplace(q.Call.View(), kNoId);
    if (added) place->second = Ids_.Of(StationKey(q.Call.View()));
    return place->second;
  }

  void Collect(const TBatchGroups& groups, const TBatchGroup& group) {
    for (const int32_t member : group.Unreadable) {
      if (const TId id = Ids_.Of(groups.Logs[static_cast<std::size_t>(member)].Station); id != kNoId) {
        UnreadableStations_.push_back(id);
      }
    }
    std::size_t total = 0;
    for (const int32_t log : group.Logs) {
      if (groups.Logs[static_cast<std::size_t>(log)].Role == TBatchRole::Active) {
        total += Logs_[static_cast<std::size_t>(log)]->Edi().QSOs.size();
      }
    }
    Records_.reserve(total);
    for (const int32_t log : group.Logs) {
      const TBatchLog& entry = groups.Logs[static_cast<std::size_t>(log)];
      if (entry.Role != TBatchRole::Active) continue;
      const TId station = Ids_.Of(entry.Station);
      ActiveStations_.push_back(station);
      const TLog& active = *Logs_[static_cast<std::size_t>(log)];
      const TReg1Test& edi = active.Edi();
      const auto local = static_cast<int32_t>(LogInfo_.size());
      const std::string_view locator = std::string_view(edi.PWWLo).substr(0, 6);
      LogInfo_.push_back(
          {log, PackSix(locator), IsValidLocator(locator), active.Checker().Kind() == TContestKind::Kvartalstest});
      TLogCrossCheck& result = Results_[static_cast<std::size_t>(log)];
      result.Qsos.assign(edi.QSOs.size(), TQsoVerdict{});
      TQsoTimes times;
      for (std::size_t position = 0; position < edi.QSOs.size(); ++position) {
        const TQSORecord& q = edi.QSOs[position];
        const TId partner = PartnerOf(q);
        if (partner != kNoId) NoteLogger(partner, station);
        const auto minutes = times.Minutes(q.Date.View(), q.Time.View());
        TQsoVerdict& verdict = result.Qsos[position];
        if (!minutes || partner == kNoId) {
          verdict.Verdict = TVerdict::Unverifiable;
        } else if (partner == station) {
          verdict.Verdict = TVerdict::OwnCall;
        } else {
          const TSix wwl = PackSix(q.RcvdWWL.View());
          Records_.push_back({static_cast<int32_t>(position),
                              station,
                              partner,
                              static_cast<int32_t>(*minutes),
                              local,
                              {wwl.Low, wwl.High}});
        }
      }
    }
    std::sort(ActiveStations_.begin(), ActiveStations_.end());
    std::sort(UnreadableStations_.begin(), UnreadableStations_.end());
  }

  // Which stations log a partner: the first, and whether there are others.
  void NoteLogger(TId partner, TId station) {
    if (Loggers_.size() <= static_cast<std::size_t>(partner)) Loggers_.resize(static_cast<std::size_t>(partner) + 1);
    TLoggers& loggers = Loggers_[static_cast<std::size_t>(partner)];
    if (loggers.First == kNoId) {
      loggers.First = station;
    } else if (loggers.First != station) {
      loggers.Several = true;
    }
  }

  // The open records sorted by (partner, station, time, order), so that the
  // records one station logged with one partner form a range sorted by time:
  // first counted out by partner (which keeps the order), then each partner's
  // records sorted on their own.
  void Index() {
    const auto count = static_cast<uint32_t>(Records_.size());
    PartnerBegins_.assign(Ids_.Size() + 1, 0);
    for (const TRecord& r : Records_) ++PartnerBegins_[static_cast<std::size_t>(r.Partner) + 1];
    std::partial_sum(PartnerBegins_.begin(), PartnerBegins_.end(), PartnerBegins_.begin());
    struct TKey {
      TId Station;
      int32_t Minutes;
      uint32_t Record;
    };
    std::vector<TKey> keys(count);
    {
      std::vector<uint32_t> next(PartnerBegins_.begin(), PartnerBegins_.end() - 1);
      for (uint32_t record = 0; record < count; ++record) {
        const TRecord& r = Records_[record];
        keys[next[static_cast<std::size_t>(r.Partner)]++] = {r.Station, r.Minutes, record};
      }
    }
    Sorted_.resize(count);
    PlaceOf_.resize(count);
    SortedMinutes_.resize(count);
    RangeBegins_.assign(Ids_.Size() + 1, 0);
    Ranges_.reserve(count);
    for (std::size_t partner = 0; partner < Ids_.Size(); ++partner) {
      RangeBegins_[partner] = static_cast<uint32_t>(Ranges_.size());
      const uint32_t begin = PartnerBegins_[partner];
      const uint32_t end = PartnerBegins_[partner + 1];
      std::sort(keys.begin() + begin, keys.begin() + end, [](const TKey& a, const TKey& b) {
        if (a.Station != b.Station) return a.Station < b.Station;
        if (a.Minutes != b.Minutes) return a.Minutes < b.Minutes;
        return a.Record < b.Record;
      });
      for (uint32_t at = begin; at < end; ++at) {
        const TKey& key = keys[at];
        Sorted_[at] = key.Record;
        PlaceOf_[key.Record] = at;
        SortedMinutes_[at] = key.Minutes;
        if (at == begin || key.Station != keys[at - 1].Station) Ranges_.push_back({key.Station, at});
      }
    }
    RangeBegins_[Ids_.Size()] = static_cast<uint32_t>(Ranges_.size());
  }

  // The records station logged with partner: its partner's ranges are sorted
  // by station, and each ends where the next begins.
  std::optional<TRange> RangeOf(TId station, TId partner) const {
    const auto first = Ranges_.begin() + RangeBegins_[static_cast<std::size_t>(partner)];
    const auto last = Ranges_.begin() + RangeBegins_[static_cast<std::size_t>(partner) + 1];
    const auto found =
        std::lower_bound(first, last, station, [](const TStationRange& r, TId s) { return r.Station < s; });
    if (found == last || found->Station != station) return std::nullopt;
    const uint32_t end = found + 1 == last ? PartnerBegins_[static_cast<std::size_t>(partner) + 1] : (found + 1)->Begin;
    return TRange{found->Begin, end};
  }

  // In record order, so that the passes read it straight through.
  bool IsOpen(uint32_t record) const { return !Paired_[record]; }

  // The open record of a range nearest in time to minutes (on a tie the first
  // in order), within tolerance when one is given.
  std::optional<uint32_t> Nearest(TRange range, int64_t minutes, std::optional<int64_t> tolerance) {
    const auto begin = SortedMinutes_.begin();
    const std::size_t at =
        static_cast<std::size_t>(std::lower_bound(begin + static_cast<std::ptrdiff_t>(range.Begin),
                                                  begin + static_cast<std::ptrdiff_t>(range.End), minutes) -
                                 begin);
    std::size_t after = Open_->NextOpen(at);
    if (after >= range.End) after = kNone;
    std::size_t before = kNone;
    if (at > range.Begin) {
      before = Open_->PrevOpen(at - 1);
      if (before == kNone || before < range.Begin) {
        before = kNone;
      } else {
        // The first open record at that time.
        const int64_t time = SortedMinutes_[before];
        before = Open_->NextOpen(
            static_cast<std::size_t>(std::lower_bound(begin + static_cast<std::ptrdiff_t>(range.Begin),
                                                      begin + static_cast<std::ptrdiff_t>(before), time) -
                                     begin));
      }
    }
    std::size_t best = kNone;
    if (after != kNone && before != kNone) {
      const int64_t afterDelta = SortedMinutes_[after] - minutes;
      const int64_t beforeDelta = minutes - SortedMinutes_[before];
      best =
          afterDelta < beforeDelta || (afterDelta == beforeDelta && Sorted_[after] < Sorted_[before]) ? after : before;
    } else {
      best = after != kNone ? after : before;
    }
    if (best == kNone) return std::nullopt;
    if (tolerance && std::llabs(SortedMinutes_[best] - minutes) > *tolerance) return std::nullopt;
    return Sorted_[best];
  }

  void Pair(uint32_t q, uint32_t r) {
    Open_->Remove(PlaceOf_[q]);
    Open_->Remove(PlaceOf_[r]);
    Paired_[q] = true;
    Paired_[r] = true;
  }

  void SetEvidence(uint32_t record, uint32_t other, TVerdict verdict) {
    const TRecord& own = Records_[record];
    const TRecord& partner = Records_[other];
    TQsoVerdict& v = VerdictOf(own);
    v.Verdict = verdict;
    v.OtherLog = LogOf(partner);
    v.OtherQso = partner.Position + 1;
    v.DeltaMinutes = own.Minutes - partner.Minutes;
  }

  // The exchange of a confirmed record checked against the other log.
  void CheckExchange(uint32_t record, uint32_t other) {
    const TRecord& own = Records_[record];
    const TRecord& partner = Records_[other];
    const TLogInfo& otherLog = LogInfo_[static_cast<std::size_t>(partner.Local)];
    TQsoVerdict& v = VerdictOf(own);
    if (otherLog.LocatorValid && otherLog.Locator != TSix{own.RcvdWwl[0], own.RcvdWwl[1]}) {
      v.Verdict = TVerdict::BustedLocator;
      return;
    }
    const bool compare = Options_.CompareSerials ||
                         (LogInfo_[static_cast<std::size_t>(own.Local)].Kvartalstest && otherLog.Kvartalstest);
    if (compare && QsoOf(own).RcvdNr != QsoOf(partner).SentNr) v.Verdict = TVerdict::BustedSerial;
  }

  void NoteClock(uint32_t record) { ClockPair_[record] = true; }

  template <typename TVisit>
  void ForEachOpen(TVisit visit) {
    for (uint32_t q = 0; q < Records_.size(); ++q) {
      if (IsOpen(q)) visit(q);
    }
  }

  void PassDirect() {
    ForEachOpen([&](uint32_t q) {
      const TRecord& record = Records_[q];
      const auto range = RangeOf(record.Partner, record.Station);
      if (!range) return;
      const auto r = Nearest(*range, record.Minutes, Options_.TimeToleranceMinutes);
      if (!r) return;
      Pair(q, *r);
      SetEvidence(q, *r, TVerdict::Confirmed);
      SetEvidence(*r, q, TVerdict::Confirmed);
      CheckExchange(q, *r);
      CheckExchange(*r, q);
      NoteClock(q);
      NoteClock(*r);
    });
  }

  void PassBustedCall() {
    ForEachOpen([&](uint32_t q) {
      const TRecord& record = Records_[q];
      std::optional<uint32_t> best;
      int64_t bestDelta = 0;
      // The stations with a call near the one logged that logged this log's station.
      for (const TId station : SimilarStations(record.Partner)) {
        if (station == record.Station) continue;
        const auto range = RangeOf(station, record.Station);
        if (!range) continue;
        const auto r = Nearest(*range, record.Minutes, Options_.TimeToleranceMinutes);
        if (!r) continue;
        const int64_t delta = std::llabs(Records_[*r].Minutes - record.Minutes);
        if (!best || delta < bestDelta || (delta == bestDelta && *r < *best)) {
          best = r;
          bestDelta = delta;
        }
      }
      if (!best) return;
      Pair(q, *best);
      SetEvidence(q, *best, TVerdict::BustedCall);
      SetEvidence(*best, q, TVerdict::ConfirmedPartnerBusted);
      CheckExchange(*best, q);
    });
  }

  // The active stations whose call is Similar to the call of id, found
  // without comparing it with every call: two calls one edit apart (a
  // replaced, inserted or deleted character, or two neighbours swapped) share
  // a text with one character left out, or one is the other with one left
  // out. The candidates found so are then tested with Similar itself.
  const std::vector<TId>& SimilarStations(TId id) {
    if (SimilarOf_.empty()) {
      SimilarOf_.resize(Ids_.Size());
      SimilarKnown_.resize(Ids_.Size());
      std::vector<TId> stations = ActiveStations_;
      stations.erase(std::unique(stations.begin(), stations.end()), stations.end());
      for (const TId station : stations) {
        const std::string& call = Ids_.Name(station);
        if (call.size() < 3) continue;
        ByShortened_[call].push_back(station);
        ForEachShortened(call, [&](const std::string& shortened) { ByShortened_[shortened].push_back(station); });
      }
    }
    std::vector<TId>& similar = SimilarOf_[static_cast<std::size_t>(id)];
    if (SimilarKnown_[static_cast<std::size_t>(id)]) return similar;
    SimilarKnown_[static_cast<std::size_t>(id)] = true;
    const std::string& call = Ids_.Name(id);
    if (call.size() < 3) return similar;
    const auto collect = [&](const std::string& key) {
      const auto found = ByShortened_.find(key);
      if (found != ByShortened_.end()) similar.insert(similar.end(), found->second.begin(), found->second.end());
    };
    collect(call);
    ForEachShortened(call, collect);
    std::sort(similar.begin(), similar.end());
    similar.erase(std::unique(similar.begin(), similar.end()), similar.end());
    similar.erase(
        std::remove_if(similar.begin(), similar.end(), [&](TId station) { return !Similar(call, Ids_.Name(station)); }),
        similar.end());
    return similar;
  }

  template <typename TVisit>
  static void ForEachShortened(const std::string& call, TVisit visit) {
    std::string shortened;
    for (std::size_t at = 0; at < call.size(); ++at) {
      shortened.assign(call, 0, at);
      shortened.append(call, at + 1);
      visit(shortened);
    }
  }

  void PassTime() {
    ForEachOpen([&](uint32_t q) {
      const TRecord& record = Records_[q];
      const auto range = RangeOf(record.Partner, record.Station);
      if (!range) return;
      const auto r = Nearest(*range, record.Minutes, std::nullopt);
      if (!r) return;
      Pair(q, *r);
      SetEvidence(q, *r, TVerdict::TimeMismatch);
      SetEvidence(*r, q, TVerdict::TimeMismatch);
      NoteClock(q);
      NoteClock(*r);
    });
  }

  void PassRest() {
    const auto holds = [](const std::vector<TId>& sorted, TId id) {
      return std::binary_search(sorted.begin(), sorted.end(), id);
    };
    ForEachOpen([&](uint32_t q) {
      const TRecord& record = Records_[q];
      TQsoVerdict& v = VerdictOf(record);
      const TLoggers& loggers = Loggers_[static_cast<std::size_t>(record.Partner)];
      if (holds(ActiveStations_, record.Partner)) {
        v.Verdict = TVerdict::NotInLog;
      } else if (holds(UnreadableStations_, record.Partner)) {
        v.Verdict = TVerdict::PartnerUnreadable;
      } else if (loggers.Several || loggers.First != record.Station) {
        v.Verdict = TVerdict::NoLog;
      } else {
        v.Verdict = TVerdict::Unique;
      }
    });
  }

  // The clock of each log with pairs of the direct and the time pass, from
  // its records, which lie together in order.
  void SetClocks() {
    std::vector<int32_t> deltas;
    for (std::size_t begin = 0; begin < Records_.size();) {
      const int32_t local = Records_[begin].Local;
      deltas.clear();
      std::size_t end = begin;
      for (; end < Records_.size() && Records_[end].Local == local; ++end) {
        if (ClockPair_[end]) deltas.push_back(VerdictOf(Records_[end]).DeltaMinutes);
      }
      begin = end;
      if (deltas.empty()) continue;
      TLogCrossCheck& result = Results_[static_cast<std::size_t>(LogOf(Records_[end - 1]))];
      result.ClockPairs = static_cast<int32_t>(deltas.size());
      if (deltas.size() < 3) continue;
      std::sort(deltas.begin(), deltas.end());
      result.ClockOffsetMinutes = deltas[(deltas.size() - 1) / 2];
    }
  }

  struct TLoggers {
    TId First = kNoId;
    bool Several = false;
  };

  const std::vector<TLog*>& Logs_;
  const TCrossCheckOptions& Options_;
  std::vector<TLogCrossCheck>& Results_;
  TCallIds Ids_;
  std::vector<TId> ActiveStations_;
  std::vector<TId> UnreadableStations_;
  std::vector<TLoggers> Loggers_;
  std::vector<TRecord> Records_;
  std::vector<uint32_t> Sorted_;
  std::vector<uint32_t> PlaceOf_;
  std::vector<int32_t> SortedMinutes_;
  std::vector<uint32_t> PartnerBegins_;  // of each partner's records in sorted order
  std::vector<TStationRange> Ranges_;    // per partner, per station that logged it
  std::vector<uint32_t> RangeBegins_;    // of each partner's ranges
  std::unique_ptr<TOpenSet> Open_;
  std::vector<bool> Paired_;
  std::unordered_map<std::string, std::vector<TId>> ByShortened_;
  std::vector<std::vector<TId>> SimilarOf_;
  std::vector<bool> SimilarKnown_;
  std::vector<TLogInfo> LogInfo_;
  std::unordered_map<std::string_view, TId> ByRawCall_;
  std::vector<bool> ClockPair_;  // in record order: paired by the direct or the time pass
};

}  // namespace

void MatchGroup(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group,
                const TCrossCheckOptions& options, std::vector<TLogCrossCheck>& results) {
  TGroupMatcher(logs, groups, group, options, results).Run();
}

}  // namespace loggrevy
