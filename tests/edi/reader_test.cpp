#include "edi/reg1test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "edi/reader_test_support.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

using test::Diags;
using test::FullHeader;
using test::kQso1;
using test::kQso2;
using test::LineTexts;
using test::MakeEdi;
using test::Read;
using test::TEdiParts;
using Strings = std::vector<std::string>;

const std::string kFailure[] = {
    "*: EDI-filen följer ej standard och kan ej läsas.",
    "*: Felet orsakade en ohanterad exception, skicka den därför",
    "*: till support för utredning av programfelet.",
};
const Strings kFailureDiags(std::begin(kFailure), std::end(kFailure));

// UTF-8 text as a UTF-16 little-endian file with its byte-order mark.
std::string Utf16File(std::string_view utf8) {
  std::string bytes = "\xFF\xFE";
  const auto unit = [&](char32_t u) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>((u >> 8) & 0xFF);
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? b : length == 2 ? (b & 0x1Fu) : length == 3 ? (b & 0x0Fu) : (b & 0x07u);
    for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    i += length;
    if (cp >= 0x10000) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return bytes;
}

TEST(Reader, CompleteLog) {
  const auto edi = Read(MakeEdi({}));
  EXPECT_EQ(Diags(*edi), Strings{});
  EXPECT_EQ(edi->Status, 0);
  EXPECT_EQ(edi->ReadFinished, true);
  EXPECT_EQ(edi->FileName, "test.edi");
  EXPECT_EQ(edi->QSOCount, 2);
  EXPECT_EQ(edi->QSOs.size(), 2u);
  EXPECT_EQ(edi->Lines.size(), 42u);
  EXPECT_EQ(edi->Remarks, Strings{});
  EXPECT_EQ(edi->TName, "Aktivitetstest");
  EXPECT_EQ(edi->PWWLo, "JO89VU");
  EXPECT_EQ(edi->CODXCDistance, 42.5f);
  EXPECT_EQ(edi->Diagnostics.size(), 1u);
  EXPECT_EQ(edi->Diagnostics[0].Text, "");
  EXPECT_EQ(edi->Diagnostics[0].LineRef, 0);
  EXPECT_EQ(std::count(edi->KeywordSeen.begin() + 1, edi->KeywordSeen.end(), true), 36);
}

TEST(Reader, Utf16LinesAreTrimmedAndBlankRunsCollapsed) {
  TEdiParts parts;
  parts.Header = test::HeaderWith("TName", "  TName=Aktivitets   test  ");
  parts.Remarks = {"Hälsningar  från   Göteborg  "};
  const std::string utf8 = Cp1252ToUtf8(MakeEdi(parts));

  const auto utf16 = Read(Utf16File(utf8));
  EXPECT_EQ(Diags(*utf16), Strings{});
  EXPECT_EQ(utf16->TName, "Aktivitets test");
  EXPECT_EQ(LineTexts(*utf16)[1], "TName=Aktivitets test");
  ASSERT_EQ(utf16->Remarks.size(), 1u);
  EXPECT_EQ(Cp1252ToUtf8(utf16->Remarks[0]), "Hälsningar från Göteborg");
  EXPECT_EQ(utf16->QSOs.size(), 2u);

  const auto bytes = Read(MakeEdi(parts));
  EXPECT_EQ(Diags(*bytes), Strings{});
  EXPECT_EQ(bytes->TName, "Aktivitets   test");
  EXPECT_EQ(LineTexts(*bytes)[1], "  TName=Aktivitets   test  ");
  ASSERT_EQ(bytes->Remarks.size(), 1u);
  EXPECT_EQ(Cp1252ToUtf8(bytes->Remarks[0]), "Hälsningar  från   Göteborg  ");
}

TEST(Reader, Utf16UnitsAreConvertedOneByOne) {
  // The last line has no line feed: it is kept exactly as collected.
  const std::string utf8 =
      "[REG1TEST;1]\r\n[Remarks]\r\n€ Ω 😀 \u0081\u008D\u008F\u0090\u009D ä\r\n[QSORecords;0]\r\n  [END;  x  ]  ";
  const auto edi = Read(Utf16File(utf8));
  ASSERT_EQ(edi->Lines.size(), 5u);
  EXPECT_EQ(std::string(edi->LineText(2)), "\x80 ? ?? \x81\x8D\x8F\x90\x9D \xE4");
  EXPECT_EQ(std::string(edi->LineText(4)), "  [END;  x  ]  ");
  ASSERT_EQ(edi->Remarks.size(), 1u);
  EXPECT_EQ(edi->Remarks[0], "\x80 ? ?? \x81\x8D\xC5\x90\x9D \xE4");  // 8F is a DOS letter in a remark

  // A trailing odd byte is ignored.
  const auto odd = Read(Utf16File(utf8) + "X");
  EXPECT_EQ(LineTexts(*odd), LineTexts(*edi));
  EXPECT_EQ(Diags(*odd), Diags(*edi));
}

TEST(Reader, ByteModeLineEnds) {
  // LF and CR LF end a line; a lone CR is dropped and the line goes on.
  const std::string text = "[REG1TEST;1]\nTName=Akt\rivitetstest\r\n\r\n\n[Remarks]\r\r\nrad\r\n[QSORecords;0]\n[END;]";
  const auto edi = Read(text);
  EXPECT_EQ(LineTexts(*edi),
            (Strings{"[REG1TEST;1]", "TName=Aktivitetstest", "[Remarks]", "rad", "[QSORecords;0]", "[END;]"}));
  EXPECT_EQ(edi->TName, "Aktivitetstest");
}

TEST(Reader, CtrlZEndsTheFileOnlyAtTheStartOfALine) {
  const std::string head = "[REG1TEST;1]\r\n[Remarks]\r\n";
  const std::string tail = "[QSORecords;0]\r\n";
  struct TCase {
    std::string Middle;
    Strings Remarks;
    bool Complete;
  };
  const TCase cases[] = {
      {"\x1A"
       "rad\r\n",
       {},
       false},
      {"\r\x1A"
       "rad\r\n",
       {},
       false},  // lone CRs are dropped first
      {"\r\r\x1A\r\n", {}, false},
      {"ett\x1Atv\xE5\r\n", {"ett\x1Atv\xE5"}, true},
      {" \x1A\r\n", {" \x1A"}, true},
  };
  for (const auto& c : cases) {
    const auto edi = Read(head + c.Middle + tail);
    EXPECT_EQ(edi->Remarks, c.Remarks) << c.Middle;
    EXPECT_EQ(edi->Status, c.Complete ? 2 : 3) << c.Middle;  // every header keyword is missing
    EXPECT_EQ(Diags(*edi).back(), c.Complete ? "*: Nyckelordet CODXC saknas." : "*: EDI-loggen ej komplett")
        << c.Middle;
  }
  // The end-of-file mark of old DOS programs after a complete log.
  const auto edi = Read(MakeEdi({}) + "\x1A");
  EXPECT_EQ(Diags(*edi), Strings{});
  EXPECT_EQ(LineTexts(*edi).back(), "[END; Loggrevy test]");
}

TEST(Reader, TagLinesAreSplitAfterTheirBracket) {
  TEdiParts parts;
  parts.Header = test::HeaderWith("TName", "");
  parts.Remarks = {"andra raden"};
  parts.QsoTag = "[QSORecords;2]" + kQso1;
  parts.Qsos = {kQso2};
  std::string text = "Skapad av ett annat program\r\nxyz[REG1TEST;1]TName=Test\r\n";
  text += MakeEdi(parts).substr(std::string("[REG1TEST;1]\r\n").size());
  // The remarks tag carries the first remark.
  const std::string remarks = "[Remarks]\r\n";
  text.replace(text.find(remarks), remarks.size(), "[Remarks]f\xF6rsta raden\r\n");

  const auto edi = Read(text);
  EXPECT_EQ(Diags(*edi), Strings{});
  EXPECT_EQ(edi->TName, "Test");
  const Strings lines = LineTexts(*edi);
  EXPECT_EQ(Strings(lines.begin(), lines.begin() + 3),
            (Strings{"Skapad av ett annat program", "[REG1TEST;1]", "TName=Test"}));
  EXPECT_EQ(
      Strings(lines.begin() + 38, lines.end()),
      (Strings{"[Remarks]", "första raden", "andra raden", "[QSORecords;2]", kQso1, kQso2, "[END; Loggrevy test]"}));
  EXPECT_EQ(edi->QSOs.size(), 2u);
  EXPECT_EQ(edi->Remarks.size(), 2u);
}

TEST(Reader, TagSplitStopsAtTheSecondBracket) {
  TEdiParts parts;
  parts.QsoTag = "[QSORecords;2]" + kQso1 + "]rest";
  parts.Qsos = {kQso2};
  const auto edi = Read(MakeEdi(parts));
  EXPECT_EQ(Diags(*edi), Strings{});
  EXPECT_EQ(LineTexts(*edi)[39], kQso1);
  EXPECT_EQ(edi->QSOs.size(), 2u);
}

TEST(Reader, TagWithoutClosingBracket) {
  // A tag line without "]" becomes an empty line, and an empty line follows it.
  TEdiParts parts;
  parts.QsoTag = "[QSORecords;2";
  std::string text = MakeEdi(parts);
  text.replace(0, 12, "[REG1TEST;1");
  const auto edi = Read(text);
  EXPECT_EQ(Diags(*edi), Strings{});
  EXPECT_EQ(edi->Status, 0);
  EXPECT_EQ(edi->QSOs.size(), 2u);
  const Strings lines = LineTexts(*edi);
  ASSERT_EQ(lines.size(), 44u);
  EXPECT_EQ(Strings(lines.begin(), lines.begin() + 3), (Strings{"", "", "TName=Aktivitetstest"}));
  EXPECT_EQ(Strings(lines.begin() + 38, lines.begin() + 42), (Strings{"[Remarks]", "", "", kQso1}));
}

struct TVersionCase {
  const char* Tag;
  enum { Read, Incompatible, Failure, NoTag } Outcome;
};

TEST(Reader, Version) {
  const TVersionCase cases[] = {
      {"[REG1TEST;1]", TVersionCase::Read},
      {"[REG1TEST; 1]", TVersionCase::Read},
      {"[REG1TEST;+1]", TVersionCase::Read},
      {"[REG1TEST;01]", TVersionCase::Read},
      {"[REG1TEST;1;x]", TVersionCase::Read},
      {"[REG1TEST;2]", TVersionCase::Incompatible},
      {"[REG1TEST;0]", TVersionCase::Incompatible},
      {"[REG1TEST;-1]", TVersionCase::Incompatible},
      {"[REG1TEST;x]", TVersionCase::Failure},
      {"[REG1TEST;]", TVersionCase::Failure},
      {"[REG1TEST;1 ]", TVersionCase::Failure},
      {"[REG1TEST;1.0]", TVersionCase::Failure},
      {"[REG1TEST;4294967297]", TVersionCase::Failure},
      {"[reg1test;1]", TVersionCase::NoTag},
      {"[REG1TEST 1]", TVersionCase::NoTag},
  };
  for (const auto& c : cases) {
    std::string text = MakeEdi({});
    text.replace(0, 12, c.Tag);
    const auto edi = Read(text);
    switch (c.Outcome) {
      case TVersionCase::Read:
        EXPECT_EQ(Diags(*edi), Strings{}) << c.Tag;
        EXPECT_EQ(edi->Status, 0) << c.Tag;
        EXPECT_EQ(edi->ReadFinished, true) << c.Tag;
        break;
      case TVersionCase::Incompatible:
        // No diagnostics for the keywords: the read ends at the tag.
        EXPECT_EQ(Diags(*edi), Strings{std::string(c.Tag) + ": Ej kompatibel EDI version"}) << c.Tag;
        EXPECT_EQ(edi->Diagnostics.at(1).LineRef, 0) << c.Tag;
        EXPECT_EQ(edi->Status, 3) << c.Tag;
        EXPECT_EQ(edi->ReadFinished, false) << c.Tag;
        EXPECT_EQ(edi->QSOs.size(), 0u) << c.Tag;
        break;
      case TVersionCase::Failure:
        EXPECT_EQ(Diags(*edi), kFailureDiags) << c.Tag;
        EXPECT_EQ(edi->Status, 3) << c.Tag;
        EXPECT_EQ(edi->ReadFinished, false) << c.Tag;
        EXPECT_EQ(edi->Lines.size(), 42u) << c.Tag;  // the lines read so far stay
        break;
      case TVersionCase::NoTag:
        EXPECT_EQ(Diags(*edi), Strings{"*: EDI-loggen ej komplett"}) << c.Tag;
        EXPECT_EQ(edi->Status, 3) << c.Tag;
        EXPECT_EQ(edi->ReadFinished, true) << c.Tag;
        break;
    }
  }
}

TEST(Reader, RemarksTagMustStartTheLineInThisSpelling) {
  for (const char* tag : {"[remarks]", " [Remarks]", "[REMARKS]"}) {
    std::string text = MakeEdi({});
    text.replace(text.find("[Remarks]"), 9, tag);
    const auto edi = Read(text);
    // The rest of the file is read as header lines.
    EXPECT_EQ(Diags(*edi), (Strings{std::string(tag) + ": Okänt nyckelord", "[QSORecords;2]: Okänt nyckelord",
                                    kQso1 + ": Okänt nyckelord", kQso2 + ": Okänt nyckelord",
                                    "[END; Loggrevy test]: Okänt nyckelord", "*: EDI-loggen ej komplett"}))
        << tag;
    EXPECT_EQ(edi->Status, 3) << tag;
    EXPECT_EQ(edi->ReadFinished, true) << tag;
    EXPECT_EQ(edi->QSOs.size(), 0u) << tag;
    EXPECT_EQ(edi->QSOCount, 0) << tag;
  }
}

TEST(Reader, QsoCount) {
  struct TCase {
    std::string Tag;
    Strings Qsos;
    Strings Diagnostics;
    uint8_t Status;
    int32_t QSOCount;
    std::string Trailer = "";
  };
  const TCase cases[] = {
      {"[QSORecords;3]", {kQso1, kQso2}, {"[QSORecords;3]: För få QSO-rader! Anpassar QSO-antal."}, 1, 2},
      {"[QSORecords;2]", {kQso1, kQso2, "skr\xE4p"}, {}, 0, 2},  // lines beyond the count are ignored
      {"[QSORecords;0]", {}, {}, 0, 0},
      {"[QSORecords;0]", {kQso1}, {}, 0, 0},
      {"[QSORecords; 1]", {kQso1, kQso2}, {}, 0, 1},
      {"[QSORecords;-1]", {kQso1}, {"[QSORecords;-1]: För få QSO-rader! Anpassar QSO-antal."}, 1, 1},
      {"[QSORecords;2]", {kQso1, "", kQso2}, {}, 0, 2},  // empty lines do not count
      // Short of QSO lines, the closing line is taken for one.
      {"[QSORecords;3]", {kQso1, kQso2}, {"[END; x]: Ej läsbar QSO-rad"}, 3, 3, "[END; x]"},
      {"[QSORecords;2]", {kQso1, kQso2}, {}, 0, 2, "[END; x]"},
  };
  for (const auto& c : cases) {
    TEdiParts parts;
    parts.QsoTag = c.Tag;
    parts.Qsos = c.Qsos;
    parts.Trailer = c.Trailer;
    const auto edi = Read(MakeEdi(parts));
    EXPECT_EQ(Diags(*edi), c.Diagnostics) << c.Tag;
    EXPECT_EQ(edi->Status, c.Status) << c.Tag;
    EXPECT_EQ(edi->QSOCount, c.QSOCount) << c.Tag;
    EXPECT_EQ(edi->QSOs.size(), static_cast<std::size_t>(c.QSOCount)) << c.Tag;
  }
}

TEST(Reader, QsoCountThatIsNotANumberFailsTheRead) {
  for (const char* tag : {"[QSORecords;x]", "[QSORecords;]", "[QSORecords;2 ]", "[QSORecords;99999999999]"}) {
    TEdiParts parts;
    parts.QsoTag = tag;
    const auto edi = Read(MakeEdi(parts));
    EXPECT_EQ(Diags(*edi), kFailureDiags) << tag;
    EXPECT_EQ(edi->Status, 3) << tag;
    EXPECT_EQ(edi->ReadFinished, false) << tag;
  }
}

TEST(Reader, MissingSections) {
  const std::string full = MakeEdi({});
  const std::string cuts[] = {
      full.substr(0, full.find("[QSORecords")),  // no QSO tag
      full.substr(0, full.find("[Remarks]")),    // no remarks tag
      full.substr(full.find("TName")),           // no header tag
      "",
  };
  for (const auto& text : cuts) {
    const auto edi = Read(text);
    EXPECT_EQ(Diags(*edi), Strings{"*: EDI-loggen ej komplett"});
    EXPECT_EQ(edi->Status, 3);
    EXPECT_EQ(edi->ReadFinished, true);
  }
  TEdiParts noEnd;
  noEnd.Trailer = "";
  const auto edi = Read(MakeEdi(noEnd));
  EXPECT_EQ(Diags(*edi), Strings{});
  EXPECT_EQ(edi->Status, 0);
}

TEST(Reader, Remarks) {
  TEdiParts parts;
  parts.Remarks = {"Hej", "   ", "G|teborg \x94 [bo", "  ", "   "};
  const auto edi = Read(MakeEdi(parts));
  EXPECT_EQ(Diags(*edi), Strings{});
  // Blank remark lines at the end are dropped, those in the middle stay.
  ASSERT_EQ(edi->Remarks.size(), 3u);
  EXPECT_EQ(edi->Remarks[0], "Hej");
  EXPECT_EQ(edi->Remarks[1], "   ");
  EXPECT_EQ(Cp1252ToUtf8(edi->Remarks[2]), "Göteborg ö Äbo");
  // Lines keep the remark as written.
  EXPECT_EQ(std::string(edi->LineText(40)), "G|teborg \x94 [bo");
}

TEST(Reader, ALineKeepsOnlyItsFirstDiagnostic) {
  TEdiParts parts;
  parts.Header = test::HeaderWith("CQSOs", "CQSOs=x;y");
  parts.Qsos = {kQso1, "240604;1830;SM5XYZ;1;59;abc;59"};
  const auto edi = Read(MakeEdi(parts));
  EXPECT_EQ(Diags(*edi), (Strings{"CQSOs=x;y: Ogiltigt värde", "240604;1830;SM5XYZ;1;59;abc;59: Ogiltigt värde"}));
  EXPECT_EQ(edi->CQSOsCount, -1);
  EXPECT_EQ(edi->CQSOsBandMult, -1);
  // The unreadable QSO line still makes the log unreadable.
  EXPECT_EQ(edi->Status, 3);
  EXPECT_EQ(edi->QSOs.at(1).Status, 3);
  for (std::size_t i = 0; i < edi->Lines.size(); ++i) {
    const int32_t ref = edi->Lines[i].DiagnosticRef;
    if (ref != 0) {
      EXPECT_EQ(edi->Diagnostics.at(static_cast<std::size_t>(ref)).LineRef, static_cast<int32_t>(i));
    }
  }
}

TEST(Reader, GetQso) {
  const auto edi = Read(MakeEdi({}));
  EXPECT_EQ(edi->GetQSO(0), nullptr);
  EXPECT_EQ(edi->GetQSO(-1), nullptr);
  EXPECT_EQ(edi->GetQSO(3), nullptr);
  ASSERT_NE(edi->GetQSO(2), nullptr);
  EXPECT_EQ(edi->GetQSO(2)->Call, "SM5ABD");
  EXPECT_EQ(edi->GetQSO(1), &edi->QSOs[0]);
}

TEST(Reader, MissingFile) {
  TReg1Test edi;
  edi.LoadFromFile(std::string(LOGGREVY_TEST_DATA_DIR) + "/no such file.edi");
  EXPECT_EQ(Diags(edi), kFailureDiags);
  EXPECT_EQ(edi.Lines.size(), 0u);
  EXPECT_EQ(edi.Status, 3);
  EXPECT_EQ(edi.ReadFinished, false);
  EXPECT_EQ(edi.FileName, "");
}

struct TSnapshot {
  Strings Lines;
  std::vector<int32_t> DiagnosticRefs;
  Strings Diagnostics;
  std::vector<int32_t> LineRefs;
  Strings Qsos;
  Strings Remarks;
  int Status;
  int32_t QSOCount;
};

TSnapshot Snapshot(const TReg1Test& edi) {
  TSnapshot s{LineTexts(edi), {}, Diags(edi), {}, test::DescribeQsos(edi), edi.Remarks, edi.Status, edi.QSOCount};
  for (const auto& line : edi.Lines) s.DiagnosticRefs.push_back(line.DiagnosticRef);
  for (const auto& d : edi.Diagnostics) s.LineRefs.push_back(d.LineRef);
  return s;
}

void ExpectSame(const TSnapshot& a, const TSnapshot& b) {
  EXPECT_EQ(a.Lines, b.Lines);
  EXPECT_EQ(a.DiagnosticRefs, b.DiagnosticRefs);
  EXPECT_EQ(a.Diagnostics, b.Diagnostics);
  EXPECT_EQ(a.LineRefs, b.LineRefs);
  EXPECT_EQ(a.Qsos, b.Qsos);
  EXPECT_EQ(a.Remarks, b.Remarks);
  EXPECT_EQ(a.Status, b.Status);
  EXPECT_EQ(a.QSOCount, b.QSOCount);
}

TEST(Reader, ReadingTwiceGivesTheSameResult) {
  const std::string path = std::string(LOGGREVY_TEST_DATA_DIR) + "/faults_crlf.edi";
  TReg1Test edi;
  edi.LoadFromFile(path);
  const TSnapshot first = Snapshot(edi);
  EXPECT_EQ(first.Status, 3);
  EXPECT_EQ(first.Diagnostics,
            (Strings{"TNAME=Duplikat: Duplikat på nyckelord", "CQSOP=1OO: Ogiltigt värde", "Okänt=1: Okänt nyckelord",
                     "240604;1830;SM5XYZ;1;59;x01;59;001;;JO99BM;42;N;N;;: Ogiltigt värde",
                     "240604;1831;SM5ABD;1;59;x02;59;002;;JO89VU;1;;N;;: Ogiltigt värde (upprepas)",
                     "240604;1833;SM5ABF;1;59;004;59: Ej läsbar QSO-rad", "*: Nyckelordet SPOWE saknas."}));
  EXPECT_EQ(first.Remarks, (Strings{"G\xF6teborg", "73 fr\xE5n Anna"}));  // seven-bit letters converted
  // The second read starts its repeat counters, keyword marks and diagnostics afresh.
  edi.LoadFromFile(path);
  ExpectSame(Snapshot(edi), first);
  EXPECT_EQ(edi.FileName, path);
}

TEST(Reader, ReloadKeepsWhatTheNewReadDoesNotSet) {
  TReg1Test edi;
  edi.LoadFromBuffer(MakeEdi({}), "first.edi");
  ASSERT_EQ(edi.Status, 0);

  // A failure before the lines are walked leaves the records of the earlier read.
  edi.LoadFromFile(std::string(LOGGREVY_TEST_DATA_DIR) + "/no such file.edi");
  EXPECT_EQ(edi.Status, 3);
  EXPECT_EQ(edi.Lines.size(), 0u);
  EXPECT_EQ(edi.QSOs.size(), 2u);
  EXPECT_EQ(edi.ReadFinished, true);
  EXPECT_EQ(edi.FileName, "first.edi");

  TEdiParts parts;
  parts.Header = test::HeaderWith("SPowe", "");
  parts.Qsos = {kQso1};
  parts.QsoTag = "[QSORecords;1]";
  edi.LoadFromBuffer(MakeEdi(parts), "second.edi");
  EXPECT_EQ(Diags(edi), Strings{"*: Nyckelordet SPOWE saknas."});
  EXPECT_EQ(edi.Status, 2);
  EXPECT_EQ(edi.SPowe, "100");  // from the first read
  EXPECT_EQ(edi.QSOs.size(), 1u);
  EXPECT_EQ(edi.QSOCount, 1);
}

}  // namespace
}  // namespace loggrevy
