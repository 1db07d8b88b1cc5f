#include <ostream>

#include "core/cp1252.h"
#include "core/text.h"
#include "results/standings.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

// The results page's style; on a narrow screen each row becomes a card of
// "caption value" lines without the empty ones (no club, a contest missed).
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html lang=\"sv\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<title>\xC3\x85rsresultat</title>\n"
    "<style>\n"
    "*{box-sizing:border-box}\n"
    "body{font-family:\"Liberation Sans\",Arial,Helvetica,sans-serif;margin:1em;color:#111;background:#fff}\n"
    "h1{font-size:1.4em;margin:0 0 .6em}\n"
    "h2{font-size:1.15em;margin:1.6em 0 .4em}\n"
    "h3{font-size:1em;margin:1.2em 0 .4em}\n"
    "p.note{font-size:.85em;color:#555;margin:.3em 0}\n"
    ".scroll{overflow-x:auto}\n"
    "table{border-collapse:collapse;font-size:.9em}\n"
    "th,td{padding:.25em .5em;border-bottom:1px solid #ccc;text-align:left;vertical-align:top}\n"
    "th{background:#eee;white-space:nowrap}\n"
    "td.n,th.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}\n"
    "td.c{white-space:nowrap;font-weight:bold}\n"
    "td.t{font-weight:bold}\n"
    "td.u{color:#777}\n"
    "tbody tr:nth-child(even){background:#f7f7f7}\n"
    "@page{size:landscape;margin:1.5cm}\n"
    "@media print{body{margin:0;font-size:9pt}.scroll{overflow:visible}"
    "h2,h3{break-after:avoid}tr{break-inside:avoid}thead{display:table-header-group}}\n"
    "@media screen and (max-width:700px){"
    "table,tbody,tr,td{display:block;width:auto}thead{display:none}.scroll{overflow:visible}"
    "tr{border:1px solid #ccc;border-radius:4px;margin:0 0 .6em;padding:.3em 0}"
    "tbody tr:nth-child(even){background:#fff}"
    "td,td.n{display:flex;justify-content:space-between;gap:1em;border:0;padding:.15em .6em;"
    "text-align:right;white-space:normal}"
    "td.e{display:none}"
    "td::before{content:attr(data-label);font-weight:bold;text-align:left;white-space:nowrap;color:#111}}\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>\xC3\x85rsresultat och klubbt\xC3\xA4vling</h1>\n";

struct TCell {
  std::string_view Class;  // "" for plain text
  std::string Text;
};

std::string Number(int64_t value) {
  std::string text;
  AppendNumber(text, value);
  return text;
}

void WriteTable(std::ostream& out, const std::vector<std::string>& captions, std::size_t textColumns,
                const std::vector<std::vector<TCell>>& rows) {
  out << "<div class=\"scroll\">\n<table>\n<thead><tr>";
  for (std::size_t c = 0; c < captions.size(); ++c) {
    out << (c == 0 || c >= textColumns ? "<th class=\"n\">" : "<th>");
    WriteHtmlEscaped(out, captions[c]);
    out << "</th>";
  }
  out << "</tr></thead>\n<tbody>\n";
  for (const std::vector<TCell>& row : rows) {
    out << "<tr>";
    for (std::size_t c = 0; c < row.size(); ++c) {
      out << "<td";
      if (!row[c].Class.empty()) out << " class=\"" << row[c].Class << '"';
      out << " data-label=\"";
      WriteHtmlEscaped(out, captions[c]);
      out << "\">";
      WriteHtmlEscaped(out, row[c].Text);
      out << "</td>";
    }
    out << "</tr>\n";
  }
  out << "</tbody>\n</table>\n</div>\n";
}

std::vector<std::string> Captions(const std::string_view* first, std::size_t count, const TSeriesStandings& series) {
  std::vector<std::string> captions(first, first + count);
  for (const std::string& contest : series.Contests) captions.push_back(ContestColumnCaption(contest));
  return captions;
}

void AppendPoints(std::vector<TCell>& cells, const std::optional<int64_t>& points, bool counted) {
  if (!points) {
    cells.push_back({"n e", {}});
  } else if (counted) {
    cells.push_back({"n", Number(*points)});
  } else {
    cells.push_back({"n u", '(' + Number(*points) + ')'});
  }
}

void WriteSeries(std::ostream& out, const TSeriesStandings& series) {
  out << "<section>\n<h2>";
  WriteHtmlEscaped(out, StandingsHeading(series));
  out << "</h2>\n";
  std::vector<std::vector<TCell>> rows;
  bool uncounted = false;
  for (const TStandingsRow& row : series.Rows) {
    std::vector<TCell> cells{{"n", Number(row.Place)},
                             {"c", row.Call},
                             {row.Club.empty() ? "e" : "", row.Club},
                             {"n", Number(row.Contests)},
                             {"n t", Number(row.Total)}};
    for (std::size_t c = 0; c < row.Points.size(); ++c) {
      AppendPoints(cells, row.Points[c], row.Counted[c]);
      uncounted = uncounted || (row.Points[c] && !row.Counted[c]);
    }
    rows.push_back(std::move(cells));
  }
  if (rows.empty()) {
    out << "<p>Inga deltagare.</p>\n";
  } else {
    WriteTable(out, Captions(kStandingsColumns, std::size(kStandingsColumns), series), 3, rows);
  }
  if (uncounted) out << "<p class=\"note\">Po\xC3\xA4ng inom parentes r\xC3\xA4knas inte i summan.</p>\n";

  out << "<h3>";
  WriteHtmlEscaped(out, ClubsHeading(series));
  out << "</h3>\n";
  rows.clear();
  for (const TClubRow& row : series.Clubs) {
    std::vector<TCell> cells{
        {"n", Number(row.Place)}, {"c", row.Club}, {"n", Number(row.Members)}, {"n t", Number(row.Total)}};
    for (const auto& points : row.Points) AppendPoints(cells, points, true);
    rows.push_back(std::move(cells));
  }
  if (rows.empty()) {
    out << "<p>Inga klubbar.</p>\n";
  } else {
    WriteTable(out, Captions(kClubColumns, std::size(kClubColumns), series), 2, rows);
  }
  out << "</section>\n";
}

}  // namespace

void WriteStandingsHtml(std::ostream& out, const std::vector<TSeriesStandings>& standings) {
  out << kHead;
  for (const TSeriesStandings& series : standings) WriteSeries(out, series);
  if (standings.empty()) out << "<p>Ingen test med datum bland loggarna.</p>\n";
  out << "</body>\n</html>\n";
}

}  // namespace loggrevy
