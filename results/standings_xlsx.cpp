#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/cp1252.h"
#include "results/standings.h"

namespace loggrevy {
namespace {

// A sheet name Excel accepts: at most 31 characters, none of []:*?/\, and
// unique in the workbook.
std::string SheetName(const TSeriesStandings& series, std::set<std::string>& taken) {
  std::string base = series.Year + ' ' + series.Kind;
  for (char& c : base) {
    if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 32) c = '_';
  }
  base = base.substr(0, 25);
  std::string name = base;
  for (int n = 2; !taken.insert(name).second; ++n) name = base + " (" + std::to_string(n) + ')';
  return Cp1252ToUtf8(name);
}

class TSheet {
 public:
  TSheet(lxw_worksheet* sheet, lxw_format* bold) : Sheet_(sheet), Bold_(bold) {}

  void Text(lxw_col_t col, std::string_view cp1252, bool bold = false) {
    if (cp1252.empty()) return;
    worksheet_write_string(Sheet_, Row_, col, Cp1252ToUtf8(cp1252).c_str(), bold ? Bold_ : nullptr);
  }
  void Number(lxw_col_t col, int64_t value, bool bold = false) {
    worksheet_write_number(Sheet_, Row_, col, static_cast<double>(value), bold ? Bold_ : nullptr);
  }
  void Points(lxw_col_t col, const std::vector<std::optional<int64_t>>& points) {
    for (const auto& value : points) {
      if (value) Number(col, *value);
      ++col;
    }
  }
  template <std::size_t N>
  void Head(const std::string& heading, const std::string_view (&captions)[N], const TSeriesStandings& series) {
    Text(0, heading, true);
    NextRow();
    lxw_col_t col = 0;
    for (const std::string_view caption : captions) Text(col++, caption, true);
    for (const std::string& contest : series.Contests) Text(col++, ContestColumnCaption(contest), true);
    NextRow();
  }
  void NextRow() { ++Row_; }

 private:
  lxw_worksheet* Sheet_;
  lxw_format* Bold_;
  lxw_row_t Row_ = 0;
};

void WriteSeries(lxw_worksheet* sheet, lxw_format* bold, const TSeriesStandings& series) {
  worksheet_set_column(sheet, 1, 2, 12, nullptr);
  worksheet_set_column(sheet, 3, static_cast<lxw_col_t>(4 + series.Contests.size()), 11, nullptr);
  TSheet out(sheet, bold);
  out.Head(StandingsHeading(series), kStandingsColumns, series);
  for (const TStandingsRow& row : series.Rows) {
    out.Number(0, row.Place);
    out.Text(1, row.Call);
    out.Text(2, row.Club);
    out.Number(3, row.Contests);
    out.Number(4, row.Total);
    out.Points(5, row.Points);
    out.NextRow();
  }
  // The clubs below the stations, after an empty row.
  out.NextRow();
  out.Head(ClubsHeading(series), kClubColumns, series);
  for (const TClubRow& row : series.Clubs) {
    out.Number(0, row.Place);
    out.Text(1, row.Club);
    out.Number(2, row.Members);
    out.Number(3, row.Total);
    out.Points(4, row.Points);
    out.NextRow();
  }
}

}  // namespace

std::optional<std::string> StandingsXlsx(const std::vector<TSeriesStandings>& standings) {
  // The library writes only to a named file: one of our own in the
  // temporary folder, read back and removed.
  std::error_code error;
  std::string path = (std::filesystem::temp_directory_path(error) / "loggrevy-XXXXXX.xlsx").string();
  if (error) return std::nullopt;
  const int fd = ::mkstemps(path.data(), 5);
  if (fd < 0) return std::nullopt;
  ::close(fd);

  lxw_workbook* workbook = workbook_new(path.c_str());
  if (workbook == nullptr) {
    std::filesystem::remove(path, error);
    return std::nullopt;
  }
  lxw_format* bold = workbook_add_format(workbook);
  format_set_bold(bold);
  std::set<std::string> taken;
  for (const TSeriesStandings& series : standings) {
    WriteSeries(workbook_add_worksheet(workbook, SheetName(series, taken).c_str()), bold, series);
  }
  if (standings.empty()) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, Cp1252ToUtf8("\xC5rsresultat").c_str());
    worksheet_write_string(sheet, 0, 0, "Ingen test med datum bland loggarna.", nullptr);
  }
  const bool written = workbook_close(workbook) == LXW_NO_ERROR;
  std::optional<std::string> bytes;
  if (written) {
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.good() || in.eof()) bytes = std::move(data);
  }
  std::filesystem::remove(path, error);
  return bytes;
}

}  // namespace loggrevy
