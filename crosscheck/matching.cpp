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
  const std::string& Name(TId id) const { return *Names_[static_cast<std::size_t>(id)]; }
  std::size_t Size() const { return Names_.size(); }

 private:
  std::unordered_map<std::string, TId> Ids_;
  std::vector<const std::string*> Names_;
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

// The records of a group's active logs are numbered in order (logs in
// import order, records in log order); a record's number, its log and its
// position follow from each other through the logs' first numbers. Per record
// the matcher keeps only its partner and its place in the index, so that a
// batch of a million QSOs stays small.
class TGroupMatcher {
 public:
  TGroupMatcher(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group,
                const TCrossCheckOptions& options, std::vector<TLogCrossCheck>& results)
      : Logs_(logs), Options_(options), Results_(results) {
    Collect(groups, group);
  }

  void Run() {
    PassPartner(Options_.TimeToleranceMinutes, TVerdict::Confirmed);
    PassBustedCall();
    PassPartner(std::nullopt, TVerdict::TimeMismatch);
    PassRest();
    CheckExchanges();
    SetClocks();
  }

 private:
  struct TRange {
    uint32_t Begin;
    uint32_t End;
  };
  // An entry of the index: a record with its log's place and its minutes.
  struct TEntry {
    int32_t Local;  // the log's place among the group's active logs
    int32_t Minutes;
    uint32_t Record;
  };
  // What the exchange checks need of a log, held together for the pairs.
  struct TLogInfo {
    int32_t Log;
    TId Station;
    uint32_t First;  // the number of its first record
    TSix Locator;    // PWWLo cut to six characters, packed
    bool LocatorValid;
    bool Kvartalstest;
  };

  TQsoVerdict& VerdictOf(int32_t local, uint32_t record) {
    const TLogInfo& info = LogInfo_[static_cast<std::size_t>(local)];
    return Results_[static_cast<std::size_t>(info.Log)].Qsos[record - info.First];
  }
  const TEntry& EntryOf(uint32_t record) const { return Entries_[PlaceOf_[record]]; }

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
    uint32_t count = 0;
    for (const int32_t log : group.Logs) {
      const TBatchLog& entry = groups.Logs[static_cast<std::size_t>(log)];
      if (entry.Role != TBatchRole::Active) continue;
      const TLog& active = *Logs_[static_cast<std::size_t>(log)];
      const std::string_view locator = std::string_view(active.Edi().PWWLo).substr(0, 6);
      LogInfo_.push_back({log, Ids_.Of(entry.Station), count, PackSix(locator), IsValidLocator(locator),
                          active.Checker().Kind() == TContestKind::Kvartalstest});
      count += static_cast<uint32_t>(active.Edi().QSOs.size());
    }
    for (const TLogInfo& info : LogInfo_) ActiveStations_.push_back(info.Station);
    std::sort(ActiveStations_.begin(), ActiveStations_.end());
    std::sort(UnreadableStations_.begin(), UnreadableStations_.end());

    // The partner and the minutes of every record; the records that cannot
    // be matched get their verdict here and are never open.
    Partner_.assign(count, kNoId);
    Open_.assign(count, false);
    std::vector<int32_t> minutesOf(count, 0);
    for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
      const TLogInfo& info = LogInfo_[local];
      const TReg1Test& edi = Logs_[static_cast<std::size_t>(info.Log)]->Edi();
      TLogCrossCheck& result = Results_[static_cast<std::size_t>(info.Log)];
      result.Qsos.assign(edi.QSOs.size(), TQsoVerdict{});
      TQsoTimes times;
      for (std::size_t position = 0; position < edi.QSOs.size(); ++position) {
        const TQSORecord& q = edi.QSOs[position];
        const TId partner = PartnerOf(q);
        if (partner != kNoId) NoteLogger(partner, info.Station);
        const auto minutes = times.Minutes(q.Date.View(), q.Time.View());
        TQsoVerdict& verdict = result.Qsos[position];
        if (!minutes || partner == kNoId) {
          verdict.Verdict = TVerdict::Unverifiable;
        } else if (partner == info.Station) {
          verdict.Verdict = TVerdict::OwnCall;
        } else {
          const uint32_t record = info.First + static_cast<uint32_t>(position);
          Partner_[record] = partner;
          minutesOf[record] = static_cast<int32_t>(*minutes);
          Open_[record] = true;
        }
      }
    }
    Index(minutesOf);
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

  TId StationOf(const TEntry& entry) const { return LogInfo_[static_cast<std::size_t>(entry.Local)].Station; }

  // The open records sorted by (partner, station, time, order), so that the
  // records one station logged with one partner form a range sorted by time:
  // counted out by partner (which keeps the order), then each partner's
  // records sorted on their own.
  void Index(const std::vector<int32_t>& minutesOf) {
    const auto count = static_cast<uint32_t>(Partner_.size());
    PartnerBegins_.assign(Ids_.Size() + 1, 0);
    uint32_t open = 0;
    for (uint32_t record = 0; record < count; ++record) {
      if (!Open_[record]) continue;
      ++PartnerBegins_[static_cast<std::size_t>(Partner_[record]) + 1];
      ++open;
    }
    std::partial_sum(PartnerBegins_.begin(), PartnerBegins_.end(), PartnerBegins_.begin());
    Entries_.resize(open);
    PlaceOf_.assign(count, 0);
    {
      std::vector<uint32_t> next(PartnerBegins_.begin(), PartnerBegins_.end() - 1);
      int32_t local = 0;
      for (uint32_t record = 0; record < count; ++record) {
        while (static_cast<std::size_t>(local) + 1 < LogInfo_.size() &&
               LogInfo_[static_cast<std::size_t>(local) + 1].First <= record) {
          ++local;
        }
        if (!Open_[record]) continue;
        Entries_[next[static_cast<std::size_t>(Partner_[record])]++] = {local, minutesOf[record], record};
      }
    }
    const auto before = [&](const TEntry& a, const TEntry& b) {
      const TId sa = StationOf(a);
      const TId sb = StationOf(b);
      if (sa != sb) return sa < sb;
      if (a.Minutes != b.Minutes) return a.Minutes < b.Minutes;
      return a.Record < b.Record;
    };
    for (std::size_t partner = 0; partner < Ids_.Size(); ++partner) {
      const auto first = Entries_.begin() + PartnerBegins_[partner];
      const auto last = Entries_.begin() + PartnerBegins_[partner + 1];
      if (last - first > 1) std::sort(first, last, before);
    }
    for (uint32_t at = 0; at < open; ++at) PlaceOf_[Entries_[at].Record] = at;
    Removed_ = std::make_unique<TOpenSet>(Entries_.size());
    ClockPair_.assign(count, false);
  }

  // The records station logged with partner: within the partner's records,
  // sorted by station, the run of that station.
  std::optional<TRange> RangeOf(TId station, TId partner) const {
    const auto first = Entries_.begin() + PartnerBegins_[static_cast<std::size_t>(partner)];
    const auto last = Entries_.begin() + PartnerBegins_[static_cast<std::size_t>(partner) + 1];
    const auto begin = std::lower_bound(first, last, station, [&](const TEntry& e, TId s) { return StationOf(e) < s; });
    if (begin == last || StationOf(*begin) != station) return std::nullopt;
    auto end = begin + 1;
    // Almost always one record or a few: walk them, and search only a long run.
    while (end != last && end - begin < 8 && StationOf(*end) == station) ++end;
    if (end != last && StationOf(*end) == station) {
      end = std::upper_bound(end, last, station, [&](TId s, const TEntry& e) { return s < StationOf(e); });
    }
    return TRange{static_cast<uint32_t>(begin - Entries_.begin()), static_cast<uint32_t>(end - Entries_.begin())};
  }

  bool IsOpen(uint32_t record) const { return Open_[record]; }

  // The open record of a range nearest in time to minutes (on a tie the first
  // in order), within tolerance when one is given; its place in the index.
  std::optional<uint32_t> Nearest(TRange range, int64_t minutes, std::optional<int64_t> tolerance) {
    const auto byMinutes = [](const TEntry& e, int64_t m) { return e.Minutes < m; };
    const auto begin = Entries_.begin();
    const auto at =
        static_cast<std::size_t>(std::lower_bound(begin + range.Begin, begin + range.End, minutes, byMinutes) - begin);
    std::size_t after = Removed_->NextOpen(at);
    if (after >= range.End) after = kNone;
    std::size_t before = kNone;
    if (at > range.Begin) {
      before = Removed_->PrevOpen(at - 1);
      if (before == kNone || before < range.Begin) {
        before = kNone;
      } else {
        // The first open record at that time.
        const int64_t time = Entries_[before].Minutes;
        before = Removed_->NextOpen(static_cast<std::size_t>(
            std::lower_bound(begin + range.Begin, begin + static_cast<std::ptrdiff_t>(before), time, byMinutes) -
            begin));
      }
    }
    std::size_t best = kNone;
    if (after != kNone && before != kNone) {
      const int64_t afterDelta = Entries_[after].Minutes - minutes;
      const int64_t beforeDelta = minutes - Entries_[before].Minutes;
      best = afterDelta < beforeDelta || (afterDelta == beforeDelta && Entries_[after].Record < Entries_[before].Record)
                 ? after
                 : before;
    } else {
      best = after != kNone ? after : before;
    }
    if (best == kNone) return std::nullopt;
    if (tolerance && std::llabs(Entries_[best].Minutes - minutes) > *tolerance) return std::nullopt;
    return static_cast<uint32_t>(best);
  }

  void Pair(uint32_t q, uint32_t r) {
    Removed_->Remove(PlaceOf_[q]);
    Removed_->Remove(PlaceOf_[r]);
    Open_[q] = false;
    Open_[r] = false;
  }

  void SetEvidence(const TEntry& own, const TEntry& other, TVerdict verdict) {
    TQsoVerdict& v = VerdictOf(own.Local, own.Record);
    v.Verdict = verdict;
    v.OtherLog = LogInfo_[static_cast<std::size_t>(other.Local)].Log;
    // A record number is below 2^23 (see TQsoVerdict).
    v.OtherQso =
        static_cast<int32_t>((other.Record - LogInfo_[static_cast<std::size_t>(other.Local)].First + 1) & 0x7FFFFFu);
    v.DeltaMinutes = own.Minutes - other.Minutes;
  }

  // The exchange of every confirmed record, of the direct pass or the
  // partner's side of a busted call, checked against the other log. Done
  // after the passes, in record order, since no pass depends on it: so each
  // log's records are read straight through.
  void CheckExchanges() {
    std::unordered_map<int32_t, int32_t> localOf;
    for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
      localOf.emplace(LogInfo_[local].Log, static_cast<int32_t>(local));
    }
    for (const TLogInfo& own : LogInfo_) {
      const std::vector<TQSORecord>& qsos = Logs_[static_cast<std::size_t>(own.Log)]->Edi().QSOs;
      for (TQsoVerdict& v : Results_[static_cast<std::size_t>(own.Log)].Qsos) {
        if (v.Verdict != TVerdict::Confirmed && v.Verdict != TVerdict::ConfirmedPartnerBusted) continue;
        const TQSORecord& q =
            qsos[static_cast<std::size_t>(&v - Results_[static_cast<std::size_t>(own.Log)].Qsos.data())];
        const TLogInfo& other = LogInfo_[static_cast<std::size_t>(localOf.at(v.OtherLog))];
        if (other.LocatorValid && other.Locator != PackSix(q.RcvdWWL.View())) {
          v.Verdict = TVerdict::BustedLocator;
          continue;
        }
        const bool compare = Options_.CompareSerials || (own.Kvartalstest && other.Kvartalstest);
        if (compare && q.RcvdNr != Logs_[static_cast<std::size_t>(other.Log)]
                                       ->Edi()
                                       .QSOs[static_cast<std::size_t>(v.OtherQso - 1)]
                                       .SentNr) {
          v.Verdict = TVerdict::BustedSerial;
        }
      }
    }
  }

  // Calls visit(entry) for each open record in order.
  template <typename TVisit>
  void ForEachOpen(TVisit visit) {
    for (uint32_t q = 0; q < Open_.size(); ++q) {
      if (IsOpen(q)) visit(EntryOf(q));
    }
  }

  // The direct pass (within the tolerance) and the time pass (at any
  // difference) both pair a record with the nearest open record of its
  // partner's log that logged this log's station; both pairs count for the clock.
  void PassPartner(std::optional<int64_t> tolerance, TVerdict verdict) {
    ForEachOpen([&](const TEntry& own) {
      const auto range = RangeOf(Partner_[own.Record], StationOf(own));
      if (!range) return;
      const auto at = Nearest(*range, own.Minutes, tolerance);
      if (!at) return;
      const TEntry& other = Entries_[*at];
      Pair(own.Record, other.Record);
      SetEvidence(own, other, verdict);
      SetEvidence(other, own, verdict);
      ClockPair_[own.Record] = true;
      ClockPair_[other.Record] = true;
    });
  }

  void PassBustedCall() {
    ForEachOpen([&](const TEntry& own) {
      const TId station = StationOf(own);
      std::optional<uint32_t> best;
      int64_t bestDelta = 0;
      // The stations with a call near the one logged that logged this log's station.
      for (const TId candidate : SimilarStations(Partner_[own.Record])) {
        if (candidate == station) continue;
        const auto range = RangeOf(candidate, station);
        if (!range) continue;
        const auto at = Nearest(*range, own.Minutes, Options_.TimeToleranceMinutes);
        if (!at) continue;
        const int64_t delta = std::llabs(Entries_[*at].Minutes - own.Minutes);
        if (!best || delta < bestDelta || (delta == bestDelta && Entries_[*at].Record < Entries_[*best].Record)) {
          best = at;
          bestDelta = delta;
        }
      }
      if (!best) return;
      const TEntry& other = Entries_[*best];
      Pair(own.Record, other.Record);
      SetEvidence(own, other, TVerdict::BustedCall);
      SetEvidence(other, own, TVerdict::ConfirmedPartnerBusted);
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

  void PassRest() {
    const auto holds = [](const std::vector<TId>& sorted, TId id) {
      return std::binary_search(sorted.begin(), sorted.end(), id);
    };
    ForEachOpen([&](const TEntry& own) {
      const TId partner = Partner_[own.Record];
      TQsoVerdict& v = VerdictOf(own.Local, own.Record);
      const TLoggers& loggers = Loggers_[static_cast<std::size_t>(partner)];
      if (holds(ActiveStations_, partner)) {
        v.Verdict = TVerdict::NotInLog;
      } else if (holds(UnreadableStations_, partner)) {
        v.Verdict = TVerdict::PartnerUnreadable;
      } else if (loggers.Several || loggers.First != StationOf(own)) {
        v.Verdict = TVerdict::NoLog;
      } else {
        v.Verdict = TVerdict::Unique;
      }
    });
  }

  // The clock of each log with pairs of the direct and the time pass.
  void SetClocks() {
    std::vector<int32_t> deltas;
    for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
      const TLogInfo& info = LogInfo_[local];
      const uint32_t end =
          local + 1 < LogInfo_.size() ? LogInfo_[local + 1].First : static_cast<uint32_t>(Open_.size());
      deltas.clear();
      for (uint32_t record = info.First; record < end; ++record) {
        if (ClockPair_[record]) deltas.push_back(VerdictOf(static_cast<int32_t>(local), record).DeltaMinutes);
      }
      if (deltas.empty()) continue;
      TLogCrossCheck& result = Results_[static_cast<std::size_t>(info.Log)];
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
  std::vector<TLogInfo> LogInfo_;
  std::vector<TId> ActiveStations_;
  std::vector<TId> UnreadableStations_;
  std::vector<TLoggers> Loggers_;
  std::vector<TId> Partner_;             // per record
  std::vector<bool> Open_;               // per record
  std::vector<uint32_t> PlaceOf_;        // per record: its place in Entries_
  std::vector<TEntry> Entries_;          // the index
  std::vector<uint32_t> PartnerBegins_;  // of each partner's entries
  std::unique_ptr<TOpenSet> Removed_;    // over Entries_
  std::vector<bool> ClockPair_;          // per record: paired by the direct or the time pass
  std::unordered_map<std::string, std::vector<TId>> ByShortened_;
  std::vector<std::vector<TId>> SimilarOf_;
  std::vector<bool> SimilarKnown_;
  std::unordered_map<std::string_view, TId> ByRawCall_;
};

}  // namespace

void MatchGroup(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group,
                const TCrossCheckOptions& options, std::vector<TLogCrossCheck>& results) {
  TGroupMatcher(logs, groups, group, options, results).Run();
}

}  // namespace loggrevy
