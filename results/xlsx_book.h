#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace loggrevy {

// One cell of a sheet: empty, a text (UTF-8) or a number.
using TXlsxCell = std::variant<std::monostate, std::string, double>;

struct TXlsxSheet {
  std::string Name;  // UTF-8; made fit for a sheet name (see SheetName)
  std::vector<std::string> Header;
  std::vector<std::vector<TXlsxCell>> Rows;
};

// A sheet name Excel accepts, from any text: no []:*?/\, at most 31 letters,
// and not one of taken (" (2)" and on added).
std::string SheetName(const std::string& text, const std::vector<std::string>& taken);

// Writes an .xlsx workbook with one sheet per entry: the header row bold and
// frozen, numbers as numbers, columns as wide as their texts. The book is
// written to a temporary file beside path and renamed over it. Returns the
// reason on failure.
std::optional<std::string> WriteXlsxBook(const std::string& path, const std::vector<TXlsxSheet>& sheets);

}  // namespace loggrevy
