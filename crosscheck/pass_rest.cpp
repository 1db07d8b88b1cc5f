#include "core/locator.h"
#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

// A record that only its own log's station logged, at a place where at
// least two other stations logged a call one character from it: most
// likely that call, miscopied. Such records are few, and only the records
// received at their places are read.
void TGroupMatcher::PassProbableBustedCall() {
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

TVerdict TGroupMatcher::RestVerdict(TId partner, TId station) const {
  const TStationKind kind = KindOf_[static_cast<std::size_t>(partner)];
  if (kind == TStationKind::Active) return TVerdict::NotInLog;
  if (kind == TStationKind::Unreadable) return TVerdict::PartnerUnreadable;
  const TLoggers& loggers = Loggers_[static_cast<std::size_t>(partner)];
  if (loggers.Several || loggers.First != station) return TVerdict::NoLog;
  return TVerdict::Unique;
}

}  // namespace loggrevy::matching
