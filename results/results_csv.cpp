#include <ostream>

#include "core/cp1252.h"
#include "results/writers.h"

namespace loggrevy {

void WriteCsvField(std::ostream& out, std::string_view cp1252) {
  const std::string text = Cp1252ToUtf8(cp1252);
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out << text;
    return;
  }
  out << '"';
  for (const char c : text) {
    if (c == '"') out << '"';
    out << c;
  }
  out << '"';
}

void WriteResultsCsv(std::ostream& out, const std::vector<TResultList>& lists) {
  out << "Test";
  for (const TResultColumn& column : kResultColumns) {
    out << ',';
    WriteCsvField(out, column.Caption);
  }
  out << "\r\n";
  for (const TResultList& list : lists) {
    for (const TResultRow& row : list.Rows) {
      WriteCsvField(out, list.Caption);
      for (std::size_t column = 0; column < kResultColumns.size(); ++column) {
        out << ',';
        WriteCsvField(out, CellText(row, column));
      }
      out << "\r\n";
    }
  }
}

}  // namespace loggrevy
