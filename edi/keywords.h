#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "edi/reg1test.h"

namespace loggrevy {

// How a header value (or one ";"-separated part of it) is stored.
enum class TConversion : uint8_t {
  Text,      // as written, cut to the maximum length
  Upper,     // upper case, cut
  CallSign,  // letters, digits and "/" only, upper case, cut
  ClubWord,  // first blank-separated word as a call sign, cut
  Date,      // exactly eight digits, else "20040101" and an unreadable log
  Integer,   // signed 32-bit integer, else -1
  Decimal,   // single-precision number, else -1.0
};

using TFieldRef = std::variant<std::string TReg1Test::*, int32_t TReg1Test::*, float TReg1Test::*>;

struct TValuePart {
  std::string_view FieldName;  // the TReg1Test field
  TConversion Conversion;
  std::size_t MaxLength;  // texts only
  TFieldRef Field;
};

struct TKeyword {
  std::string_view Keyword;  // upper case
  bool Split;                // value split into parts at ";"
  uint8_t PartCount;
  std::array<TValuePart, 3> Parts;
};

// The 36 header keywords in their order; keyword number k is entry k - 1.
const std::array<TKeyword, kKeywordCount>& KeywordTable();

}  // namespace loggrevy
