#pragma once

// Builds the text of a small EDI (REG1TEST version 1) log for tests: every one
// of the 36 header keywords present with a value the reader accepts, so that a
// test changes only what it is about. The default is a clean 144 MHz log of
// Tuesday 5 June 2007 from SM5ABC in JO66SD without QSOs.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace loggrevy::test {

class EdiBuilder {
 public:
  EdiBuilder() {
    header_ = {
        {"TName", "NAC"},     {"TDate", "20070605;20070605"},
        {"PCall", "SM5ABC"},  {"PWWLo", "JO66SD"},
        {"PExch", ""},        {"PAdr1", "Gatan 1"},
        {"PAdr2", "Staden"},  {"PSect", "Single"},
        {"PBand", "144 MHz"}, {"PClub", ""},
        {"RName", "Test"},    {"RCall", "SM5ABC"},
        {"RAdr1", ""},        {"RAdr2", ""},
        {"RPoCo", ""},        {"RCity", ""},
        {"RCoun", "Sweden"},  {"RPhon", ""},
        {"RHBBS", ""},        {"MOpe1", ""},
        {"MOpe2", ""},        {"STXEq", ""},
        {"SPowe", "100"},     {"SRXEq", ""},
        {"SAnte", ""},        {"SAntH", "10;100"},
        {"CQSOs", "0;1"},     {"CQSOP", "0"},
        {"CWWLs", "0;500;1"}, {"CWWLB", "0"},
        {"CExcs", "0;0;1"},   {"CExcB", "0"},
        {"CDXCs", "0;0;1"},   {"CDXCB", "0"},
        {"CToSc", "0"},       {"CODXC", ";;0"},
    };
  }

  // Sets a header value (keyword as written in the file, any case).
  EdiBuilder& Set(std::string_view keyword, std::string_view value) {
    for (auto& [key, current] : header_) {
      if (Same(key, keyword)) {
        current = value;
        return *this;
      }
    }
    header_.emplace_back(std::string(keyword), std::string(value));
    return *this;
  }

  EdiBuilder& Remove(std::string_view keyword) {
    std::erase_if(header_, [&](const auto& entry) { return Same(entry.first, keyword); });
    return *this;
  }

  // Both TDATE parts.
  EdiBuilder& Date(std::string_view yyyymmdd) {
    return Set("TDate", std::string(yyyymmdd) + ";" + std::string(yyyymmdd));
  }

  // The claimed figures: valid QSOs, QSO points, squares (bonus 500 each),
  // total and best-DX call; bandMultiplier goes to CQSOS.
  EdiBuilder& Claims(int64_t qsos, int64_t points, int64_t squares, int64_t total, std::string_view bestDx,
                     int64_t bandMultiplier = 1) {
    Set("CQSOs", std::to_string(qsos) + ";" + std::to_string(bandMultiplier));
    Set("CQSOP", std::to_string(points));
    Set("CWWLs", std::to_string(squares) + ";500;1");
    Set("CWWLB", std::to_string(squares * 500));
    Set("CToSc", std::to_string(total));
    Set("CODXC", std::string(bestDx) + ";;0");
    return *this;
  }

  // One QSO line as it stands.
  EdiBuilder& QsoLine(std::string line) {
    qsos_.push_back(std::move(line));
    return *this;
  }

  // A QSO line of the usual shape: date YYMMDD, time HHMM, call, received
  // locator, claimed points; sent and received numbers left empty when 0.
  EdiBuilder& Qso(std::string_view date, std::string_view time, std::string_view call, std::string_view locator,
                  int64_t points, int64_t sentNr = 0, int64_t rcvdNr = 0, std::string_view dupe = "") {
    std::string line;
    line.append(date).append(";").append(time).append(";").append(call).append(";1;59;");
    if (sentNr != 0) line += std::to_string(sentNr);
    line += ";59;";
    if (rcvdNr != 0) line += std::to_string(rcvdNr);
    line.append(";;").append(locator).append(";").append(std::to_string(points)).append(";;;;").append(dupe);
    return QsoLine(std::move(line));
  }

  EdiBuilder& Remark(std::string line) {
    remarks_.push_back(std::move(line));
    return *this;
  }

  std::string Text() const {
    std::string text = "[REG1TEST;1]\r\n";
    for (const auto& [key, value] : header_) text += key + "=" + value + "\r\n";
    text += "[Remarks]\r\n";
    for (const auto& line : remarks_) text += line + "\r\n";
    text += "[QSORecords;" + std::to_string(qsos_.size()) + "]\r\n";
    for (const auto& line : qsos_) text += line + "\r\n";
    text += "[END; test]\r\n";
    return text;
  }

 private:
  static bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
      if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
  }

  std::vector<std::pair<std::string, std::string>> header_;
  std::vector<std::string> remarks_;
  std::vector<std::string> qsos_;
};

// The worked example: a clean 144 MHz log of Tuesday 5 June 2007 from JO66SD
// with three counting QSOs at 100.0 km (JO55XX), 250.7 km (JO55AB) and
// 512.9 km (JO33PG), the first two in one square: 101 + 251 + 513 = 865
// points in two squares, total 1865; the claims match.
inline EdiBuilder WorkedExample() {
  EdiBuilder b;
  b.Qso("070605", "1800", "OZ1AAA", "JO55XX", 101)
      .Qso("070605", "1805", "OZ1BBB", "JO55AB", 251)
      .Qso("070605", "1810", "DL1CCC", "JO33PG", 513)
      .Claims(3, 865, 2, 1865, "DL1CCC");
  return b;
}

}  // namespace loggrevy::test
