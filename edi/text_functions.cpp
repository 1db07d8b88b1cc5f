#include "edi/text_functions.h"

#include <array>

namespace loggrevy {
namespace {

constexpr std::array<bool, 256> MakeLetterTable() {
  std::array<bool, 256> table{};
  for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = true;
  for (int c = 'A'; c <= 'Z'; ++c) table[static_cast<std::size_t>(c)] = true;
  for (int c = 'a'; c <= 'z'; ++c) table[static_cast<std::size_t>(c)] = true;
  // ƒ Š Œ Ž š œ ž Ÿ ª µ º
  for (int c : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA}) {
    table[static_cast<std::size_t>(c)] = true;
  }
  // À..Ö, Ø..ö, ø..ÿ
  for (int c = 0xC0; c <= 0xFF; ++c) table[static_cast<std::size_t>(c)] = c != 0xD7 && c != 0xF7;
  return table;
}

constexpr std::array<bool, 256> kLetterOrDigit = MakeLetterTable();

}  // namespace

std::string_view ExtractField(std::string_view text, char separator, std::size_t n) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t next = text.find(separator, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  const std::size_t end = text.find(separator, start);
  return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool IsLetterOrDigit(char c) { return kLetterOrDigit[static_cast<unsigned char>(c)]; }

std::string KeepCallChars(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c == '/' || IsLetterOrDigit(c)) result += c;
  }
  return result;
}

void SevenBitSwedishToAnsi(std::string& text) {
  for (char& c : text) {
    switch (c) {
      case '[': c = '\xC4'; break;   // Ä
      case '\\': c = '\xD6'; break;  // Ö
      case ']': c = '\xC5'; break;   // Å
      case '{': c = '\xE4'; break;   // ä
      case '|': c = '\xF6'; break;   // ö
      case '}': c = '\xE5'; break;   // å
      default: break;
    }
  }
}

void DosSwedishToAnsi(std::string& text) {
  for (char& c : text) {
    switch (static_cast<unsigned char>(c)) {
      case 0x84: c = '\xE4'; break;  // ä
      case 0x86: c = '\xE5'; break;  // å
      case 0x8E: c = '\xC4'; break;  // Ä
      case 0x8F: c = '\xC5'; break;  // Å
      case 0x94: c = '\xF6'; break;  // ö
      case 0x99: c = '\xD6'; break;  // Ö
      default: break;
    }
  }
}

}  // namespace loggrevy
