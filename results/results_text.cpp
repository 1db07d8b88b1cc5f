#include <algorithm>
#include <array>
#include <ostream>

#include "core/cp1252.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

// The figure columns of the first line of a row, with captions short enough
// for a terminal; the texts that do not fit go to a second line.
struct TTextColumn {
  std::size_t Column;
  std::string_view Caption;  // Windows-1252
  bool Right;
};

constexpr std::array<TTextColumn, 10> kTextColumns{{
    {0, "Plac.", true},
    {1, "Signal", false},
    {2, "Lokator", false},
    {3, "QSO", true},
    {4, "Rutor", true},
    {5, "Avst.p.", true},
    {6, "Rutbonus", true},
    {7, "Kr\xE4vd", true},
    {8, "Erh\xE5llen", true},
    {9, "Efter kk", true},
}};

constexpr std::size_t kWidth = 80;

// Words after an indent, broken into lines of at most kWidth characters
// where a word allows it.
void WriteWrapped(std::ostream& out, std::string_view text, std::size_t indent) {
  std::string line(indent, ' ');
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    if (line.size() > indent && line.size() + 1 + word.size() > kWidth) {
      out << Cp1252ToUtf8(line) << '\n';
      line.assign(indent, ' ');
    }
    if (line.size() > indent) line += ' ';
    line += word;
    start = end + 1;
  }
  if (line.size() > indent) out << Cp1252ToUtf8(line) << '\n';
}

void Pad(std::string& line, std::string_view text, std::size_t width, bool right) {
  const std::string padding(width > text.size() ? width - text.size() : 0, ' ');
  if (right) line += padding;
  line += text;
  if (!right) line += padding;
}

}  // namespace

void WriteResultsText(std::ostream& out, const std::vector<TResultList>& lists) {
  bool first = true;
  for (const TResultList& list : lists) {
    if (!first) out << '\n';
    first = false;
    out << Cp1252ToUtf8("Resultatlista " + list.Caption) << '\n';

    std::array<std::size_t, kTextColumns.size()> widths{};
    for (std::size_t c = 0; c < kTextColumns.size(); ++c) {
      widths[c] = kTextColumns[c].Caption.size();
      for (const TResultRow& row : list.Rows)
        widths[c] = std::max(widths[c], CellText(row, kTextColumns[c].Column).size());
    }
    std::string line;
    for (std::size_t c = 0; c < kTextColumns.size(); ++c) {
      if (c > 0) line += ' ';
      Pad(line, kTextColumns[c].Caption, widths[c], kTextColumns[c].Right);
    }
    out << Cp1252ToUtf8(line) << '\n' << std::string(line.size(), '-') << '\n';

    for (const TResultRow& row : list.Rows) {
      line.clear();
      for (std::size_t c = 0; c < kTextColumns.size(); ++c) {
        if (c > 0) line += ' ';
        Pad(line, CellText(row, kTextColumns[c].Column), widths[c], kTextColumns[c].Right);
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out << Cp1252ToUtf8(line) << '\n';
      // The texts below the figures, the notes on lines of their own.
      std::string more;
      const auto add = [&](std::string_view caption, const std::string& value) {
        if (value.empty()) return;
        if (!more.empty()) more += "  ";
        more += caption;
        more += ' ';
        more += value;
      };
      add("B\xE4sta DX", row.BestDx);
      add("Klubb", row.Club);
      if (!more.empty()) WriteWrapped(out, more, widths[0] + 1);
      if (!row.Notes.empty()) WriteWrapped(out, "Anm. " + row.Notes, widths[0] + 1);
    }
    if (list.Rows.empty()) out << "(inga loggar)\n";
  }
}

}  // namespace loggrevy
