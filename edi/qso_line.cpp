#include "core/text.h"
#include "edi/diagnostic_texts.h"
#include "edi/numbers.h"
#include "edi/reg1test.h"

namespace loggrevy {
namespace {

constexpr int kQsoFieldCount = 15;

template <std::size_t N>
void AssignUpper(TShortText<N>& target, std::string_view text) {
  target.Assign(text);
  char* data = target.MutableData();
  for (std::size_t i = 0; i < target.Size(); ++i) data[i] = UpperAscii(data[i]);
}

}  // namespace

int32_t TReg1Test::RepeatLimitedInteger(std::string_view text, int& counter, int32_t lineIndex) {
  // Most numbers are a few digits: read here what ParseInt32 would read.
  if (text.size() <= 9) {
    int32_t value = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
    if (i == text.size() && i > 0) return value;
  }
  if (const auto number = ParseInt32(text)) return *number;
  ++counter;
  if (counter == 1) {
    AddDiagnostic(lineIndex, diag::kInvalidValue);
  } else if (counter == 2) {
    AddDiagnostic(lineIndex, diag::kInvalidValueRepeated);
  }
  RaiseStatus(1);
  return -1;
}

void TReg1Test::ParseQSOLine(std::string_view text, int32_t lineIndex) {
  // One blank is appended, so the last field always ends with a blank and a
  // line that ends with ";" still has a last field.
  Scratch_.assign(text);
  Scratch_ += ' ';
  const std::string_view line = Scratch_;

  // Filled in place: nothing below looks at the list of QSOs.
  TQSORecord& q = QSOs.emplace_back();
  int present = 0;
  std::size_t start = 0;
  for (int field = 1; field <= kQsoFieldCount; ++field) {
    // Fields are a few characters long: a plain loop beats a call per field.
    std::size_t end = start;
    while (end < line.size() && line[end] != ';') ++end;
    const std::size_t semicolon = end < line.size() ? end : std::string_view::npos;
    const std::string_view f = line.substr(start, end - start);
    present = field;
    switch (field) {
      case 1: q.Date = f; break;
      case 2: q.Time = f; break;
      case 3: AssignUpper(q.Call, f); break;
      case 4: q.Mode = f.empty() ? 0 : RepeatLimitedInteger(f, ModeFailures_, lineIndex); break;
      case 5: q.SentRST = f; break;
      case 6: q.SentNr = f.empty() ? 0 : RepeatLimitedInteger(f, SentNrFailures_, lineIndex); break;
      case 7: q.RcvdRST = f; break;
      case 8: q.RcvdNr = f.empty() ? 0 : RepeatLimitedInteger(f, RcvdNrFailures_, lineIndex); break;
      case 9: q.RcvdExch = f; break;
      case 10: AssignUpper(q.RcvdWWL, f); break;
      case 11: {
        const int32_t points = f.empty() ? 0 : RepeatLimitedInteger(f, PointsFailures_, lineIndex);
        q.Points = points < 0 ? 0 : points;
        break;
      }
      case 12: q.NewExch = f.empty() ? ' ' : f[0]; break;
      case 13: q.NewWWL = f.empty() ? ' ' : f[0]; break;
      case 14: q.NewDXCC = f.empty() ? ' ' : f[0]; break;
      case 15:
        if (!f.empty()) q.Dupe = f[0];
        break;
      default: break;
    }
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  q.Valid = q.Call.View() != "ERROR" && q.Dupe != 'D' && q.Points != 0;
  if (present < kQsoFieldCount) {
    q.Status = 3;
    AddDiagnostic(lineIndex, diag::kUnreadableQsoLine);
    RaiseStatus(3);
  }
}

}  // namespace loggrevy
