#include <ostream>

#include "core/cp1252.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html lang=\"sv\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<style>\n"
    "*{box-sizing:border-box}\n"
    "body{font-family:\"Liberation Sans\",Arial,Helvetica,sans-serif;margin:1em;color:#111;background:#fff}\n"
    "h1{font-size:1.4em;margin:0 0 .6em}\n"
    "h2{font-size:1.15em;margin:1.4em 0 .4em}\n"
    ".scroll{overflow-x:auto}\n"
    "table{border-collapse:collapse;font-size:.875em}\n"
    "th,td{padding:.25em .4em;border-bottom:1px solid #ccc;text-align:left;vertical-align:top}\n"
    "th{background:#eee;vertical-align:bottom;hyphens:manual}\n"
    "th.n{text-align:right}\n"
    "td.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}\n"
    "td.w{min-width:12em}\n"
    "td.c{white-space:nowrap;font-weight:bold}\n"
    "td.d{white-space:nowrap}\n"
    "tbody tr:nth-child(even){background:#f7f7f7}\n"
    "@page{size:A4 landscape;margin:10mm}\n"
    "@media print{body{margin:0;font-size:8.5pt}.scroll{overflow:visible}"
    "h2{break-after:avoid}tr{break-inside:avoid}thead{display:table-header-group}}\n"
    "@media screen and (max-width:700px){"
    "table,tbody,tr,td{display:block;width:auto}thead{display:none}.scroll{overflow:visible}"
    "tr{border:1px solid #ccc;border-radius:4px;margin:0 0 .6em;padding:.3em 0}"
    "tbody tr:nth-child(even){background:#fff}"
    "td,td.n,td.d{display:flex;justify-content:space-between;gap:1em;border:0;padding:.15em .6em;"
    "text-align:right;white-space:normal}"
    "td::before{content:attr(data-label);font-weight:bold;text-align:left;white-space:nowrap}}\n"
    "</style>\n";

// Columns that hold numbers are right-aligned.
bool IsNumberColumn(std::size_t column) { return column == 0 || (column >= 3 && column <= 9); }


}  // namespace

void WriteHtmlEscaped(std::ostream& out, std::string_view cp1252) {
  for (const char c : Cp1252ToUtf8(cp1252)) {
    switch (c) {
      case '&': out << "&amp;"; break;
      case '<': out << "&lt;"; break;
      case '>': out << "&gt;"; break;
      case '"': out << "&quot;"; break;
      default: out << c;
    }
  }
}

void WriteResultsHtml(std::ostream& out, const std::vector<TResultList>& lists) {
  out << kHead;
  // The title names the contests, so that a saved or printed page tells which.
  out << "<title>Resultatlista";
  for (std::size_t i = 0; i < lists.size(); ++i) {
    out << (i == 0 ? " " : ", ");
    WriteHtmlEscaped(out, lists[i].Caption);
  }
  out << "</title>\n</head>\n<body>\n<h1>Resultatlista</h1>\n";
  for (const TResultList& list : lists) {
    out << "<section>\n<h2>";
    WriteHtmlEscaped(out, list.Caption);
    out << "</h2>\n<div class=\"scroll\">\n<table>\n<thead><tr>";
    for (std::size_t column = 0; column < kResultColumns.size(); ++column) {
      out << (IsNumberColumn(column) ? "<th class=\"n\">" : "<th>");
      WriteHtmlEscaped(out, kResultColumns[column].Caption);
      out << "</th>";
    }
    out << "</tr></thead>\n<tbody>\n";
    for (const TResultRow& row : list.Rows) {
      out << "<tr>";
      for (std::size_t column = 0; column < kResultColumns.size(); ++column) {
        out << (IsNumberColumn(column)        ? "<td class=\"n\""
                : column == 1                 ? "<td class=\"c\""
                : column == 2 || column == 10 ? "<td class=\"d\""
                : column == 12                ? "<td class=\"w\""
                                              : "<td");
        out << " data-label=\"";
        WriteHtmlEscaped(out, kResultColumns[column].Caption);
        out << "\">";
        WriteHtmlEscaped(out, CellText(row, column));
        out << "</td>";
      }
      out << "</tr>\n";
    }
    out << "</tbody>\n</table>\n</div>\n</section>\n";
  }
  if (lists.empty()) out << "<p>Ingen test med datum bland loggarna.</p>\n";
  out << "</body>\n</html>\n";
}

}  // namespace loggrevy
