// Hostile contents read from memory: every byte value in every field, NUL
// bytes, thousands of header lines, broken UTF-16 and CR-only line ends. Each
// must give a sound log with a clear diagnostic, never a crash or a hang.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "edi/diagnostic_texts.h"
#include "model/implog.h"
#include "robustness/edi_text.h"
#include "support/invariants.h"

namespace loggrevy {
namespace {

using testing::CleanLog;
using testing::kCleanLogYear;
using testing::TEdiText;

std::unique_ptr<TLog> Read(std::string_view bytes) {
  return std::make_unique<TLog>(bytes, "hostile.edi", kCleanLogYear, TLocalSettings{});
}

std::vector<std::string> DiagnosticTexts(const TReg1Test& edi) {
  std::vector<std::string> texts;
  for (std::size_t i = 1; i < edi.Diagnostics.size(); ++i) texts.push_back(edi.Diagnostics[i].Text);
  return texts;
}

std::string Byte(int value) { return std::string(1, static_cast<char>(value)); }

std::string Utf16(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

std::u16string Widen(std::string_view text) {
  std::u16string wide;
  for (const char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

TEST(HostileBytes, CleanLogIsReadWithoutFindings) {
  const auto log = Read(CleanLog().Text());
  EXPECT_EQ(log->Edi().Status, 0);
  EXPECT_EQ(DiagnosticTexts(log->Edi()), std::vector<std::string>{});
  EXPECT_EQ(log->Edi().QSOCount, 3);
  EXPECT_EQ(invariants::CheckLog(*log, true), "");
}

// Each byte value is put into the middle of each header value in turn. A line
// feed splits the line (its rest becomes an unknown keyword); everything else
// stays inside the value. Only TDATE can make the log unreadable.
TEST(HostileBytes, EveryByteInEveryHeaderValue) {
  const TEdiText clean = CleanLog();
  const std::size_t cleanLines = Read(clean.Text())->Edi().Lines.size();
  for (std::size_t k = 0; k < clean.Header.size(); ++k) {
    for (int b = 0; b < 256; ++b) {
      TEdiText text = clean;
      std::string& value = text.Header[k].second;
      value.insert(value.size() / 2, Byte(b));
      const auto log = Read(text.Text());
      const TReg1Test& edi = log->Edi();
      const std::string where = text.Header[k].first + " with byte " + std::to_string(b);
      ASSERT_EQ(invariants::CheckLog(*log, true), "") << where;
      ASSERT_TRUE(invariants::ReachedQsoSection(edi)) << where;
      EXPECT_EQ(edi.QSOCount, 3) << where;
      // A line feed in an empty value only ends the line early.
      const bool splits = b == '\n' && !clean.Header[k].second.empty();
      EXPECT_EQ(edi.Lines.size(), cleanLines + (splits ? 1 : 0)) << where;
      // A lone CR is dropped; any other byte spoils the eight-digit date.
      const bool dateSpoilt = text.Header[k].first == "TDate" && b != '\r';
      EXPECT_EQ(edi.Status == 3, dateSpoilt) << where << ", Status " << int{edi.Status};
    }
  }
}

TEST(HostileBytes, TextValueKeepsEveryByteButLineBreaksAndEquals) {
  for (int b = 0; b < 256; ++b) {
    if (b == '\n' || b == '\r' || b == '=') continue;
    TEdiText text = CleanLog();
    text.Header[0].second = "NAC" + Byte(b) + "144";
    const auto log = Read(text.Text());
    EXPECT_EQ(log->Edi().TName, "NAC" + Byte(b) + "144") << "byte " << b;
  }
}

// Each byte value is put into the middle of each field of the second QSO
// line. The declared three QSOs are always found (a line feed splits the line
// into an unreadable record and one more line, which takes the third place).
TEST(HostileBytes, EveryByteInEveryQsoField) {
  const TEdiText clean = CleanLog();
  for (int field = 0; field < 15; ++field) {
    for (int b = 0; b < 256; ++b) {
      TEdiText text = clean;
      std::string& line = text.QsoLines[1];
      std::size_t start = 0;
      for (int f = 0; f < field; ++f) start = line.find(';', start) + 1;
      const std::size_t end = std::min(line.find(';', start), line.size());
      const std::size_t at = start + (end - start) / 2;
      const bool splits = b == '\n' && at < line.size();  // at the very end it only ends the line
      line.insert(at, Byte(b));
      const auto log = Read(text.Text());
      const TReg1Test& edi = log->Edi();
      const std::string where = "field " + std::to_string(field + 1) + " with byte " + std::to_string(b);
      ASSERT_EQ(invariants::CheckLog(*log, true), "") << where;
      ASSERT_TRUE(invariants::ReachedQsoSection(edi)) << where;
      ASSERT_EQ(edi.QSOs.size(), 3u) << where;
      EXPECT_EQ(edi.QSOs[1].Status, splits ? 3 : 0) << where;
    }
  }
}

TEST(HostileBytes, ExchangeFieldKeepsEveryByteButLineBreaksAndSemicolon) {
  for (int b = 0; b < 256; ++b) {
    if (b == '\n' || b == '\r' || b == ';') continue;
    TEdiText text = CleanLog();
    text.QsoLines[1] = "210105;1810;SM6ABC;1;59;;59;;A" + Byte(b) + "B;JO67AA;300;;N;;";
    const auto log = Read(text.Text());
    ASSERT_EQ(log->Edi().QSOs.size(), 3u);
    EXPECT_EQ(log->Edi().QSOs[1].RcvdExch.View(), "A" + Byte(b) + "B") << "byte " << b;
  }
}

TEST(HostileBytes, NulBytesAreKeptAsText) {
  TEdiText text = CleanLog();
  text.Header[0].second = std::string(
      "NAC\0\0"
      "144",
      8);
  text.QsoLines[0] = std::string("210105;1805;SM5\0YZ;1;59;;59;;;JO89XA;30;;N;;", 45);
  const auto log = Read(text.Text());
  EXPECT_EQ(log->Edi().TName, std::string("NAC\0\0"
                                          "144",
                                          8));
  ASSERT_EQ(log->Edi().QSOs.size(), 3u);
  EXPECT_EQ(log->Edi().QSOs[0].Call.View(), std::string_view("SM5\0YZ", 6));
  EXPECT_EQ(log->Edi().Status, 0);
  EXPECT_EQ(invariants::CheckLog(*log, true), "");
}

TEST(HostileBytes, FileOfNulBytesIsOneIncompleteLine) {
  const auto log = Read(std::string(4096, '\0'));
  const TReg1Test& edi = log->Edi();
  ASSERT_EQ(edi.Lines.size(), 1u);
  EXPECT_EQ(edi.LineText(0).size(), 4096u);
  EXPECT_EQ(DiagnosticTexts(edi), std::vector<std::string>{std::string(diag::kIncomplete)});
  EXPECT_EQ(edi.Status, 3);
  EXPECT_TRUE(edi.ReadFinished);
  EXPECT_EQ(invariants::CheckLog(*log, true), "");
}

// Ten thousand header lines: half unknown keywords, half repeats of TNAME.
// Each line carries its own diagnostic; the first TNAME stays.
TEST(HostileBytes, TenThousandHeaderLines) {
  TEdiText text = CleanLog();
  for (int i = 0; i < 5000; ++i) {
    text.Header.emplace_back("X" + std::to_string(10000 + i), "value");
    text.Header.emplace_back("TNAME", "repeat " + std::to_string(i));
  }
  const auto log = Read(text.Text());
  const TReg1Test& edi = log->Edi();
  std::size_t unknown = 0;
  std::size_t duplicate = 0;
  for (const std::string& t : DiagnosticTexts(edi)) {
    unknown += t == diag::kUnknownKeyword ? 1u : 0u;
    duplicate += t == diag::kDuplicateKeyword ? 1u : 0u;
  }
  EXPECT_EQ(unknown, 5000u);
  EXPECT_EQ(duplicate, 5000u);
  EXPECT_EQ(edi.Diagnostics.size(), 10001u);
  EXPECT_EQ(edi.TName, "NAC 144");
  EXPECT_EQ(edi.QSOCount, 3);
  EXPECT_EQ(edi.Status, 0);
  EXPECT_EQ(invariants::CheckLog(*log, true), "");
}

// Lone surrogates become "?", a trailing odd byte is dropped; otherwise the
// UTF-16 file reads like the same text in bytes.
TEST(HostileBytes, Utf16WithLoneSurrogatesAndOddByteCount) {
  TEdiText text = CleanLog();
  text.Header[0].second = "NAC?144";
  text.QsoLines[0] = "210105;1805;SM5?YZ;1;59;;59;;;JO89XA;30;;N;;";
  const std::string bytes = text.Text();

  std::u16string wide = Widen(bytes);
  wide[wide.find(u"NAC?") + 3] = 0xD800;    // a high surrogate without its low half
  wide[wide.find(u"SM5?YZ") + 3] = 0xDC00;  // a low surrogate without its high half
  const std::string utf16 = Utf16(wide) + "A";

  const auto fromBytes = Read(bytes);
  const auto fromUtf16 = Read(utf16);
  EXPECT_EQ(fromUtf16->Edi().TName, "NAC?144");
  EXPECT_EQ(invariants::CheckSameRead(fromUtf16->Edi(), fromBytes->Edi()), "");
  EXPECT_EQ(invariants::CheckLog(*fromUtf16, true), "");
}

TEST(HostileBytes, Utf16MarkAndOneByteIsAnEmptyIncompleteLog) {
  const auto log = Read(
      "\xFF\xFE"
      "A");
  EXPECT_EQ(log->Edi().Lines.size(), 0u);
  EXPECT_EQ(DiagnosticTexts(log->Edi()), std::vector<std::string>{std::string(diag::kIncomplete)});
  EXPECT_EQ(log->Edi().Status, 3);
}

// A lone CR is no line end: the whole file is one line. The header tag splits
// off the text up to the next "]", and no "[Remarks]" line is ever found. (In
// UTF-16 the CRs stay in the line, so its first key is unknown as well.)
TEST(HostileBytes, CarriageReturnOnlyLineEnds) {
  TEdiText text = CleanLog();
  text.LineEnd = "\r";
  for (const std::string& bytes : {text.Text(), Utf16(Widen(text.Text()))}) {
    const auto log = Read(bytes);
    const TReg1Test& edi = log->Edi();
    ASSERT_EQ(edi.Lines.size(), 2u);
    EXPECT_EQ(edi.LineText(0), "[REG1TEST;1]");
    EXPECT_EQ(edi.Diagnostics.back().Text, diag::kIncomplete);
    EXPECT_LE(edi.Diagnostics.size(), 3u);
    EXPECT_EQ(edi.Status, 3);
    EXPECT_TRUE(edi.ReadFinished);
    EXPECT_EQ(invariants::CheckLog(*log, true), "");
  }
}

}  // namespace
}  // namespace loggrevy
