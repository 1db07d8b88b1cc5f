#include "core/callsign.h"

#include <array>
#include <utility>

#include "core/text.h"

namespace loggrevy {
namespace {

// Square numbers (characters 3 and 4 of a locator) of the Swedish squares, per
// field, each followed by one blank.
constexpr std::string_view kSquaresJO = "65 75 66 76 86 96 57 67 77 87 97 58 68 78 88 98 59 69 79 89 99 ";
constexpr std::string_view kSquaresJP =
    "60 70 80 90 61 71 81 62 72 82 92 53 63 73 83 93 64 74 84 94 75 85 95 76 86 96 87 97 88 98 ";
constexpr std::string_view kSquaresKP = "03 04 05 15 25 06 16 26 07 17 08 18 09 ";

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The squares of a list as a table indexed by the square number 00..99.
constexpr std::array<bool, 100> SquareTable(std::string_view list) {
  std::array<bool, 100> table{};
  for (std::size_t pos = 0; pos + 1 < list.size(); pos += 3) {
    table[static_cast<std::size_t>((list[pos] - '0') * 10 + (list[pos + 1] - '0'))] = true;
  }
  return table;
}

constexpr std::array<bool, 100> kTableJO = SquareTable(kSquaresJO);
constexpr std::array<bool, 100> kTableJP = SquareTable(kSquaresJP);
constexpr std::array<bool, 100> kTableKP = SquareTable(kSquaresKP);

// Prefix substitutions of the base call, tried in this order.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kPrefixes{{
    {"7S", "SK"},
    {"8S", "SK"},
    {"SE", "SM"},
    {"SF", "SA"},
    {"SJ", "SK"},
    {"SG", "SL"},
}};

}  // namespace

bool IsSwedishSquare(std::string_view locator) {
  // Every listed square is two digits, so a shorter text or a non-digit is
  // never Swedish.
  if (locator.size() < 4 || !IsDigit(locator[2]) || !IsDigit(locator[3])) return false;
  const std::string_view field = locator.substr(0, 2);
  const auto number = static_cast<std::size_t>((locator[2] - '0') * 10 + (locator[3] - '0'));
  if (field == "JO") return kTableJO[number];
  if (field == "JP") return kTableJP[number];
  if (field == "KP") return kTableKP[number];
  return false;
}

std::string BaseCall(std::string_view call) {
  const std::size_t slash = call.find('/');
  std::string_view base = call;
  if (slash != std::string_view::npos) {
    if (slash + 1 > 4) {
      base = call.substr(0, slash);  // a suffix such as /P after the call
    } else {
      base = call.substr(slash + 1);  // a prefix such as OH0/ before the call
      base = base.substr(0, base.find('/'));
    }
  }
  std::string result(base.substr(0, 10));
  if (result.size() >= 2) {
    for (const auto& [from, to] : kPrefixes) {
      if (result[0] == from[0] && result[1] == from[1]) {
        result[0] = to[0];
        result[1] = to[1];
      }
    }
  }
  return result;
}

bool IsSwedishCall(std::string_view call) {
  if (call.size() < 2) return false;
  const char first = UpperAscii(call[0]);
  const char second = UpperAscii(call[1]);
  return (first == 'S' && second >= 'A' && second <= 'M') || ((first == '7' || first == '8') && second == 'S');
}

bool IsClubCall(std::string_view call) {
  const std::string base = BaseCall(call);
  const std::string_view prefix = std::string_view(base).substr(0, 2);
  return prefix == "SK" || (base.size() == 5 && prefix == "SA");
}

bool IsMilitaryCall(std::string_view call) { return BaseCall(call).starts_with("SL"); }

}  // namespace loggrevy
