#include "core/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace loggrevy {
namespace {

// Unicode of the bytes 80..9F; the five bytes Windows-1252 leaves undefined
// stand for the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The two or three bytes of a character from U+0080 on: all a byte of
// Windows-1252 can stand for.
void AppendHigh(std::string& out, char32_t cp) {
  if (cp < 0x800) {
    const char bytes[2]{static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(bytes, 2);
  } else {
    const char bytes[3]{static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(bytes, 3);
  }
}

}  // namespace

char UnicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

char32_t Cp1252ToUnicode(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : b;
}

void AppendUtf8(std::string& out, std::string_view cp1252) {
  // Most texts are ASCII but for a national letter or two: the runs between
  // them are found eight bytes at a time and copied whole.
  const char* at = cp1252.data();
  const char* const end = at + cp1252.size();
  const char* run = at;
  while (true) {
    for (uint64_t bytes = 0; end - at >= 8; at += 8) {
      std::memcpy(&bytes, at, 8);
      if ((bytes & 0x8080808080808080u) != 0) break;
    }
    while (at != end && static_cast<unsigned char>(*at) < 0x80) ++at;
    if (at == end) break;
    out.append(run, at);
    AppendHigh(out, Cp1252ToUnicode(*at));
    run = ++at;
  }
  out.append(run, end);
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text);
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      cp = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      cp = b & 0x07u;
    }
    bool valid = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto cont = static_cast<unsigned char>(text[i + k]);
      valid = (cont & 0xC0) == 0x80;
      cp = (cp << 6) | (cont & 0x3Fu);
    }
    valid = valid && !(length == 3 && cp < 0x800) && !(length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) &&
            !(cp >= 0xD800 && cp <= 0xDFFF);
    if (valid) {
      out += UnicodeToCp1252(cp);
      i += length;
    } else {
      out += text[i];
      ++i;
    }
  }
  return out;
}

}  // namespace loggrevy
