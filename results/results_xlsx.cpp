#include "results/results_xlsx.h"

#include "core/cp1252.h"
#include "results/xlsx_book.h"

namespace loggrevy {

std::optional<std::string> WriteResultsXlsx(const std::string& path, const std::vector<TResultList>& lists) {
  std::vector<TXlsxSheet> sheets;
  for (const TResultList& list : lists) {
    TXlsxSheet& sheet = sheets.emplace_back();
    sheet.Name = Cp1252ToUtf8(list.Caption);
    for (const TResultColumn& column : kResultColumns) sheet.Header.push_back(Cp1252ToUtf8(column.Caption));
    for (const TResultRow& row : list.Rows) {
      const auto number = [](int64_t value) { return TXlsxCell(static_cast<double>(value)); };
      std::vector<TXlsxCell> cells{number(row.Place),         Cp1252ToUtf8(row.Call),
                                   Cp1252ToUtf8(row.Locator), number(row.QSOs),
                                   number(row.Squares),       number(row.DxScore),
                                   number(row.SquareBonus),   number(row.ClaimedScore),
                                   number(row.TotalScore),    row.TotalAfter ? number(*row.TotalAfter) : TXlsxCell(),
                                   Cp1252ToUtf8(row.BestDx),  Cp1252ToUtf8(row.Club),
                                   Cp1252ToUtf8(row.Notes)};
      for (TXlsxCell& cell : cells) {
        if (const auto* text = std::get_if<std::string>(&cell); text != nullptr && text->empty()) cell = {};
      }
      sheet.Rows.push_back(std::move(cells));
    }
  }
  return WriteXlsxBook(path, sheets);
}

}  // namespace loggrevy
