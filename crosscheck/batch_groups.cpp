#include "crosscheck/batch_groups.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "crosscheck/keys.h"
#include "model/ordered_work.h"

namespace loggrevy {
namespace {

// The run of consecutive days of one band that makes a group.
struct TDayRun {
  std::optional<TDayNumber> First;
  std::optional<TDayNumber> Last;
  int32_t Group = -1;
};

}  // namespace

std::optional<TDayNumber> ContestDay(const TReg1Test& edi) { return ContestDay(edi, RecordMinutes(edi)); }

std::optional<TDayNumber> ContestDay(const TReg1Test& edi, const std::vector<int32_t>& minutes) {
  std::vector<TDayNumber> days;
  days.reserve(minutes.size());
  for (const int32_t known : minutes) {
    if (known != kUnknownMinutes) days.push_back(DayOfMinutes(known));
  }
  if (days.empty()) return HeaderDay(std::string_view(edi.TDateStart).substr(0, 8));
  if (!std::is_sorted(days.begin(), days.end())) std::sort(days.begin(), days.end());
  TDayNumber best = days.front();
  std::size_t bestCount = 0;
  for (std::size_t i = 0; i < days.size();) {
    std::size_t j = i;
    while (j < days.size() && days[j] == days[i]) ++j;
    if (j - i > bestCount) {
      best = days[i];
      bestCount = j - i;
    }
    i = j;
  }
  return best;
}

TBatchGroups GroupBatch(const std::vector<TLog*>& logs, std::size_t jobs) {
  std::vector<std::vector<int32_t>> minutes(logs.size());
  RunSlices(logs.size(), jobs, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) minutes[i] = RecordMinutes(logs[i]->Edi());
  });
  return GroupBatch(logs, minutes, jobs);
}

TBatchGroups GroupBatch(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
                        std::size_t jobs) {
  TBatchGroups result;
  result.Logs.resize(logs.size());
  // Each log's station, band and day, on the threads.
  RunSlices(logs.size(), jobs, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      const TReg1Test& edi = logs[i]->Edi();
      TBatchLog& entry = result.Logs[i];
      entry.Station = StationKey(edi.PCall);
      if (entry.Station.empty()) continue;
      entry.Band = BandKey(edi.PBand);
      entry.Day = ContestDay(edi, minutes[i]);
      entry.Role = edi.Status < 3 ? TBatchRole::Active : TBatchRole::Unreadable;
    }
  });
  // The distinct days of each band among the logs that take part.
  std::map<std::string, std::vector<std::optional<TDayNumber>>> daysOfBand;
  for (const TBatchLog& entry : result.Logs) {
    if (entry.Role == TBatchRole::Active) daysOfBand[entry.Band].push_back(entry.Day);
  }

  // Each band's days, sorted, split where neighbours are more than a day apart.
  std::map<std::string, std::vector<TDayRun>> runsOfBand;
  for (auto& [band, days] : daysOfBand) {
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    std::vector<TDayRun>& runs = runsOfBand[band];
    for (const auto& day : days) {
      if (runs.empty() || !day || !runs.back().Last || *day - *runs.back().Last > 1) {
        runs.push_back({day, day});
      } else {
        runs.back().Last = day;
      }
    }
  }
  const auto runOf = [&](const TBatchLog& entry) -> TDayRun* {
    const auto found = runsOfBand.find(entry.Band);
    if (found == runsOfBand.end()) return nullptr;
    for (TDayRun& run : found->second) {
      if (!run.First ? !entry.Day : entry.Day && *entry.Day >= *run.First && *entry.Day <= *run.Last) return &run;
    }
    return nullptr;
  };

  for (std::size_t i = 0; i < logs.size(); ++i) {
    TBatchLog& entry = result.Logs[i];
    if (entry.Role == TBatchRole::Absent) continue;
    TDayRun* run = runOf(entry);
    if (run == nullptr) continue;  // an unreadable log whose band and day no group has
    if (run->Group < 0 && entry.Role == TBatchRole::Active) {
      run->Group = static_cast<int32_t>(result.Groups.size());
      result.Groups.push_back({run->First, entry.Band, {}, {}});
    }
    if (run->Group < 0) continue;  // the group starts after this unreadable log; it joins below
    entry.Group = run->Group;
    auto& members = entry.Role == TBatchRole::Active ? result.Groups[static_cast<std::size_t>(run->Group)].Logs
                                                     : result.Groups[static_cast<std::size_t>(run->Group)].Unreadable;
    members.push_back(static_cast<int32_t>(i));
  }
  // Unreadable logs met before their group's first log.
  for (std::size_t i = 0; i < logs.size(); ++i) {
    TBatchLog& entry = result.Logs[i];
    if (entry.Role != TBatchRole::Unreadable || entry.Group >= 0) continue;
    if (TDayRun* run = runOf(entry); run != nullptr && run->Group >= 0) {
      entry.Group = run->Group;
      auto& members = result.Groups[static_cast<std::size_t>(run->Group)].Unreadable;
      members.insert(std::upper_bound(members.begin(), members.end(), static_cast<int32_t>(i)),
                     static_cast<int32_t>(i));
    }
  }

  // Versions: within a group, the last log of a station (and, in the 28 MHz
  // contest, of a section) replaces the earlier ones.
  for (TBatchGroup& group : result.Groups) {
    std::unordered_map<std::string, int32_t> lastOfVersion;
    for (auto it = group.Logs.rbegin(); it != group.Logs.rend(); ++it) {
      const TLog& log = *logs[static_cast<std::size_t>(*it)];
      TBatchLog& entry = result.Logs[static_cast<std::size_t>(*it)];
      std::string version = entry.Station;
      if (log.Checker().Kind() == TContestKind::M28) version += '\t' + log.Edi().PSect;
      const auto [place, isLast] = lastOfVersion.try_emplace(std::move(version), *it);
      if (!isLast) {
        entry.Role = TBatchRole::Replaced;
        entry.ReplacedBy = place->second;
      }
    }
  }
  return result;
}

}  // namespace loggrevy
