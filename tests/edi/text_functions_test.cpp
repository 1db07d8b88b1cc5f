#include "edi/text_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "core/cp1252.h"

namespace loggrevy {
namespace {

TEST(EdiText, ExtractField) {
  struct TCase {
    const char* Text;
    char Separator;
    std::size_t N;
    const char* Field;
  };
  const TCase cases[] = {
      {"PCall=SM5ABC", '=', 1, "SM5ABC"},
      {"PCall=SM5ABC", '=', 0, "PCall"},
      {"TName", '=', 1, ""},
      {"TName", '=', 0, "TName"},
      {"a;;c", ';', 2, "c"},
      {"a;;c", ';', 1, ""},
      {"a;b", ';', 3, ""},
      {"a;b", ';', 2, ""},
      {"a;b;", ';', 2, ""},
      {"", ';', 0, ""},
      {";", ';', 0, ""},
      {"RHBBS=a=b", '=', 1, "a"},
      {"[REG1TEST;1]x]y", ']', 1, "x"},
      {" abc def", ' ', 0, ""},
      {"abc def", ' ', 1, "def"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractField(c.Text, c.Separator, c.N), c.Field) << c.Text << " " << c.Separator << " " << c.N;
  }
}

TEST(EdiText, TrimBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"  SM5 ABC  ", "SM5 ABC"}, {"   ", ""},      {"", ""}, {"x", "x"}, {"\tx\t", "\tx\t"},
      {" \t x \t ", "\t x \t"},   {"a  b", "a  b"},
  };
  for (const auto& [text, trimmed] : cases) EXPECT_EQ(TrimBlanks(text), trimmed) << "[" << text << "]";
}

TEST(EdiText, KeepCallChars) {
  const std::pair<std::string, std::string> cases[] = {
      {"SM5ABC/P ", "SM5ABC/P"},
      {"sm-5", "sm5"},
      {"sm/abc-1", "sm/abc1"},
      {" S M\t5.A_B,C ", "SM5ABC"},
      {"SM5\xC5\xC4\xD6\xE5\xE4\xF6", "SM5\xC5\xC4\xD6\xE5\xE4\xF6"},  // national letters stay
      {"\x83\x8A\x8C\x8E\x9A\x9C\x9E\x9F\xAA\xB5\xBA", "\x83\x8A\x8C\x8E\x9A\x9C\x9E\x9F\xAA\xB5\xBA"},
      {"\xC0\xD6\xD8\xF6\xF8\xFF", "\xC0\xD6\xD8\xF6\xF8\xFF"},
      {"A\xB9\xB2\xB3"
       "B",
       "AB"},  // superscript digits are not digits
      {"A\xD7\xF7"
       "B",
       "AB"},  // multiplication and division signs
      {"A\x80\x81\x8D\x90\x9D\xA0\xA9\xBC\xBF"
       "B",
       "AB"},
      {"", ""},
  };
  for (const auto& [text, kept] : cases) EXPECT_EQ(Cp1252ToUtf8(KeepCallChars(text)), Cp1252ToUtf8(kept));
}

TEST(EdiText, LetterOrDigitIsTheWindows1252LetterSet) {
  std::string letters;
  for (int c = 1; c < 256; ++c) {
    if (IsLetterOrDigit(static_cast<char>(c))) letters += static_cast<char>(c);
  }
  EXPECT_EQ(Cp1252ToUtf8(letters),
            "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyzƒŠŒŽšœžŸªµº"
            "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞßàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿ");
}

TEST(EdiText, SevenBitSwedish) {
  // The Swedish seven-bit variant: [ \\ ] { | } are Ä Ö Å ä ö å.
  std::string text = "G|teborg V{xj| [bo \\STERSUND ]re }n {|} abc";
  SevenBitSwedishToAnsi(text);
  EXPECT_EQ(Cp1252ToUtf8(text), "Göteborg Växjö Äbo ÖSTERSUND Åre ån äöå abc");
}

TEST(EdiText, DosSwedish) {
  std::string text = "G\x94teborg \x84\x86\x8E\x8F\x94\x99 \x81\x82\x90";
  DosSwedishToAnsi(text);
  EXPECT_EQ(Cp1252ToUtf8(text), Cp1252ToUtf8("G\xF6teborg \xE4\xE5\xC4\xC5\xF6\xD6 \x81\x82\x90"));
}

}  // namespace
}  // namespace loggrevy
