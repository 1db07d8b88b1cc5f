#include "cli/json_writer.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <ostream>

#include "core/cp1252.h"

namespace loggrevy {
namespace {

// The UTF-8 bytes of each Windows-1252 character from 80 hex up.
struct TUtf8Char {
  char Bytes[3];
  uint8_t Size;
};

std::array<TUtf8Char, 128> MakeHighHalf() {
  std::array<TUtf8Char, 128> table{};
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(0x80 + i)));
    for (std::size_t k = 0; k < utf8.size() && k < 3; ++k) table[i].Bytes[k] = utf8[k];
    table[i].Size = static_cast<uint8_t>(utf8.size());
  }
  return table;
}

const std::array<TUtf8Char, 128>& HighHalf() {
  static const std::array<TUtf8Char, 128> table = MakeHighHalf();
  return table;
}

// Control characters, the quotation mark and the backslash are escaped.
constexpr bool NeedsEscape(unsigned char c) { return c < 0x20 || c == '"' || c == '\\'; }

// Bytes that a text cannot take as they are: escaped or, from 80 hex up,
// converted to UTF-8.
constexpr std::array<bool, 256> MakeSpecial() {
  std::array<bool, 256> special{};
  for (std::size_t c = 0; c < special.size(); ++c) special[c] = NeedsEscape(static_cast<unsigned char>(c)) || c >= 0x80;
  return special;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecial();

}  // namespace

TJsonWriter::TJsonWriter(std::ostream& out) : Out_(&out), Buffer_(Own_) { Buffer_.reserve(kFlushAt + 4096); }

TJsonWriter::TJsonWriter(std::string& text) : Buffer_(text) {}

TJsonWriter::~TJsonWriter() { Flush(); }

void TJsonWriter::Flush() {
  if (Out_ == nullptr) return;
  Out_->write(Buffer_.data(), static_cast<std::streamsize>(Buffer_.size()));
  Buffer_.clear();
}

void TJsonWriter::Raw(std::string_view json) {
  Separate();
  if (Out_ != nullptr && Buffer_.size() + json.size() >= kFlushAt) {
    Flush();
    Out_->write(json.data(), static_cast<std::streamsize>(json.size()));
    return;
  }
  Buffer_ += json;
}

void TJsonWriter::Separate() {
  if (AfterKey_) {
    AfterKey_ = false;
    return;
  }
  if (!First_.empty()) {
    if (First_.back() == 0) Buffer_ += ',';
    First_.back() = 0;
  }
}

void TJsonWriter::BeginObject() {
  Separate();
  Buffer_ += '{';
  First_.push_back(1);
}

void TJsonWriter::EndObject() {
  Buffer_ += '}';
  First_.pop_back();
  MaybeFlush();
}

void TJsonWriter::BeginArray() {
  Separate();
  Buffer_ += '[';
  First_.push_back(1);
}

void TJsonWriter::EndArray() {
  Buffer_ += ']';
  First_.pop_back();
  MaybeFlush();
}

// The program's own member names need no escapes.
TJsonWriter& TJsonWriter::Key(std::string_view name) {
  Separate();
  Buffer_ += '"';
  Buffer_ += name;
  Buffer_ += "\":";
  AfterKey_ = true;
  return *this;
}

void TJsonWriter::Int(int64_t value) {
  Separate();
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  Buffer_.append(text, static_cast<std::size_t>(result.ptr - text));
}

void TJsonWriter::Unsigned(uint64_t value) {
  Separate();
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  Buffer_.append(text, static_cast<std::size_t>(result.ptr - text));
}

void TJsonWriter::Bool(bool value) {
  Separate();
  Buffer_ += value ? "true" : "false";
}

void TJsonWriter::Double(double value) {
  Separate();
  if (!std::isfinite(value)) {
    Buffer_ += "null";
    return;
  }
  // nlohmann's own shortest round-trip conversion, so the digits are its own.
  char text[64];
  const char* end = nlohmann::detail::to_chars(text, text + sizeof text, value);
  Buffer_.append(text, static_cast<std::size_t>(end - text));
}

// ASCII text, escaped as nlohmann escapes it: the short forms where JSON has
// them, \u00xx with lower-case hex for the other control characters.
void TJsonWriter::EscapedAscii(std::string_view text) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!NeedsEscape(c)) continue;
    Buffer_.append(text.data() + plain, i - plain);
    plain = i + 1;
    switch (c) {
      case '\b': Buffer_ += "\\b"; break;
      case '\t': Buffer_ += "\\t"; break;
      case '\n': Buffer_ += "\\n"; break;
      case '\f': Buffer_ += "\\f"; break;
      case '\r': Buffer_ += "\\r"; break;
      case '"': Buffer_ += "\\\""; break;
      case '\\': Buffer_ += "\\\\"; break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
        Buffer_.append(escape, sizeof escape);
      }
    }
  }
  Buffer_.append(text.data() + plain, text.size() - plain);
}

void TJsonWriter::Cp1252(std::string_view text) {
  Separate();
  Buffer_ += '"';
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!kSpecial[c]) continue;
    Buffer_.append(text.data() + plain, i - plain);
    plain = i + 1;
    if (c >= 0x80) {
      const TUtf8Char& utf8 = HighHalf()[c - 0x80];
      Buffer_.append(utf8.Bytes, utf8.Size);
    } else {
      EscapedAscii(text.substr(i, 1));
    }
  }
  Buffer_.append(text.data() + plain, text.size() - plain);
  Buffer_ += '"';
  MaybeFlush();
}

void TJsonWriter::Bytes(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      // Rare (a path with national letters): nlohmann decides what is valid
      // UTF-8 and what is replaced.
      Separate();
      Buffer_ += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
      MaybeFlush();
      return;
    }
  }
  Cp1252(text);  // pure ASCII reads the same in both
}

}  // namespace loggrevy
