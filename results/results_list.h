#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crosscheck/crosscheck.h"
#include "model/import_session.h"

namespace loggrevy {

// One entry of a contest (a log, or a station's group of logs) in the results
// list. Texts are Windows-1252.
struct TResultRow {
  int32_t Place = 0;
  std::vector<int32_t> Logs;  // batch indices of the entry's logs
  std::string Call;
  std::string Locator;
  int64_t QSOs = 0;  // records that count and are not judged
  int64_t Squares = 0;
  int64_t DxScore = 0;
  int64_t SquareBonus = 0;
  int64_t ClaimedScore = 0;
  int64_t TotalScore = 0;
  std::optional<int64_t> TotalAfter;  // only after a cross-check
  std::string BestDx;                 // "OH1XY 612,3 km", or empty
  std::string Club;
  std::string Notes;  // the red labels of the detail page, joined by "; "
};

// The ranked entries of one contest node.
struct TResultList {
  std::string Caption;
  std::vector<TResultRow> Rows;
};

// The columns in order: caption (Windows-1252) and JSON name.
struct TResultColumn {
  std::string_view Caption;
  std::string_view JsonName;
};
inline constexpr std::array<TResultColumn, 13> kResultColumns{{
    {"Plac.", "Place"},
    {"Signal", "Call"},
    {"Lokator", "Locator"},
    {"QSO", "QSOs"},
    {"Rutor", "Squares"},
    {"Avst\xE5ndspo\xE4ng", "DxScore"},
    {"Rutbonus", "SquareBonus"},
    {"Kr\xE4vd totalpo\xE4ng", "ClaimedScore"},
    {"Erh\xE5llen totalpo\xE4ng", "TotalScore"},
    {"Efter korskontroll", "TotalAfter"},
    {"B\xE4sta DX", "BestDx"},
    {"Klubb", "Club"},
    {"Anm.", "Notes"},
}};

// The text of a row's cell by column (numbers as plain integers, an absent
// figure empty).
std::string CellText(const TResultRow& row, std::size_t column);

// The results lists of the session's contests with a dated caption, in
// outline order, ranked by the accepted total (equal totals share a place and
// are listed by call, then in outline order). Replaced logs are left out.
// crossCheck (may be null) gives the totals after the cross-check.
std::vector<TResultList> BuildResults(const TImportSession& session, const TCrossCheck* crossCheck,
                                      char decimalSeparator);

// The results list of one contest node.
TResultList BuildResultList(const TOutlineNode& contest, const std::vector<TLog*>& logs, const TBatchGroups& groups,
                            const TCrossCheck* crossCheck, char decimalSeparator);

// True for a contest caption that names a date (not the captions of
// unidentified or unreadable logs).
bool IsDatedCaption(std::string_view caption);

}  // namespace loggrevy
