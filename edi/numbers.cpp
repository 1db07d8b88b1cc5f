#include "edi/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace loggrevy {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<int32_t> ParseInt32(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

std::optional<float> ParseSingle(std::string_view text, char decimalSeparator) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string normal;  // the number in the form from_chars reads
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normal += '-';
    ++i;
  }
  int digits = 0;
  bool separatorSeen = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++digits;
      normal += c;
    } else if (c == decimalSeparator && !separatorSeen) {
      separatorSeen = true;
      normal += '.';
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    normal += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
    int exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) normal += text[i];
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  const char* first = normal.data();
  const char* last = first + normal.size();
  float value = 0.0f;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc{} && end == last && std::isfinite(value)) return value;
  if (error == std::errc::result_out_of_range) {
    // Out of range may be an underflow, which rounds towards zero, or an
    // overflow, which is no number at all.
    double wide = 0.0;
    const auto [wideEnd, wideError] = std::from_chars(first, last, wide);
    if (wideError == std::errc{} && wideEnd == last && std::fabs(wide) <= std::numeric_limits<float>::max()) {
      return static_cast<float>(wide);
    }
    if (wideError == std::errc::result_out_of_range) {
      // Beyond double as well: an underflow when the exponent is negative.
      const std::size_t e = normal.find('e');
      if (e != std::string::npos && e + 1 < normal.size() && normal[e + 1] == '-') {
        return normal[0] == '-' ? -0.0f : 0.0f;
      }
    }
  }
  return std::nullopt;
}

}  // namespace loggrevy
