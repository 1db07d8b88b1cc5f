#include "results/results_list.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "core/locator.h"
#include "model/labels.h"

namespace loggrevy {
namespace {

struct TBestDx {
  std::string Call;
  double Distance = -1.0;
};

// Among the QSOs that count and are not judged, the longest (the first on a tie).
TBestDx BestDxOf(const TLog& log) {
  TBestDx best;
  const TReg1Test& edi = log.Edi();
  for (std::size_t i = 0; i < edi.QSOs.size(); ++i) {
    if (!edi.QSOs[i].Valid || log.Checker().GetPenalty(static_cast<int64_t>(i)) != kPenaltyNone) continue;
    const double distance = log.Checker().GetQsoDistance(static_cast<int64_t>(i + 1));
    if (distance > best.Distance) best = {std::string(edi.QSOs[i].Call.View()), distance};
  }
  return best;
}

int64_t CountedQsos(const TLog& log) {
  int64_t count = 0;
  const TReg1Test& edi = log.Edi();
  for (std::size_t i = 0; i < edi.QSOs.size(); ++i) {
    if (edi.QSOs[i].Valid && log.Checker().GetPenalty(static_cast<int64_t>(i)) == kPenaltyNone) ++count;
  }
  return count;
}

std::string Notes(const TEntry& entry) {
  std::string notes;
  if (entry.GetEdiStatus() != 0) notes = labels::kEdiErrors;
  if (entry.GetCheckStatus() != 0) {
    if (!notes.empty()) notes += "; ";
    notes += labels::CheckStatusCaption(entry.GetCheckStatus());
  }
  return notes;
}

// A row of the entry's logs that are not replaced; none when all are.
std::optional<TResultRow> RowOf(const TEntry& entry, const std::vector<const TLog*>& members,
                                const std::vector<int32_t>& indices, const TCrossCheck* crossCheck,
                                char decimalSeparator) {
  if (members.empty()) return std::nullopt;
  TResultRow row;
  const TLog& first = *members.front();
  row.Logs = indices;
  row.Call = first.GetCall();
  row.Locator = first.Edi().PWWLo;
  row.Club = first.GetClub();
  row.Notes = Notes(entry);
  TBestDx best;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const TLog& log = *members[i];
    row.QSOs += CountedQsos(log);
    row.Squares += log.GetSquares();
    row.DxScore += log.GetDxScore();
    row.SquareBonus += log.GetSquareBonus();
    row.ClaimedScore += log.GetClaimedScore();
    row.TotalScore += log.GetTotalScore();
    if (crossCheck != nullptr) {
      if (const auto& after = crossCheck->Log(static_cast<std::size_t>(indices[i])).After) {
        row.TotalAfter = row.TotalAfter.value_or(0) + after->Total;
      }
    }
    TBestDx own = BestDxOf(log);
    if (own.Distance > best.Distance) best = std::move(own);
  }
  if (best.Distance >= 0.0) row.BestDx = best.Call + ' ' + FormatDistanceKm(best.Distance, decimalSeparator) + " km";
  return row;
}

}  // namespace

bool IsDatedCaption(std::string_view caption) {
  return caption != labels::kUnreadableCaption && caption != labels::kUnidentifiedCaption;
}

std::string CellText(const TResultRow& row, std::size_t column) {
  switch (column) {
    case 0: return std::to_string(row.Place);
    case 1: return row.Call;
    case 2: return row.Locator;
    case 3: return std::to_string(row.QSOs);
    case 4: return std::to_string(row.Squares);
    case 5: return std::to_string(row.DxScore);
    case 6: return std::to_string(row.SquareBonus);
    case 7: return std::to_string(row.ClaimedScore);
    case 8: return std::to_string(row.TotalScore);
    case 9: return row.TotalAfter ? std::to_string(*row.TotalAfter) : std::string();
    case 10: return row.BestDx;
    case 11: return row.Club;
    case 12: return row.Notes;
    default: return {};
  }
}

TResultList BuildResultList(const TOutlineNode& contest, const std::vector<TLog*>& logs, const TBatchGroups& groups,
                            const TCrossCheck* crossCheck, char decimalSeparator) {
  std::unordered_map<const TLog*, int32_t> indexOf;
  indexOf.reserve(logs.size());
  for (std::size_t i = 0; i < logs.size(); ++i) indexOf.emplace(logs[i], static_cast<int32_t>(i));

  TResultList list;
  list.Caption = contest.Text;
  for (const auto& child : contest.Children) {
    std::vector<const TLog*> members;
    std::vector<int32_t> indices;
    const auto add = [&](const TLog* log) {
      const auto found = indexOf.find(log);
      if (found == indexOf.end()) return;
      if (groups.Logs[static_cast<std::size_t>(found->second)].Role == TBatchRole::Replaced) return;
      members.push_back(log);
      indices.push_back(found->second);
    };
    if (const TLog* log = child->Log()) {
      add(log);
    } else if (child->Group() != nullptr) {
      for (const auto& member : child->Children) add(member->Log());
    }
    if (child->Entry == nullptr) continue;
    if (auto row = RowOf(*child->Entry, members, indices, crossCheck, decimalSeparator)) {
      list.Rows.push_back(std::move(*row));
    }
  }

  // Highest total first; equal totals by call, then in outline order.
  std::stable_sort(list.Rows.begin(), list.Rows.end(), [](const TResultRow& a, const TResultRow& b) {
    if (a.TotalScore != b.TotalScore) return a.TotalScore > b.TotalScore;
    return a.Call < b.Call;
  });
  for (std::size_t i = 0; i < list.Rows.size(); ++i) {
    list.Rows[i].Place = i > 0 && list.Rows[i].TotalScore == list.Rows[i - 1].TotalScore ? list.Rows[i - 1].Place
                                                                                         : static_cast<int32_t>(i + 1);
  }
  return list;
}

std::vector<TResultList> BuildResults(const TImportSession& session, const TCrossCheck* crossCheck,
                                      char decimalSeparator) {
  const TBatchGroups groups = crossCheck != nullptr ? TBatchGroups{} : GroupBatch(session.Logs());
  const TBatchGroups& used = crossCheck != nullptr ? crossCheck->Groups() : groups;
  std::vector<TResultList> lists;
  for (const auto& contest : session.Contests()) {
    if (!IsDatedCaption(contest->Text)) continue;
    lists.push_back(BuildResultList(*contest, session.Logs(), used, crossCheck, decimalSeparator));
  }
  return lists;
}

}  // namespace loggrevy
