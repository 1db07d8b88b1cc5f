#include "results/xlsx_book.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace loggrevy {

namespace {

// Letters, not bytes, of UTF-8 text.
std::size_t Letters(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string FirstLetters(const std::string& text, std::size_t letters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == letters) return text.substr(0, i);
  }
  return text;
}

bool Taken(const std::string& name, const std::vector<std::string>& taken) {
  // Excel compares sheet names without regard to case (ASCII is enough here).
  const auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
  };
  return std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return lower(t) == lower(name); });
}

}  // namespace

std::string SheetName(const std::string& text, const std::vector<std::string>& taken) {
  std::string clean;
  for (const char c : text) clean += std::strchr("[]:*?/\\", c) != nullptr || c == '\0' ? ' ' : c;
  // Blanks collapsed; a name may not start or end with an apostrophe.
  std::string name;
  for (const char c : clean) {
    if (c == ' ' && (name.empty() || name.back() == ' ')) continue;
    name += c;
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == '\'')) name.pop_back();
  while (!name.empty() && name.front() == '\'') name.erase(0, 1);
  if (name.empty()) name = "Blad";
  name = FirstLetters(name, 31);
  std::string unique = name;
  for (int n = 2; Taken(unique, taken); ++n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    unique = FirstLetters(name, 31 - suffix.size()) + suffix;
  }
  return unique;
}

std::optional<std::string> WriteXlsxBook(const std::string& path, const std::vector<TXlsxSheet>& sheets) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  lxw_workbook* book = workbook_new(temporary.c_str());
  if (book == nullptr) return path + ": " + std::strerror(errno != 0 ? errno : EIO);
  lxw_format* bold = workbook_add_format(book);
  format_set_bold(bold);
  std::vector<std::string> names;
  for (const TXlsxSheet& sheet : sheets) {
    names.push_back(SheetName(sheet.Name, names));
    lxw_worksheet* page = workbook_add_worksheet(book, names.back().c_str());
    std::vector<std::size_t> widths(sheet.Header.size(), 4);
    for (std::size_t column = 0; column < sheet.Header.size(); ++column) {
      worksheet_write_string(page, 0, static_cast<lxw_col_t>(column), sheet.Header[column].c_str(), bold);
      widths[column] = std::max(widths[column], Letters(sheet.Header[column]));
    }
    for (std::size_t row = 0; row < sheet.Rows.size(); ++row) {
      const auto at = static_cast<lxw_row_t>(row + 1);
      for (std::size_t column = 0; column < sheet.Rows[row].size(); ++column) {
        const TXlsxCell& cell = sheet.Rows[row][column];
        const auto col = static_cast<lxw_col_t>(column);
        if (column >= widths.size()) widths.resize(column + 1, 4);
        if (const auto* text = std::get_if<std::string>(&cell)) {
          worksheet_write_string(page, at, col, text->c_str(), nullptr);
          widths[column] = std::max(widths[column], Letters(*text));
        } else if (const auto* number = std::get_if<double>(&cell)) {
          worksheet_write_number(page, at, col, *number, nullptr);
          widths[column] = std::max<std::size_t>(widths[column], 10);
        }
      }
    }
    for (std::size_t column = 0; column < widths.size(); ++column) {
      worksheet_set_column(page, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                           static_cast<double>(std::min<std::size_t>(widths[column], 60) + 2), nullptr);
    }
    worksheet_freeze_panes(page, 1, 0);
  }
  if (sheets.empty()) workbook_add_worksheet(book, nullptr);
  if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR) {
    std::remove(temporary.c_str());
    return path + ": " + lxw_strerror(error);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    return path + ": " + std::strerror(error);
  }
  return std::nullopt;
}

}  // namespace loggrevy
