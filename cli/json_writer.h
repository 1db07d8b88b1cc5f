#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
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
  // Keeps everything written in memory (Text()), for a part of a document
  // written on another thread.
  TJsonWriter();
  ~TJsonWriter();  // flushes
  TJsonWriter(const TJsonWriter&) = delete;
  TJsonWriter& operator=(const TJsonWriter&) = delete;

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The name of the next member of the open object: ASCII that needs no
  // escape, as the program's own names are.
  TJsonWriter& Key(std::string_view name);

  void Int(int64_t value);
  void Unsigned(uint64_t value);
  void Bool(bool value);
  void Null();
  void Double(double value);  // null when not finite
  // A text of the program (Windows-1252), written as UTF-8.
  void Cp1252(std::string_view text);
  // Bytes of the system, such as a path: UTF-8 as it is, a byte sequence that
  // is not UTF-8 replaced by U+FFFD as nlohmann's replace handler does.
  void Bytes(std::string_view text);
  // A value that another writer wrote as a whole document.
  void Raw(std::string_view json);

  // What a writer without a stream holds; Clear starts it afresh.
  std::string_view Text() const { return {Data_.get(), Used_}; }
  void Clear();

  // Passes what is buffered on to the stream.
  void Flush();

 private:
  void Separate() {
    if (AfterKey_) {
      AfterKey_ = false;
    } else if (!First_.empty()) {
      if (First_.back() == 0) Put(',');
      First_.back() = 0;
    }
  }
  // Room for n more bytes at the end of the buffer.
  char* Room(std::size_t n) {
    if (Capacity_ - Used_ < n) Grow(n);
    return Data_.get() + Used_;
  }
  void Put(char c) {
    *Room(1) = c;
    ++Used_;
  }
  void Put(std::string_view text);
  void Grow(std::size_t n);
  void MaybeFlush() {
    if (Out_ != nullptr && Used_ >= kFlushAt) Flush();
  }

  static constexpr std::size_t kFlushAt = 1 << 16;
  std::ostream* Out_ = nullptr;  // nullptr: everything stays in the buffer
  std::unique_ptr<char[]> Data_;
  std::size_t Used_ = 0;
  std::size_t Capacity_ = 0;
  std::vector<char> First_;  // per open object or array: nothing written in it yet
  bool AfterKey_ = false;
};

}  // namespace loggrevy
