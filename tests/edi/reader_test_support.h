#pragma once

// Small EDI files built in the tests, and readable views of what the reader
// made of them.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp1252.h"
#include "edi/reg1test.h"

namespace loggrevy::test {

// The 36 header lines of a complete, faultless log, in keyword order.
inline std::vector<std::string> FullHeader() {
  return {
      "TName=Aktivitetstest",
      "TDate=20240604;20240604",
      "PCall=SM5ABC",
      "PWWLo=JO89VU",
      "PExch=",
      "PAdr1=Storgatan 1",
      "PAdr2=",
      "PSect=SINGLE",
      "PBand=144 MHz",
      "PClub=SK5AA",
      "RName=Anna",
      "RCall=SM5ABC",
      "RAdr1=",
      "RAdr2=",
      "RPoCo=12345",
      "RCity=Stad",
      "RCoun=Sverige",
      "RPhon=",
      "RHBBS=",
      "MOpe1=",
      "MOpe2=",
      "STXEq=",
      "SPowe=100",
      "SRXEq=",
      "SAnte=",
      "SAntH=10;300",
      "CQSOs=2;1",
      "CQSOP=100",
      "CWWLs=2;500;1",
      "CWWLB=1000",
      "CExcs=0;0;1",
      "CExcB=0",
      "CDXCs=0;0;1",
      "CDXCB=0",
      "CToSc=1100",
      "CODXC=SM5XYZ;JO99BM;42,5",
  };
}

inline const std::string kQso1 = "240604;1830;SM5XYZ;1;59;001;59;001;;JO99BM;42;N;N;;";
inline const std::string kQso2 = "240604;1831;SM5ABD;1;59;002;59;002;;JO89VU;1;;N;;";

// The header with the line of one keyword (written as in FullHeader, e.g.
// "SPowe") replaced, or removed when replacement is empty.
inline std::vector<std::string> HeaderWith(std::string_view keyword, const std::string& replacement) {
  std::vector<std::string> header;
  for (const std::string& line : FullHeader()) {
    if (line.starts_with(std::string(keyword) + "=")) {
      if (!replacement.empty()) header.push_back(replacement);
    } else {
      header.push_back(line);
    }
  }
  return header;
}

struct TEdiParts {
  std::vector<std::string> Header = FullHeader();
  std::vector<std::string> Remarks;
  std::string QsoTag = "[QSORecords;2]";
  std::vector<std::string> Qsos{kQso1, kQso2};
  std::string Trailer = "[END; Loggrevy test]";
};

// A whole EDI file with CR LF line ends (texts in UTF-8, stored as Windows-1252).
inline std::string MakeEdi(const TEdiParts& parts) {
  std::string text = "[REG1TEST;1]\r\n";
  for (const auto& line : parts.Header) text += line + "\r\n";
  text += "[Remarks]\r\n";
  for (const auto& line : parts.Remarks) text += line + "\r\n";
  text += parts.QsoTag + "\r\n";
  for (const auto& line : parts.Qsos) text += line + "\r\n";
  if (!parts.Trailer.empty()) text += parts.Trailer + "\r\n";
  return Utf8ToCp1252(text);
}

inline std::unique_ptr<TReg1Test> Read(std::string_view bytes, char decimalSeparator = ',') {
  auto edi = std::make_unique<TReg1Test>(decimalSeparator);
  edi->LoadFromBuffer(bytes, "test.edi");
  return edi;
}

// Every diagnostic after the placeholder as "<line text>: <diagnostic>", or
// "*: <diagnostic>" for one about the whole file, in UTF-8.
inline std::vector<std::string> Diags(const TReg1Test& edi) {
  std::vector<std::string> result;
  for (std::size_t d = 1; d < edi.Diagnostics.size(); ++d) {
    const TDiagnostic& diagnostic = edi.Diagnostics[d];
    std::string where = "*";
    if (diagnostic.LineRef >= 0 && static_cast<std::size_t>(diagnostic.LineRef) < edi.Lines.size()) {
      where = Cp1252ToUtf8(edi.LineText(static_cast<std::size_t>(diagnostic.LineRef)));
    }
    result.push_back(where + ": " + Cp1252ToUtf8(diagnostic.Text));
  }
  return result;
}

inline std::vector<std::string> LineTexts(const TReg1Test& edi) {
  std::vector<std::string> result;
  for (std::size_t i = 0; i < edi.Lines.size(); ++i) result.push_back(Cp1252ToUtf8(edi.LineText(i)));
  return result;
}

// A QSO record as one line of text, for comparisons that print both sides.
inline std::string Describe(const TQSORecord& q) {
  const auto mark = [](char c) { return c == 0 ? std::string("\\0") : std::string(1, c); };
  return "S" + std::to_string(q.Status) + "|" + q.Date.Str() + "|" + q.Time.Str() + "|" + q.Call.Str() + "|" +
         std::to_string(q.Mode) + "|" + q.SentRST.Str() + "|" + std::to_string(q.SentNr) + "|" + q.RcvdRST.Str() + "|" +
         std::to_string(q.RcvdNr) + "|" + q.RcvdExch.Str() + "|" + q.RcvdWWL.Str() + "|" + std::to_string(q.Points) +
         "|" + mark(q.NewExch) + mark(q.NewWWL) + mark(q.NewDXCC) + mark(q.Dupe) + "|" +
         (q.Valid ? "valid" : "invalid");
}

inline std::vector<std::string> DescribeQsos(const TReg1Test& edi) {
  std::vector<std::string> result;
  for (const auto& q : edi.QSOs) result.push_back(Describe(q));
  return result;
}

// What holds after any read, of any file: the placeholder diagnostic, lines
// and diagnostics that point at each other, a status from 0 to 3, and a QSO
// count that matches the records of a read that reached the QSO section.
inline void ExpectSane(const TReg1Test& edi) {
  EXPECT_LE(edi.Status, 3);
  ASSERT_GE(edi.Diagnostics.size(), 1u);
  EXPECT_EQ(edi.Diagnostics[0].Text, "");
  EXPECT_EQ(edi.Diagnostics[0].LineRef, 0);
  for (std::size_t i = 0; i < edi.Lines.size(); ++i) {
    const int32_t ref = edi.Lines[i].DiagnosticRef;
    if (ref == 0) continue;
    ASSERT_GT(ref, 0) << "line " << i;
    ASSERT_LT(static_cast<std::size_t>(ref), edi.Diagnostics.size()) << "line " << i;
    EXPECT_EQ(edi.Diagnostics[static_cast<std::size_t>(ref)].LineRef, static_cast<int32_t>(i)) << "line " << i;
  }
  bool incomplete = false;
  for (std::size_t d = 1; d < edi.Diagnostics.size(); ++d) {
    const int32_t line = edi.Diagnostics[d].LineRef;
    if (edi.Diagnostics[d].Text == "EDI-loggen ej komplett") incomplete = true;
    if (line == -1) continue;
    ASSERT_GE(line, 0) << "diagnostic " << d;
    ASSERT_LT(static_cast<std::size_t>(line), edi.Lines.size()) << "diagnostic " << d;
    EXPECT_EQ(edi.Lines[static_cast<std::size_t>(line)].DiagnosticRef, static_cast<int32_t>(d)) << "diagnostic " << d;
  }
  if (edi.ReadFinished && !incomplete) {
    EXPECT_EQ(edi.QSOCount, static_cast<int32_t>(edi.QSOs.size()));
  }
  for (const auto& q : edi.QSOs) {
    EXPECT_GE(q.Points, 0);
    EXPECT_TRUE(q.Status == 0 || q.Status == 3) << static_cast<int>(q.Status);
  }
}

}  // namespace loggrevy::test
