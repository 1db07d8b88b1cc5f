#include "cli/json_writer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
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

TJsonWriter::TJsonWriter(std::ostream& out) : Out_(&out) { Grow(kFlushAt + 4096); }

TJsonWriter::TJsonWriter() = default;

TJsonWriter::~TJsonWriter() { Flush(); }

void TJsonWriter::Grow(std::size_t n) {
  const std::size_t capacity = std::max({Capacity_ * 2, Used_ + n, std::size_t{4096}});
  auto data = std::make_unique<char[]>(capacity);
  if (Used_ > 0) std::memcpy(data.get(), Data_.get(), Used_);
  Data_ = std::move(data);
  Capacity_ = capacity;
}

void TJsonWriter::Put(std::string_view text) {
  std::memcpy(Room(text.size()), text.data(), text.size());
  Used_ += text.size();
}

void TJsonWriter::Clear() {
  Used_ = 0;
  First_.clear();
  AfterKey_ = false;
}

void TJsonWriter::Flush() {
  if (Out_ == nullptr) return;
  Out_->write(Data_.get(), static_cast<std::streamsize>(Used_));
  Used_ = 0;
}

void TJsonWriter::Raw(std::string_view json) {
  Separate();
  if (Out_ != nullptr && Used_ + json.size() >= kFlushAt) {
    Flush();
    Out_->write(json.data(), static_cast<std::streamsize>(json.size()));
    return;
  }
  Put(json);
}

void TJsonWriter::BeginObject() {
  Separate();
  Put('{');
  First_.push_back(1);
}

void TJsonWriter::EndObject() {
  Put('}');
  First_.pop_back();
  MaybeFlush();
}

void TJsonWriter::BeginArray() {
  Separate();
  Put('[');
  First_.push_back(1);
}

void TJsonWriter::EndArray() {
  Put(']');
  First_.pop_back();
  MaybeFlush();
}

TJsonWriter& TJsonWriter::Key(std::string_view name) {
  Separate();
  char* at = Room(name.size() + 3);
  *at++ = '"';
  std::memcpy(at, name.data(), name.size());
  at += name.size();
  *at++ = '"';
  *at = ':';
  Used_ += name.size() + 3;
  AfterKey_ = true;
  return *this;
}

void TJsonWriter::Int(int64_t value) {
  Separate();
  char* at = Room(24);
  Used_ += static_cast<std::size_t>(std::to_chars(at, at + 24, value).ptr - at);
}

void TJsonWriter::Unsigned(uint64_t value) {
  Separate();
  char* at = Room(24);
  Used_ += static_cast<std::size_t>(std::to_chars(at, at + 24, value).ptr - at);
}

void TJsonWriter::Bool(bool value) {
  Separate();
  Put(value ? std::string_view("true") : std::string_view("false"));
}

void TJsonWriter::Null() {
  Separate();
  Put("null");
}

void TJsonWriter::Double(double value) {
  Separate();
  if (!std::isfinite(value)) {
    Put("null");
    return;
  }
  // nlohmann's own shortest round-trip conversion, so the digits are its own.
  char* at = Room(64);
  Used_ += static_cast<std::size_t>(nlohmann::detail::to_chars(at, at + 64, value) - at);
}

// Escaped as nlohmann escapes: the short forms where JSON has them, \u00xx
// with lower-case hex for the other control characters.
void TJsonWriter::Cp1252(std::string_view text) {
  Separate();
  // At most six bytes for each character (\u00xx) and the quotation marks.
  char* at = Room(6 * text.size() + 2);
  char* const begin = at;
  *at++ = '"';
  const auto& high = HighHalf();
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (!kSpecial[c]) {
      *at++ = byte;
      continue;
    }
    if (c >= 0x80) {
      const TUtf8Char& utf8 = high[c - 0x80];
      for (uint8_t k = 0; k < utf8.Size; ++k) *at++ = utf8.Bytes[k];
      continue;
    }
    *at++ = '\\';
    switch (c) {
      case '\b': *at++ = 'b'; break;
      case '\t': *at++ = 't'; break;
      case '\n': *at++ = 'n'; break;
      case '\f': *at++ = 'f'; break;
      case '\r': *at++ = 'r'; break;
      case '"': *at++ = '"'; break;
      case '\\': *at++ = '\\'; break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        *at++ = 'u';
        *at++ = '0';
        *at++ = '0';
        *at++ = kHex[c >> 4];
        *at++ = kHex[c & 15];
      }
    }
  }
  *at++ = '"';
  Used_ += static_cast<std::size_t>(at - begin);
  MaybeFlush();
}

void TJsonWriter::Bytes(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      // Rare (a path with national letters): nlohmann decides what is valid
      // UTF-8 and what is replaced.
      Separate();
      Put(nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
      MaybeFlush();
      return;
    }
  }
  Cp1252(text);  // pure ASCII reads the same in both
}

}  // namespace loggrevy
