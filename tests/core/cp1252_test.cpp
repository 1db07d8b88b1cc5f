#include "core/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace loggrevy {
namespace {

TEST(Cp1252, FromUnicode) {
  const std::pair<char32_t, unsigned char> cases[] = {
      {U'A', 0x41},      {U'\u00E5', 0xE5}, {U'\u00D6', 0xD6}, {U'\u00FF', 0xFF}, {U'\u20AC', 0x80},
      {U'\u0160', 0x8A}, {U'\u0178', 0x9F}, {U'\u0081', 0x81}, {U'\u008D', 0x8D}, {U'\u008F', 0x8F},
      {U'\u0090', 0x90}, {U'\u009D', 0x9D}, {U'\u0080', '?'},  {U'\u0085', '?'},  {U'\u03A9', '?'},
      {0xD83D, '?'},     {0xDE00, '?'},     {U'\uFFFF', '?'},  {U'\u0100', '?'},  {0, 0},
  };
  for (const auto& [unicode, byte] : cases) {
    EXPECT_EQ(static_cast<unsigned char>(UnicodeToCp1252(unicode)), byte) << std::hex << static_cast<uint32_t>(unicode);
  }
}

TEST(Cp1252, RoundTripThroughUtf8) {
  const std::string all = [] {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
  }();
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("G\xF6teborg \x80"), "Göteborg €");
  std::string appended = "x";
  AppendUtf8(appended, "\xC5ngby SM5XYZ/P i L\xE4ngby \x84");
  EXPECT_EQ(appended, "xÅngby SM5XYZ/P i Längby „");
  EXPECT_EQ(Utf8ToCp1252("Åäö€Ω"), "\xC5\xE4\xF6\x80?");
  // A byte that is not UTF-8 is taken as Windows-1252.
  EXPECT_EQ(Utf8ToCp1252("\xE5x"), "\xE5x");
}

}  // namespace
}  // namespace loggrevy
