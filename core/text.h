#pragma once

#include <charconv>
#include <concepts>
#include <string>
#include <string_view>

namespace loggrevy {

// Upper case in this program means the letters a..z only; every other byte,
// national letters included, stays as it is.
constexpr char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string UpperCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperAscii(c);
  return result;
}

// The decimal digits of a whole number, as a stream writes them, onto the end
// of text. A stream writes the one-byte types as characters: they are left out.
template <std::integral T>
requires(sizeof(T) > 1) void AppendNumber(std::string& text, T value) {
  char digits[24];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace loggrevy
