#include <algorithm>
#include <ostream>

#include "core/cp1252.h"
#include "core/text.h"
#include "results/standings.h"

namespace loggrevy {
namespace {

constexpr std::size_t kWidth = 80;

struct TColumn {
  std::string Caption;
  bool Right;
  std::vector<std::string> Cells;  // per row
  std::size_t Width = 0;
};

std::string Number(int64_t value) {
  std::string text;
  AppendNumber(text, value);
  return text;
}

// A contest's points; in parentheses when they do not count.
std::string PointsText(const std::optional<int64_t>& points, bool counted) {
  if (!points) return {};
  return counted ? Number(*points) : '(' + Number(*points) + ')';
}

void AppendPadded(std::string& line, const std::string& text, std::size_t width, bool right) {
  const std::string padding(width > text.size() ? width - text.size() : 0, ' ');
  if (right) line += padding;
  line += text;
  if (!right) line += padding;
}

void WriteLine(std::ostream& out, std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out << Cp1252ToUtf8(line) << '\n';
}

// The table in blocks: the first keeps all of the leading columns, the next
// ones only the first `repeated` of them, and each takes as many of the
// contest columns as fit in the terminal (at least one).
void WriteTable(std::ostream& out, std::vector<TColumn> columns, std::size_t leading, std::size_t repeated,
                std::size_t rows) {
  for (TColumn& column : columns) {
    column.Width = column.Caption.size();
    for (const std::string& cell : column.Cells) column.Width = std::max(column.Width, cell.size());
  }
  std::size_t next = leading;
  bool first = true;
  do {
    std::vector<const TColumn*> block;
    std::size_t width = 0;
    const auto add = [&](const TColumn& column) {
      width += (block.empty() ? 0 : 1) + column.Width;
      block.push_back(&column);
    };
    for (std::size_t c = 0; c < (first ? leading : repeated); ++c) add(columns[c]);
    const std::size_t fixed = block.size();
    while (next < columns.size() && (block.size() == fixed || width + 1 + columns[next].Width <= kWidth)) {
      add(columns[next++]);
    }
    if (!first) out << '\n';
    first = false;
    std::string line;
    for (const TColumn* column : block) {
      if (!line.empty()) line += ' ';
      AppendPadded(line, column->Caption, column->Width, column->Right);
    }
    WriteLine(out, line);
    out << std::string(width, '-') << '\n';
    for (std::size_t r = 0; r < rows; ++r) {
      line.clear();
      for (std::size_t c = 0; c < block.size(); ++c) {
        if (c > 0) line += ' ';
        AppendPadded(line, block[c]->Cells[r], block[c]->Width, block[c]->Right);
      }
      WriteLine(out, line);
    }
  } while (next < columns.size());
}

std::vector<TColumn> ContestColumns(const TSeriesStandings& series) {
  std::vector<TColumn> columns;
  for (const std::string& caption : series.Contests) columns.push_back({ContestColumnCaption(caption), true, {}});
  return columns;
}

void WriteStations(std::ostream& out, const TSeriesStandings& series) {
  std::vector<TColumn> columns{{std::string(kStandingsColumns[0]), true, {}},
                               {std::string(kStandingsColumns[1]), false, {}},
                               {std::string(kStandingsColumns[2]), false, {}},
                               {std::string(kStandingsColumns[3]), true, {}},
                               {std::string(kStandingsColumns[4]), true, {}}};
  const std::size_t leading = columns.size();
  for (TColumn& column : ContestColumns(series)) columns.push_back(std::move(column));
  for (const TStandingsRow& row : series.Rows) {
    columns[0].Cells.push_back(Number(row.Place));
    columns[1].Cells.push_back(row.Call);
    columns[2].Cells.push_back(row.Club);
    columns[3].Cells.push_back(Number(row.Contests));
    columns[4].Cells.push_back(Number(row.Total));
    for (std::size_t c = 0; c < row.Points.size(); ++c)
      columns[leading + c].Cells.push_back(PointsText(row.Points[c], row.Counted[c]));
  }
  WriteTable(out, std::move(columns), leading, 2, series.Rows.size());
}

void WriteClubs(std::ostream& out, const TSeriesStandings& series) {
  std::vector<TColumn> columns{{std::string(kClubColumns[0]), true, {}},
                               {std::string(kClubColumns[1]), false, {}},
                               {std::string(kClubColumns[2]), true, {}},
                               {std::string(kClubColumns[3]), true, {}}};
  const std::size_t leading = columns.size();
  for (TColumn& column : ContestColumns(series)) columns.push_back(std::move(column));
  for (const TClubRow& row : series.Clubs) {
    columns[0].Cells.push_back(Number(row.Place));
    columns[1].Cells.push_back(row.Club);
    columns[2].Cells.push_back(Number(row.Members));
    columns[3].Cells.push_back(Number(row.Total));
    for (std::size_t c = 0; c < row.Points.size(); ++c)
      columns[leading + c].Cells.push_back(PointsText(row.Points[c], true));
  }
  WriteTable(out, std::move(columns), leading, 2, series.Clubs.size());
}

}  // namespace

void WriteStandingsText(std::ostream& out, const std::vector<TSeriesStandings>& standings) {
  out << Cp1252ToUtf8("\xC5rsresultat och klubbt\xE4vling") << '\n';
  for (const TSeriesStandings& series : standings) {
    out << '\n' << Cp1252ToUtf8(StandingsHeading(series)) << '\n';
    if (series.Rows.empty()) {
      out << "(inga deltagare)\n";
    } else {
      WriteStations(out, series);
    }
    out << '\n' << Cp1252ToUtf8(ClubsHeading(series)) << '\n';
    if (series.Clubs.empty()) {
      out << "(inga klubbar)\n";
    } else {
      WriteClubs(out, series);
    }
  }
}

}  // namespace loggrevy
