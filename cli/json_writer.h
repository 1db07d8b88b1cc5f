#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace loggrevy {

// Writes one JSON document to a stream as it goes, in the compact form that
// nlohmann::json::dump() gives (no blanks, the same escapes, the same
// shortest round-trip numbers), without building the document in memory.
// The caller keeps the structure right: keys only inside objects, every
// Begin closed by its End.
class TJsonWriter {
 public:
  explicit TJsonWriter(std::ostream& out);
  // Writes into text instead, all of it kept there (for a part of a document
  // written on another thread).
  explicit TJsonWriter(std::string& text);
  ~TJsonWriter();  // flushes
  TJsonWriter(const TJsonWriter&) = delete;
  TJsonWriter& operator=(const TJsonWriter&) = delete;

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The name of the next member of the open object; ASCII.
  TJsonWriter& Key(std::string_view name);

  void Int(int64_t value);
  void Unsigned(uint64_t value);
  void Bool(bool value);
  void Double(double value);  // null when not finite
  // A text of the program (Windows-1252), written as UTF-8.
  void Cp1252(std::string_view text);
  // Bytes of the system, such as a path: UTF-8 as it is, a byte sequence that
  // is not UTF-8 replaced by U+FFFD as nlohmann's replace handler does.
  void Bytes(std::string_view text);

  // A value that another writer wrote as a whole document.
  void Raw(std::string_view json);

  // Passes what is buffered on to the stream.
  void Flush();

 private:
  void Separate();
  void EscapedAscii(std::string_view text);
  void MaybeFlush() {
    if (Out_ != nullptr && Buffer_.size() >= kFlushAt) Flush();
  }

  static constexpr std::size_t kFlushAt = 1 << 16;
  std::ostream* Out_ = nullptr;  // nullptr: everything stays in Buffer_
  std::string Own_;
  std::string& Buffer_;
  std::vector<char> First_;  // per open object or array: nothing written in it yet
  bool AfterKey_ = false;
};

}  // namespace loggrevy
