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
    const uint32_t end = EndOf(local);
    for (uint32_t record = info.First; record < end; ++record) {
      if (!Open_[record] || RestVerdict(Partner_[record], info.Station) != TVerdict::Unique) continue;
      const TQSORecord& q = QsoOf(local, record - info.First);
      if (!IsValidLocator(q.RcvdWWL.View().substr(0, 6))) continue;
      lonely.push_back({PackSix(q.RcvdWWL), static_cast<uint32_t>(local), record});
    }
  }
  if (lonely.empty()) return;
  // The places of the lonely records with the call each logged, and the
  // names of the calls for a quick look at which logged call may be near.
  std::vector<std::pair<uint64_t, TId>> places;
  for (const TLonely& l : lonely) places.emplace_back(l.Locator, Partner_[l.Record]);
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  if (NameBegins_.empty()) KeepNames();
  struct TLogged {
    uint64_t Locator;
    TId Call;
    TId By;
    auto operator<=>(const TLogged&) const = default;
  };
  // A bit per hashed place: nearly every record is passed over after one
  // load of its locator.
  constexpr int kPlaceBits = 16;
  const auto slot = [](uint64_t locator) { return (locator * 0x9E3779B97F4A7C15ull) >> (64 - kPlaceBits); };
  std::vector<uint64_t> maybe((std::size_t{1} << kPlaceBits) / 64, 0);
  for (const auto& [place, call] : places) maybe[slot(place) / 64] |= uint64_t{1} << (slot(place) % 64);
  std::vector<TLogged> logged;
  for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
    const TLogInfo& info = LogInfo_[local];
    const TQSORecord* qsos = Logs_[static_cast<std::size_t>(info.Log)]->Edi().QSOs.data();
    const TId* partners = Partner_.data() + info.First;
    const std::size_t count = EndOf(local) - info.First;
    for (std::size_t position = 0; position < count; ++position) {
      const uint64_t locator = PackSix(qsos[position].RcvdWWL);
      const uint64_t at = slot(locator);
      if ((maybe[at / 64] >> (at % 64) & 1u) == 0) continue;
      const TId call = partners[position];
      for (auto it = std::lower_bound(places.begin(), places.end(), std::pair<uint64_t, TId>{locator, kNoId});
           it != places.end() && it->first == locator; ++it) {
        if (call != kNoId && call != it->second && MayBeSimilar(call, it->second)) {
          logged.push_back({locator, call, info.Station});
          break;
        }
      }
    }
  }
  std::sort(logged.begin(), logged.end());
  logged.erase(std::unique(logged.begin(), logged.end()), logged.end());
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
