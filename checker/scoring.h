#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace loggrevy {

// A worked square is the first four characters of a locator.
inline uint32_t SquareKey(std::string_view locator) {
  uint32_t key = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    key = (key << 8) | (i < locator.size() ? static_cast<unsigned char>(locator[i]) : 0u);
  }
  return key;
}

// The distinct worked squares of one pass over a log. The squares of valid
// locators (fields AA..RR, squares 00..99) are bits of a 4 kB map; a square of
// any other text, which a counted QSO cannot have, goes to a short list.
class TSquareSet {
 public:
  TSquareSet() : Bits_((kSquares + 63) / 64, 0) {}

  void Insert(std::string_view locator) {
    if (locator.size() >= 4 && InRange(locator[0], 'A', 'R') && InRange(locator[1], 'A', 'R') &&
        InRange(locator[2], '0', '9') && InRange(locator[3], '0', '9')) {
      const auto index = static_cast<std::size_t>(((locator[0] - 'A') * 18 + (locator[1] - 'A')) * 100 +
                                                  (locator[2] - '0') * 10 + (locator[3] - '0'));
      uint64_t& word = Bits_[index / 64];
      const uint64_t bit = uint64_t{1} << (index % 64);
      if ((word & bit) == 0) {
        word |= bit;
        ++Size_;
      }
      return;
    }
    const uint32_t key = SquareKey(locator);
    for (const uint32_t other : Others_) {
      if (other == key) return;
    }
    Others_.push_back(key);
    ++Size_;
  }

  int32_t Size() const { return Size_; }

 private:
  static constexpr std::size_t kSquares = 18 * 18 * 100;
  static bool InRange(char c, char low, char high) { return c >= low && c <= high; }

  std::vector<uint64_t> Bits_;
  std::vector<uint32_t> Others_;
  int32_t Size_ = 0;
};

// The distinct base calls of one pass over a log: an open-addressing table of
// calls of up to 15 characters stored in place (base calls have at most 10),
// so a lookup touches no heap; longer texts go to a plain set.
class TCallSet {
 public:
  explicit TCallSet(std::size_t expected) {
    std::size_t capacity = 16;
    while (capacity < 2 * expected) capacity *= 2;
    Slots_.resize(capacity);
  }

  // Adds the call; false when it was there already.
  bool Insert(std::string_view call) {
    if (call.size() > kInPlace) return Long_.insert(std::string(call)).second;
    TKey key{};
    std::memcpy(key.Bytes, call.data(), call.size());
    key.Bytes[15] = static_cast<char>(call.size() + 1);  // never 0: 0 marks a free slot
    uint64_t words[2];
    std::memcpy(words, key.Bytes, sizeof words);
    uint64_t hash = (words[0] ^ (words[1] * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 29;
    const std::size_t mask = Slots_.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask;; slot = (slot + 1) & mask) {
      TKey& stored = Slots_[slot];
      if (stored.Bytes[15] == 0) {
        stored = key;
        if (2 * ++Used_ > Slots_.size()) Grow();
        return true;
      }
      if (std::memcmp(stored.Bytes, key.Bytes, sizeof key.Bytes) == 0) return false;
    }
  }

  std::size_t Size() const { return Used_ + Long_.size(); }

 private:
  static constexpr std::size_t kInPlace = 15;
  struct TKey {
    char Bytes[16];
  };

  void Grow() {
    std::vector<TKey> old(Slots_.size() * 2);
    old.swap(Slots_);
    Used_ = 0;
    for (const TKey& key : old) {
      if (key.Bytes[15] != 0) Insert(std::string_view(key.Bytes, static_cast<std::size_t>(key.Bytes[15] - 1)));
    }
  }

  std::vector<TKey> Slots_;
  std::size_t Used_ = 0;
  std::unordered_set<std::string> Long_;
};

// Claimed points deviate strongly when they differ from the computed ones by
// more than a tenth plus five: |computed - claimed| > computed / 10 + 5.
inline bool PointsDeviate(int64_t computed, int64_t claimed) {
  return 10 * std::llabs(computed - claimed) > computed + 50;
}

}  // namespace loggrevy
