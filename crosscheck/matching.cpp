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
  int32_t Log;       // batch index
  int32_t Position;  // 0-based record index
  TId Station;       // of its log
  TId Partner;
  int64_t Minutes;
};

// Removal from a sorted sequence with "next remaining at or after" and "last
// remaining at or before" in near-constant time (union-find with path halving).
class TOpenSet {
 public:
  explicit TOpenSet(std::size_t size) : Next_(size + 1), Prev_(size + 1) {
    std::iota(Next_.begin(), Next_.end(), 0u);
    std::iota(Prev_.begin(), Prev_.end(), 0u);
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
    Next_[at] = at + 1;
    Prev_[at + 1] = at;
  }

 private:
  std::vector<std::size_t> Next_;
  std::vector<std::size_t> Prev_;
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

class TGroupMatcher {
 public:
  TGroupMatcher(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group,
                const TCrossCheckOptions& options, std::vector<TLogCrossCheck>& results)
      : Logs_(logs), Options_(options), Results_(results) {
    Collect(groups, group);
    Index();
  }

  void Run() {
    PassDirect();
    PassBustedCall();
    PassTime();
    PassRest();
    for (const auto& [log, deltas] : ClockDeltas_) SetClock(log, deltas);
  }

 private:
  struct TRange {
    std::size_t Begin;
    std::size_t End;
  };
  struct TStationRange {
    TId Station;
    TRange Range;
  };

  TQsoVerdict& VerdictOf(const TRecord& r) {
    return Results_[static_cast<std::size_t>(r.Log)].Qsos[static_cast<std::size_t>(r.Position)];
  }
  const TQSORecord& QsoOf(const TRecord& r) const {
    return Logs_[static_cast<std::size_t>(r.Log)]->Edi().QSOs[static_cast<std::size_t>(r.Position)];
  }

  void Collect(const TBatchGroups& groups, const TBatchGroup& group) {
    for (const int32_t member : group.Unreadable) {
      if (const TId id = Ids_.Of(groups.Logs[static_cast<std::size_t>(member)].Station); id != kNoId) {
        UnreadableStations_.push_back(id);
      }
    }
    for (const int32_t log : group.Logs) {
      const TBatchLog& entry = groups.Logs[static_cast<std::size_t>(log)];
      if (entry.Role != TBatchRole::Active) continue;
      const TId station = Ids_.Of(entry.Station);
      ActiveStations_.push_back(station);
      const TReg1Test& edi = Logs_[static_cast<std::size_t>(log)]->Edi();
      TLogCrossCheck& result = Results_[static_cast<std::size_t>(log)];
      result.Qsos.assign(edi.QSOs.size(), TQsoVerdict{});
      for (std::size_t position = 0; position < edi.QSOs.size(); ++position) {
        const TQSORecord& q = edi.QSOs[position];
        const TId partner = Ids_.Of(StationKey(q.Call.View()));
        if (partner != kNoId) NoteLogger(partner, station);
        const auto minutes = QsoMinutes(q.Date.View(), q.Time.View());
        TQsoVerdict& verdict = result.Qsos[position];
        if (!minutes || partner == kNoId) {
          verdict.Verdict = TVerdict::Unverifiable;
        } else if (partner == station) {
          verdict.Verdict = TVerdict::OwnCall;
        } else {
          Records_.push_back({log, static_cast<int32_t>(position), station, partner, *minutes});
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
  // records one station logged with one partner form a range sorted by time.
  void Index() {
    Sorted_.resize(Records_.size());
    std::iota(Sorted_.begin(), Sorted_.end(), 0u);
    std::sort(Sorted_.begin(), Sorted_.end(), [&](uint32_t a, uint32_t b) {
      const TRecord& ra = Records_[a];
      const TRecord& rb = Records_[b];
      if (ra.Partner != rb.Partner) return ra.Partner < rb.Partner;
      if (ra.Station != rb.Station) return ra.Station < rb.Station;
      if (ra.Minutes != rb.Minutes) return ra.Minutes < rb.Minutes;
      return a < b;
    });
    PlaceOf_.resize(Records_.size());
    SortedMinutes_.resize(Records_.size());
    for (std::size_t at = 0; at < Sorted_.size(); ++at) {
      PlaceOf_[Sorted_[at]] = at;
      SortedMinutes_[at] = Records_[Sorted_[at]].Minutes;
    }
    ByPartner_.resize(Ids_.Size());
    for (std::size_t begin = 0; begin < Sorted_.size();) {
      const TRecord& first = Records_[Sorted_[begin]];
      std::size_t end = begin;
      while (end < Sorted_.size() && Records_[Sorted_[end]].Partner == first.Partner &&
             Records_[Sorted_[end]].Station == first.Station) {
        ++end;
      }
      ByPartner_[static_cast<std::size_t>(first.Partner)].push_back({first.Station, {begin, end}});
      begin = end;
    }
    Open_ = std::make_unique<TOpenSet>(Sorted_.size());
  }

  // The records station logged with partner.
  std::optional<TRange> RangeOf(TId station, TId partner) const {
    const auto& ranges = ByPartner_[static_cast<std::size_t>(partner)];
    const auto found = std::lower_bound(ranges.begin(), ranges.end(), station,
                                        [](const TStationRange& r, TId s) { return r.Station < s; });
    if (found == ranges.end() || found->Station != station) return std::nullopt;
    return found->Range;
  }

  bool IsOpen(uint32_t record) { return Open_->NextOpen(PlaceOf_[record]) == PlaceOf_[record]; }

  // The open record of a range nearest in time to minutes (on a tie the first
  // in order), within tolerance when one is given.
  std::optional<uint32_t> Nearest(TRange range, int64_t minutes, std::optional<int64_t> tolerance) {
    const auto begin = SortedMinutes_.begin();
    const std::size_t at = static_cast<std::size_t>(
        std::lower_bound(begin + static_cast<std::ptrdiff_t>(range.Begin), begin + static_cast<std::ptrdiff_t>(range.End),
                         minutes) -
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
        before = Open_->NextOpen(static_cast<std::size_t>(
            std::lower_bound(begin + static_cast<std::ptrdiff_t>(range.Begin), begin + static_cast<std::ptrdiff_t>(before),
                             time) -
            begin));
      }
    }
    std::size_t best = kNone;
    if (after != kNone && before != kNone) {
      const int64_t afterDelta = SortedMinutes_[after] - minutes;
      const int64_t beforeDelta = minutes - SortedMinutes_[before];
      best = afterDelta < beforeDelta || (afterDelta == beforeDelta && Sorted_[after] < Sorted_[before]) ? after : before;
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
  }

  void SetEvidence(uint32_t record, uint32_t other, TVerdict verdict) {
    const TRecord& own = Records_[record];
    const TRecord& partner = Records_[other];
    TQsoVerdict& v = VerdictOf(own);
    v.Verdict = verdict;
    v.OtherLog = partner.Log;
    v.OtherQso = partner.Position + 1;
    v.DeltaMinutes = static_cast<int32_t>(own.Minutes - partner.Minutes);
  }

  // The exchange of a confirmed record checked against the other log.
  void CheckExchange(uint32_t record) {
    TQsoVerdict& v = VerdictOf(Records_[record]);
    const TLog& other = *Logs_[static_cast<std::size_t>(v.OtherLog)];
    const TLog& own = *Logs_[static_cast<std::size_t>(Records_[record].Log)];
    const TQSORecord& q = QsoOf(Records_[record]);
    const std::string_view locator = std::string_view(other.Edi().PWWLo).substr(0, 6);
    if (IsValidLocator(locator) && locator != q.RcvdWWL.View().substr(0, 6)) {
      v.Verdict = TVerdict::BustedLocator;
      return;
    }
    const bool compare = Options_.CompareSerials || (own.Checker().Kind() == TContestKind::Kvartalstest &&
                                                     other.Checker().Kind() == TContestKind::Kvartalstest);
    if (compare && q.RcvdNr != other.Edi().QSOs[static_cast<std::size_t>(v.OtherQso - 1)].SentNr) {
      v.Verdict = TVerdict::BustedSerial;
    }
  }

  void NoteClock(uint32_t record) {
    ClockDeltas_[Records_[record].Log].push_back(VerdictOf(Records_[record]).DeltaMinutes);
  }

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
      CheckExchange(q);
      CheckExchange(*r);
      NoteClock(q);
      NoteClock(*r);
    });
  }

  void PassBustedCall() {
    ForEachOpen([&](uint32_t q) {
      const TRecord& record = Records_[q];
      const std::string& logged = Ids_.Name(record.Partner);
      std::optional<uint32_t> best;
      int64_t bestDelta = 0;
      // The stations that logged this log's station, under a call near the one logged.
      for (const TStationRange& candidate : ByPartner_[static_cast<std::size_t>(record.Station)]) {
        if (candidate.Station == record.Station || candidate.Station == record.Partner) continue;
        if (!Similar(logged, Ids_.Name(candidate.Station))) continue;
        const auto r = Nearest(candidate.Range, record.Minutes, Options_.TimeToleranceMinutes);
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
      CheckExchange(*best);
    });
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

  void SetClock(int32_t log, std::vector<int32_t> deltas) {
    TLogCrossCheck& result = Results_[static_cast<std::size_t>(log)];
    result.ClockPairs = static_cast<int32_t>(deltas.size());
    if (deltas.size() < 3) return;
    std::sort(deltas.begin(), deltas.end());
    result.ClockOffsetMinutes = deltas[(deltas.size() - 1) / 2];
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
  std::vector<std::size_t> PlaceOf_;
  std::vector<int64_t> SortedMinutes_;
  std::vector<std::vector<TStationRange>> ByPartner_;
  std::unique_ptr<TOpenSet> Open_;
  std::unordered_map<int32_t, std::vector<int32_t>> ClockDeltas_;
};

}  // namespace

void MatchGroup(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group,
                const TCrossCheckOptions& options, std::vector<TLogCrossCheck>& results) {
  TGroupMatcher(logs, groups, group, options, results).Run();
}

}  // namespace loggrevy
