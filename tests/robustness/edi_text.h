#pragma once

// A small, complete and clean EDI log to take apart: a VHF activity evening
// (Tuesday 5 January 2021, 144 MHz) from JO89WM with three QSOs.

#include <string>
#include <utility>
#include <vector>

namespace loggrevy::testing {

inline constexpr int kCleanLogYear = 2021;

struct TEdiText {
  std::vector<std::pair<std::string, std::string>> Header;  // keyword as written, value
  std::vector<std::string> Remarks;
  std::vector<std::string> QsoLines;
  std::string LineEnd = "\r\n";

  std::string Text() const {
    std::string text = "[REG1TEST;1]" + LineEnd;
    for (const auto& [key, value] : Header) text += key + "=" + value + LineEnd;
    text += "[Remarks]" + LineEnd;
    for (const std::string& remark : Remarks) text += remark + LineEnd;
    text += "[QSORecords;" + std::to_string(QsoLines.size()) + "]" + LineEnd;
    for (const std::string& line : QsoLines) text += line + LineEnd;
    text += "[END; loggrevy test]" + LineEnd;
    return text;
  }
};

inline TEdiText CleanLog() {
  TEdiText log;
  log.Header = {
      {"TName", "NAC 144"},
      {"TDate", "20210105;20210105"},
      {"PCall", "SM5ABC"},
      {"PWWLo", "JO89WM"},
      {"PExch", ""},
      {"PAdr1", "Storgatan 1"},
      {"PAdr2", ""},
      {"PSect", "SINGLE"},
      {"PBand", "144 MHz"},
      {"PClub", "SK5AA"},
      {"RName", "Anna Andersson"},
      {"RCall", "SM5ABC"},
      {"RAdr1", "Storgatan 1"},
      {"RAdr2", ""},
      {"RPoCo", "12345"},
      {"RCity", "Stockholm"},
      {"RCoun", "Sweden"},
      {"RPhon", ""},
      {"RHBBS", ""},
      {"MOpe1", ""},
      {"MOpe2", ""},
      {"STXEq", "IC-9700"},
      {"SPowe", "100"},
      {"SRXEq", "IC-9700"},
      {"SAnte", "9 el yagi"},
      {"SAntH", "10;30"},
      {"CQSOs", "3;1"},
      {"CQSOP", "400"},
      {"CWWLs", "3;500;1"},
      {"CWWLB", "1500"},
      {"CExcs", "0;0;1"},
      {"CExcB", "0"},
      {"CDXCs", "0;0;1"},
      {"CDXCB", "0"},
      {"CToSc", "1900"},
      {"CODXC", "SM7XYZ;JO65AA;400"},
  };
  log.Remarks = {"Tack f\xF6r testen"};
  log.QsoLines = {
      "210105;1805;SM5XYZ;1;59;;59;;;JO89XA;30;;N;;",
      "210105;1810;SM6ABC;1;59;;59;;;JO67AA;300;;N;;",
      "210105;1815;SM7XYZ;1;59;;59;;;JO65AA;400;;N;;",
  };
  return log;
}

}  // namespace loggrevy::testing
