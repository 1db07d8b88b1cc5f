#pragma once

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

}  // namespace loggrevy
