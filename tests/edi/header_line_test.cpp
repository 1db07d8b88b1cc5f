#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "edi/reader_test_support.h"
#include "edi/reg1test.h"

namespace loggrevy {
namespace {

using test::Diags;
using test::HeaderWith;
using test::MakeEdi;
using test::Read;
using test::TEdiParts;
using Strings = std::vector<std::string>;

TEST(ReaderHeader, KeywordIndex) {
  const std::pair<const char*, int> cases[] = {
      {"TNAME", 1},  {"tname", 1},   {"TName", 1},  {"TDate", 2},    {"pwwlo", 4}, {"PBAND", 9},
      {"CODXC", 36}, {"CToSc", 35},  {"TNAME ", 0}, {" TNAME", 0},   {"TNAM", 0},  {"TNAMEX", 0},
      {"", 0},       {"T\xC4ME", 0}, {"[END;", 0},  {"TNAM\xC5", 0},
  };
  for (const auto& [key, number] : cases) EXPECT_EQ(TReg1Test::KeywordIndex(key), number) << key;
}

std::string Str(int32_t value) { return std::to_string(value); }

std::string Float(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

struct THeaderCase {
  const char* Keyword;      // the line of FullHeader that is replaced
  std::string Replacement;  // one or more lines; empty: the keyword is left out
  std::function<std::string(const TReg1Test&)> Field;
  std::string Value;
  Strings Diagnostics;
  uint8_t Status;
  char Separator = ',';
};

TEST(ReaderHeader, Values) {
  const auto name = [](const TReg1Test& e) { return e.TName; };
  const auto dates = [](const TReg1Test& e) { return e.TDateStart + "|" + e.TDateEnd; };
  const auto call = [](const TReg1Test& e) { return Cp1252ToUtf8(e.PCall); };
  const auto club = [](const TReg1Test& e) { return e.PClub; };
  const auto qsos = [](const TReg1Test& e) { return Str(e.CQSOsCount) + "|" + Str(e.CQSOsBandMult); };
  const auto bestDx = [](const TReg1Test& e) {
    return e.CODXCCall + "|" + e.CODXCLocator + "|" + Float(e.CODXCDistance);
  };
  const THeaderCase cases[] = {
      {"TName", "TNAME=Aktivitetstest", name, "Aktivitetstest", {}, 0},
      {"TName", "tname=Akt", name, "Akt", {}, 0},
      {"TName",
       "TName=Aktivitetstest\r\nTNAME=Andra",
       name,
       "Aktivitetstest",
       {"TNAME=Andra: Duplikat på nyckelord"},
       0},
      {"TName", "TNAME =x", name, "", {"TNAME =x: Okänt nyckelord", "*: Nyckelordet TNAME saknas."}, 2},
      {"TName", "TName", name, "", {}, 0},  // no "=": an empty value
      {"TName", "TName=" + std::string(90, 'x'), name, std::string(80, 'x'), {}, 0},
      {"TName", "  TName=Akt  ivitet  ", name, "Akt  ivitet", {}, 0},
      {"PBand", "PBAND=1296 MHz", [](const TReg1Test& e) { return e.PBand; }, "1296 MH", {}, 0},
      {"PCall", "PCALL=sm/abc-1", call, "SM/ABC1", {}, 0},
      {"PCall", "PCALL=sm5åäö¹²³", call, "SM5åäö", {}, 0},  // upper case is a..z only
      {"PCall", "PCALL=SM5ABCDEFGHIJK", call, "SM5ABCDEFGHI", {}, 0},
      {"RCall", "RCALL=sm5abcd", [](const TReg1Test& e) { return e.RCall; }, "SM5ABC", {}, 0},
      {"PClub", "PCLUB= abc def", club, "ABC", {}, 0},
      {"PClub", "PCLUB=sk5-aa/x1234", club, "SK5AA/", {}, 0},
      {"PClub", "PCLUB=", club, "", {}, 0},
      {"PWWLo", "PWWLO=jo89vu12x", [](const TReg1Test& e) { return e.PWWLo; }, "JO89VU12", {}, 0},
      {"RName",
       "RNAME=" + std::string(40, 'n'),
       [](const TReg1Test& e) { return e.RName; },
       std::string(30, 'n'),
       {},
       0},
      {"RHBBS", "RHBBS=a=b", [](const TReg1Test& e) { return e.RHBBS; }, "a", {}, 0},
      {"TDate", "TDATE=20240321;20240322", dates, "20240321|20240322", {}, 0},
      {"TDate", "TDATE=20241399;00000000", dates, "20241399|00000000", {}, 0},  // ranges are not examined
      {"TDate",
       "TDATE=2024-03-21;20240321",
       dates,
       "20040101|20240321",
       {"TDATE=2024-03-21;20240321: Datum specifierat på ogiltigt format"},
       3},
      {"TDate",
       "TDATE=20240321",
       dates,
       "20240321|20040101",
       {"TDATE=20240321: Datum specifierat på ogiltigt format"},
       3},
      {"TDate", "TDATE=x;y", dates, "20040101|20040101", {"TDATE=x;y: Datum specifierat på ogiltigt format"}, 3},
      {"TDate",
       "TDATE= 20240321;20240321",
       dates,
       "20040101|20240321",
       {"TDATE= 20240321;20240321: Datum specifierat på ogiltigt format"},
       3},
      {"CQSOs", "CQSOS=12", qsos, "12|-1", {"CQSOS=12: Ogiltigt värde"}, 1},
      {"CQSOs", "CQSOS=12;1", qsos, "12|1", {}, 0},
      {"CQSOs", "CQSOS= 12;+1", qsos, "12|1", {}, 0},
      {"CQSOs", "CQSOS=12 ;1", qsos, "-1|1", {"CQSOS=12 ;1: Ogiltigt värde"}, 1},  // no trailing blanks
      {"CQSOs", "CQSOS=x;y", qsos, "-1|-1", {"CQSOS=x;y: Ogiltigt värde"}, 1},
      {"CQSOs", "CQSOS=12;1;7", qsos, "12|1", {}, 0},
      {"SAntH",
       "SANTH=10;300",
       [](const TReg1Test& e) { return Str(e.SAntHGround) + "|" + Str(e.SAntHSea); },
       "10|300",
       {},
       0},
      {"CToSc",
       "CTOSC=2147483648",
       [](const TReg1Test& e) { return Str(e.CToSc); },
       "-1",
       {"CTOSC=2147483648: Ogiltigt värde"},
       1},
      {"CToSc", "CTOSC=-2147483648", [](const TReg1Test& e) { return Str(e.CToSc); }, "-2147483648", {}, 0},
      {"CQSOP",
       "CQSOP=\t100",
       [](const TReg1Test& e) { return Str(e.CQSOP); },
       "-1",
       {"CQSOP=\t100: Ogiltigt värde"},
       1},
      {"CWWLs",
       "CWWLS=2;;1",
       [](const TReg1Test& e) { return Str(e.CWWLsCount) + "|" + Str(e.CWWLsBonus) + "|" + Str(e.CWWLsMult); },
       "2|-1|1",
       {"CWWLS=2;;1: Ogiltigt värde"},
       1},
      {"CODXC", "CODXC=abc;JO00AA;523", bestDx, "abc|JO00AA|523", {}, 0},  // the call is not upper-cased
      {"CODXC", "CODXC=SM5XYZ;JO99BM;42,5", bestDx, "SM5XYZ|JO99BM|42.5", {}, 0},
      {"CODXC",
       "CODXC=SM5XYZ;JO99BM;42.5",
       bestDx,
       "SM5XYZ|JO99BM|-1",
       {"CODXC=SM5XYZ;JO99BM;42.5: Ogiltigt värde"},
       1},
      {"CODXC", "CODXC=SM5XYZ;JO99BM;42.5", bestDx, "SM5XYZ|JO99BM|42.5", {}, 0, '.'},
      {"CODXC",
       "CODXC=SM5XYZ;JO99BM;42,5",
       bestDx,
       "SM5XYZ|JO99BM|-1",
       {"CODXC=SM5XYZ;JO99BM;42,5: Ogiltigt värde"},
       1,
       '.'},
      {"CODXC", "CODXC=SM5XYZ;JO99BM", bestDx, "SM5XYZ|JO99BM|-1", {"CODXC=SM5XYZ;JO99BM: Ogiltigt värde"}, 1},
      {"CODXC",
       "CODXC=SM5XYZ;JO99BM;1e39",
       bestDx,
       "SM5XYZ|JO99BM|-1",
       {"CODXC=SM5XYZ;JO99BM;1e39: Ogiltigt värde"},
       1},
      {"CODXC", "CODXC=SM5XYZ;JO99BM;4,25E2", bestDx, "SM5XYZ|JO99BM|425", {}, 0},
      {"CODXC", "CODXC=" + std::string(14, 'C') + ";JO99BM12X;1", bestDx, std::string(12, 'C') + "|JO99BM12|1", {}, 0},
      {"SPowe", "", [](const TReg1Test& e) { return e.SPowe; }, "", {"*: Nyckelordet SPOWE saknas."}, 2},
      {"PBand", "", [](const TReg1Test& e) { return e.PBand; }, "", {"*: Nyckelordet PBAND saknas."}, 2},
      {"SPowe",
       "SPowe=100\r\n   ",
       [](const TReg1Test& e) { return e.SPowe; },
       "100",
       {"   : Okänt nyckelord"},
       0},  // a line of blanks in the header
  };
  for (const auto& c : cases) {
    TEdiParts parts;
    parts.Header = HeaderWith(c.Keyword, c.Replacement);
    const auto edi = Read(MakeEdi(parts), c.Separator);
    EXPECT_EQ(c.Field(*edi), c.Value) << c.Replacement;
    EXPECT_EQ(Diags(*edi), c.Diagnostics) << c.Replacement;
    EXPECT_EQ(edi->Status, c.Status) << c.Replacement;
  }
}

TEST(ReaderHeader, MissingKeywordsInKeywordOrder) {
  TEdiParts parts;
  parts.Header = {"CODXC=SM5XYZ;JO99BM;42,5", "PWWLO=JO89VU"};
  const auto edi = Read(MakeEdi(parts));
  const Strings diagnostics = Diags(*edi);
  ASSERT_EQ(diagnostics.size(), 34u);
  EXPECT_EQ(diagnostics[0], "*: Nyckelordet TNAME saknas.");
  EXPECT_EQ(diagnostics[1], "*: Nyckelordet TDATE saknas.");
  EXPECT_EQ(diagnostics[2], "*: Nyckelordet PCALL saknas.");
  EXPECT_EQ(diagnostics[3], "*: Nyckelordet PEXCH saknas.");
  EXPECT_EQ(diagnostics[33], "*: Nyckelordet CTOSC saknas.");
  EXPECT_EQ(edi->Status, 2);
  EXPECT_EQ(edi->KeywordSeen[4], true);
  EXPECT_EQ(edi->KeywordSeen[36], true);
  EXPECT_EQ(edi->KeywordSeen[1], false);
}

TEST(ReaderHeader, ValueThatNeverArrivesKeepsItsField) {
  TEdiParts parts;
  parts.Header = HeaderWith("CToSc", "");
  const auto edi = Read(MakeEdi(parts));
  EXPECT_EQ(edi->CToSc, 0);
  EXPECT_EQ(edi->Status, 2);
}

}  // namespace
}  // namespace loggrevy
