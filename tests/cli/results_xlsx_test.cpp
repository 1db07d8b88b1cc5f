// The results list as an Excel workbook: read back from the sheet's XML (and,
// where LibreOffice is installed, through its own conversion), it holds every
// row and figure of the CSV list.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "cli/check_command.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;

const TSystemDefaults kDefaults{2026, 60, ','};

std::vector<std::string> Evening() {
  std::vector<std::string> evening;
  for (const auto& entry : fs::directory_iterator(std::string(LOGGREVY_SAMPLES_DIR) + "/nac-evening")) {
    evening.push_back(entry.path().string());
  }
  std::sort(evening.begin(), evening.end());
  return evening;
}

int Check(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
  const std::vector<std::string> evening = Evening();
  args.insert(args.end(), evening.begin(), evening.end());
  std::ostringstream o;
  std::ostringstream e;
  const int status = RunCheckCommand(args, o, e, kDefaults);
  if (out != nullptr) *out = o.str();
  if (err != nullptr) *err = e.str();
  return status;
}

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

std::string Unescaped(std::string text) {
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

// The sheet's rows as texts, numbers marked "#": what a spreadsheet shows.
std::vector<std::vector<std::string>> SheetRows(const std::string& book, int sheet) {
  std::vector<std::string> shared;
  const std::string strings = Output("unzip -p '" + book + "' xl/sharedStrings.xml");
  const std::regex si("<si><t[^>]*>([^<]*)</t></si>");
  for (auto it = std::sregex_iterator(strings.begin(), strings.end(), si); it != std::sregex_iterator(); ++it) {
    shared.push_back(Unescaped((*it)[1]));
  }
  const std::string xml = Output("unzip -p '" + book + "' xl/worksheets/sheet" + std::to_string(sheet) + ".xml");
  std::vector<std::vector<std::string>> rows;
  const std::regex cell("<c r=\"([A-Z]+)([0-9]+)\"(?: s=\"[0-9]+\")?( t=\"s\")?><v>([^<]*)</v></c>");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cell); it != std::sregex_iterator(); ++it) {
    const auto row = static_cast<std::size_t>(std::stoi((*it)[2]) - 1);
    const auto column = static_cast<std::size_t>((*it)[1].str()[0] - 'A');
    if (rows.size() <= row) rows.resize(row + 1);
    if (rows[row].size() <= column) rows[row].resize(column + 1);
    rows[row][column] = (*it)[3].matched ? shared.at(std::stoul((*it)[4])) : "#" + (*it)[4].str();
  }
  return rows;
}

// The CSV list's rows, less the contest column, with its numbers marked.
std::vector<std::vector<std::string>> CsvRows(const std::string& csv, std::size_t numbers) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (quoted) {
      if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',' || c == '\r') {
      if (c == ',' || csv[i + 1] == '\n') row.push_back(field), field.clear();
      if (c == '\r') rows.push_back(row), row.clear(), ++i;
    } else {
      field += c;
    }
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    rows[r].erase(rows[r].begin());
    for (std::size_t column = 0; r >= numbers && column < rows[r].size(); ++column) {
      const bool figure = column == 0 || (column >= 3 && column <= 9);
      if (figure && !rows[r][column].empty()) rows[r][column] = "#" + rows[r][column];
    }
    while (!rows[r].empty() && rows[r].back().empty()) rows[r].pop_back();
  }
  return rows;
}

TEST(ResultsXlsx, HoldsEveryRowAndFigureOfTheList) {
  if (Output("command -v unzip").empty()) GTEST_SKIP() << "unzip is not installed";
  test::TempDir dir;
  const std::string book = dir.PathOf("resultat.xlsx");
  std::string csv;
  ASSERT_EQ(Check({"--apply-crosscheck", "--results", "csv"}, &csv), 0);
  std::string out;
  ASSERT_EQ(Check({"--apply-crosscheck", "--results", "xlsx", "--output", book}, &out), 0);
  EXPECT_EQ(out, "");
  std::vector<std::vector<std::string>> sheet = SheetRows(book, 1);
  for (auto& row : sheet) {
    while (!row.empty() && row.back().empty()) row.pop_back();
  }
  const auto expected = CsvRows(csv, 1);
  ASSERT_EQ(sheet.size(), expected.size());
  for (std::size_t row = 0; row < sheet.size(); ++row) EXPECT_EQ(sheet[row], expected[row]) << "row " << row;

  // One sheet named by the contest, its header row bold and frozen.
  EXPECT_NE(Output("unzip -p '" + book + "' xl/workbook.xml").find("<sheet name=\"20261201 VHF\""), std::string::npos);
  const std::string xml = Output("unzip -p '" + book + "' xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"),
            std::string::npos);
  EXPECT_NE(xml.find("<c r=\"A1\" s=\"1\" t=\"s\">"), std::string::npos);
  EXPECT_NE(Output("unzip -p '" + book + "' xl/styles.xml").find("<b/>"), std::string::npos);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.PathOf("")), fs::directory_iterator()), 1);

  // LibreOffice reads the same rows (where it is installed).
  if (Output("command -v soffice").empty()) return;
  Output("cd '" + dir.PathOf("") +
         "' && soffice --headless --convert-to csv:\"Text - txt - csv (StarCalc)\":44,34,76 resultat.xlsx >/dev/null "
         "2>&1");
  std::ifstream converted(dir.PathOf("resultat.csv"), std::ios::binary);
  std::stringstream text;
  text << converted.rdbuf();
  ASSERT_FALSE(text.str().empty());
  std::string crlf;
  for (const char c : text.str()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::vector<std::vector<std::string>> office;
  for (auto row : CsvRows("X," + std::regex_replace(crlf, std::regex("\r\n(?!$)"), "\r\nX,"), 1)) office.push_back(row);
  ASSERT_EQ(office.size(), expected.size());
  for (std::size_t row = 0; row < office.size(); ++row) EXPECT_EQ(office[row], expected[row]) << "row " << row;
}

TEST(ResultsXlsx, GoesOnlyToAFileNamedWithOutput) {
  test::TempDir dir;
  const std::string log = Evening().front();
  struct TCase {
    std::vector<std::string> Args;
    const char* Error;
  };
  const TCase cases[] = {
      {{"--results", "xlsx"}, "--results xlsx writes a file: name it with --output FILE"},
      {{"--results", "xlsx", "--output", "/dev/null"}, "'/dev/null' is a terminal or a device"},
      {{"--results", "xlsx", "--output", log}, "is one of the logs"},
      {{"--results", "csv", "--output", dir.PathOf("r.csv")}, "--output is for --results xlsx and --standings xlsx"},
  };
  for (const TCase& c : cases) {
    std::string err;
    EXPECT_EQ(Check(c.Args, nullptr, &err), 2) << c.Error;
    EXPECT_NE(err.find(c.Error), std::string::npos) << err;
  }
  std::string err;
  EXPECT_EQ(Check({"--results", "xlsx", "--output", dir.PathOf("no-such-folder/r.xlsx")}, nullptr, &err), 1);
  EXPECT_NE(err.find("write error"), std::string::npos) << err;
}

}  // namespace
}  // namespace loggrevy
