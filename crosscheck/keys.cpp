#include "crosscheck/keys.h"

#include <array>
#include <cstdint>

#include "core/callsign.h"
#include "core/text.h"

namespace loggrevy {
namespace {

struct TBandRange {
  std::string_view Key;
  int64_t FromTenthsMHz;
  int64_t ToTenthsMHz;
};

constexpr std::array<TBandRange, 17> kBandRanges{{
    {"28MHZ", 280, 297},
    {"50MHZ", 500, 540},
    {"70MHZ", 700, 710},
    {"144MHZ", 1440, 1480},
    {"432MHZ", 4300, 4400},
    {"1,3GHZ", 12000, 13000},
    {"2,3GHZ", 23000, 24500},
    {"3,4GHZ", 33000, 35000},
    {"5,7GHZ", 56000, 59250},
    {"10GHZ", 100000, 105000},
    {"24GHZ", 240000, 242500},
    {"47GHZ", 470000, 472000},
    {"76GHZ", 755000, 810000},
    {"122GHZ", 1220000, 1230000},
    {"134GHZ", 1340000, 1410000},
    {"144GHZ", 1420000, 1490000},
    {"248GHZ", 2410000, 2500000},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A frequency held exactly: Digits / 10^Decimals of some unit, scaled to MHz
// by Multiplier / Divisor. With at most nine digits every product below fits
// in 64 bits.
constexpr int kMaxDigits = 9;
struct TFrequency {
  int64_t Digits = 0;
  int Decimals = 0;
  int64_t Multiplier = 1;
  int64_t Divisor = 1;
};

// The first band whose range holds the frequency, bounds included.
const TBandRange* RangeOf(const TFrequency& f) {
  int64_t scale = 1;
  for (int i = 0; i < f.Decimals; ++i) scale *= 10;
  // f in tenths of MHz is Digits * Multiplier * 10 / (scale * Divisor).
  const int64_t numerator = f.Digits * f.Multiplier * 10;
  const int64_t denominator = scale * f.Divisor;
  for (const TBandRange& range : kBandRanges) {
    if (numerator >= range.FromTenthsMHz * denominator && numerator <= range.ToTenthsMHz * denominator) return &range;
  }
  return nullptr;
}

}  // namespace

std::string StationKey(std::string_view call) {
  while (!call.empty() && static_cast<unsigned char>(call.front()) <= 32) call.remove_prefix(1);
  while (!call.empty() && static_cast<unsigned char>(call.back()) <= 32) call.remove_suffix(1);
  return BaseCall(UpperCaseAscii(call));
}

std::string BandKey(std::string_view pband) {
  std::string text;
  for (const char c : pband) {
    if (c == ' ') continue;
    text += c == '.' ? ',' : UpperAscii(c);
  }

  // A leading number, with an optional decimal part after a comma. (PBand
  // has seven characters at most; a longer number names no band.)
  std::size_t end = 0;
  TFrequency f;
  int digits = 0;
  const auto addDigit = [&](char c) {
    ++digits;
    f.Digits = f.Digits * 10 + (c - '0');
  };
  while (end < text.size() && IsDigit(text[end]) && digits < kMaxDigits) addDigit(text[end++]);
  if (end == 0 || (end < text.size() && IsDigit(text[end]))) return text;
  if (end + 1 < text.size() && text[end] == ',' && IsDigit(text[end + 1])) {
    ++end;
    while (end < text.size() && IsDigit(text[end]) && digits < kMaxDigits) {
      addDigit(text[end++]);
      ++f.Decimals;
    }
    if (end < text.size() && IsDigit(text[end])) return text;
  }

  const std::string_view unit = std::string_view(text).substr(end);
  const TBandRange* range = nullptr;
  if (unit.empty()) {
    // A bare number is MHz where that names a band, and GHz otherwise.
    range = RangeOf(f);
    if (range == nullptr) {
      f.Multiplier = 1000;
      range = RangeOf(f);
    }
  } else if (unit.front() == 'M' || unit.front() == 'G' || unit.front() == 'K') {
    if (unit.front() == 'G') f.Multiplier = 1000;
    if (unit.front() == 'K') f.Divisor = 1000;
    range = RangeOf(f);
  }
  return range != nullptr ? std::string(range->Key) : text;
}

bool Similar(std::string_view a, std::string_view b) {
  if (a.size() < 3 || b.size() < 3) return false;
  if (a.size() == b.size()) {
    std::size_t first = 0;
    while (first < a.size() && a[first] == b[first]) ++first;
    if (first == a.size()) return false;
    // One replaced character, or two neighbours swapped.
    if (a.substr(first + 1) == b.substr(first + 1)) return true;
    return first + 1 < a.size() && a[first] == b[first + 1] && a[first + 1] == b[first] &&
           a.substr(first + 2) == b.substr(first + 2);
  }
  if (a.size() + 1 == b.size()) std::swap(a, b);
  if (b.size() + 1 != a.size()) return false;
  // a is one character longer: b is a without one of its characters.
  std::size_t first = 0;
  while (first < b.size() && a[first] == b[first]) ++first;
  return a.substr(first + 1) == b.substr(first);
}

}  // namespace loggrevy
