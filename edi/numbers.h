#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace loggrevy {

// A signed 32-bit decimal integer: leading blanks (code 32), one optional sign,
// ASCII digits and nothing else. Empty when the text is not such a number or
// lies outside the 32-bit range.
std::optional<int32_t> ParseInt32(std::string_view text);

// A decimal number written with the given separator: leading blanks, an
// optional sign, digits with at most one separator (at least one digit), then
// optionally e or E, an optional sign and digits. Rounded to single precision;
// empty when malformed or beyond the single-precision range.
std::optional<float> ParseSingle(std::string_view text, char decimalSeparator);

}  // namespace loggrevy
