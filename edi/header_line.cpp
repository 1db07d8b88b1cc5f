#include <algorithm>

#include "core/text.h"
#include "edi/diagnostic_texts.h"
#include "edi/keywords.h"
#include "edi/numbers.h"
#include "edi/reg1test.h"
#include "edi/text_functions.h"

namespace loggrevy {
namespace {

bool IsEightDigits(std::string_view text) {
  return text.size() == 8 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Cut(std::string text, std::size_t maxLength) {
  if (text.size() > maxLength) text.resize(maxLength);
  return text;
}

}  // namespace

void TReg1Test::ParseHeaderLine(std::string_view text, int32_t lineIndex) {
  const std::string_view key = ExtractField(text, '=', 0);
  const std::string_view value = ExtractField(text, '=', 1);
  const int k = KeywordIndex(key);
  if (k == 0) {
    AddDiagnostic(lineIndex, diag::kUnknownKeyword);
    return;
  }
  if (KeywordSeen[static_cast<std::size_t>(k)]) {
    AddDiagnostic(lineIndex, diag::kDuplicateKeyword);  // the first value stays
    return;
  }
  KeywordSeen[static_cast<std::size_t>(k)] = true;
  const TKeyword& keyword = KeywordTable()[static_cast<std::size_t>(k - 1)];
  for (std::size_t p = 0; p < keyword.PartCount; ++p) {
    StoreValue(keyword.Parts[p], keyword.Split ? ExtractField(value, ';', p) : value, lineIndex);
  }
}

void TReg1Test::StoreValue(const TValuePart& part, std::string_view value, int32_t lineIndex) {
  switch (part.Conversion) {
    case TConversion::Text:
      this->*std::get<std::string TReg1Test::*>(part.Field) = Cut(std::string(value), part.MaxLength);
      return;
    case TConversion::Upper:
      this->*std::get<std::string TReg1Test::*>(part.Field) = Cut(UpperCaseAscii(value), part.MaxLength);
      return;
    case TConversion::CallSign:
      this->*std::get<std::string TReg1Test::*>(part.Field) = Cut(UpperCaseAscii(KeepCallChars(value)), part.MaxLength);
      return;
    case TConversion::ClubWord: {
      const std::string_view word = ExtractField(TrimBlanks(value), ' ', 0);
      this->*std::get<std::string TReg1Test::*>(part.Field) = Cut(UpperCaseAscii(KeepCallChars(word)), part.MaxLength);
      return;
    }
    case TConversion::Date:
      if (IsEightDigits(value)) {
        this->*std::get<std::string TReg1Test::*>(part.Field) = std::string(value);
      } else {
        AddDiagnostic(lineIndex, diag::kInvalidDate);
        RaiseStatus(3);
        this->*std::get<std::string TReg1Test::*>(part.Field) = "20040101";
      }
      return;
    case TConversion::Integer:
      if (const auto number = ParseInt32(value)) {
        this->*std::get<int32_t TReg1Test::*>(part.Field) = *number;
      } else {
        AddDiagnostic(lineIndex, diag::kInvalidValue);
        RaiseStatus(1);
        this->*std::get<int32_t TReg1Test::*>(part.Field) = -1;
      }
      return;
    case TConversion::Decimal:
      if (const auto number = ParseSingle(value, DecimalSeparator_)) {
        this->*std::get<float TReg1Test::*>(part.Field) = *number;
      } else {
        AddDiagnostic(lineIndex, diag::kInvalidValue);
        RaiseStatus(1);
        this->*std::get<float TReg1Test::*>(part.Field) = -1.0f;
      }
      return;
  }
}

}  // namespace loggrevy
