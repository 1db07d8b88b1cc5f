#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "edi/short_text.h"

namespace loggrevy {

// A call (a text of up to 15 bytes) and its length in two words, so that
// equal keys mean equal texts.
struct TCallKey {
  static constexpr std::size_t kMaxSize = 15;

  uint64_t Low = 0;
  uint64_t High = 0;
  bool operator==(const TCallKey&) const = default;

  // text has at most kMaxSize bytes.
  static TCallKey Of(std::string_view text) {
    unsigned char bytes[16]{};
    std::memcpy(bytes, text.data(), text.size());
    bytes[15] = static_cast<unsigned char>(text.size());
    TCallKey key;
    std::memcpy(&key.Low, bytes, 8);
    std::memcpy(&key.High, bytes + 8, 8);
    return key;
  }

  // Read in two loads of the text's whole buffer; the bytes after its end
  // are masked off.
  template <std::size_t N>
  static TCallKey Of(const TShortText<N>& text) {
    static_assert(N >= 8 && N <= kMaxSize);
    static_assert(std::endian::native == std::endian::little, "the masks take the first byte as the lowest");
    const char* data = text.View().data();
    const std::size_t size = text.Size();
    TCallKey key;
    std::memcpy(&key.Low, data, 8);
    std::memcpy(&key.High, data + 8, N - 8);
    const auto keep = [](std::size_t bytes) { return bytes >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * bytes)) - 1; };
    key.Low &= keep(size);
    key.High &= size > 8 ? keep(size - 8) : 0;
    key.High |= uint64_t{size} << 56;
    return key;
  }
};

// A map from call keys to small values in one flat array (open addressing):
// the cross-check looks up every record's call, and a lookup here touches one
// or two slots of a table that stays in the cache.
template <typename TValue>
class TCallTable {
 public:
  // The value of key, added as made() when missing.
  template <typename TMake>
  TValue& FindOrAdd(const TCallKey& key, TMake made) {
    if ((Size_ + 1) * 2 > Slots_.size()) Grow();
    TSlot& slot = Probe(key);
    if (!slot.Used) {
      slot = {key, made(), true};
      ++Size_;
    }
    return slot.Value;
  }

  // Room for count keys without growing.
  void Reserve(std::size_t count) {
    std::size_t slots = std::max<std::size_t>(Slots_.size(), 64);
    while (slots < count * 2) slots *= 2;
    if (slots > Slots_.size()) Rehash(slots);
  }

  const TValue* Find(const TCallKey& key) const {
    if (Slots_.empty()) return nullptr;
    const TSlot& slot = const_cast<TCallTable*>(this)->Probe(key);
    return slot.Used ? &slot.Value : nullptr;
  }

 private:
  struct TSlot {
    TCallKey Key;
    TValue Value{};
    bool Used = false;
  };

  static std::size_t HashOf(const TCallKey& key) {
    uint64_t h = (key.Low ^ (key.High * 0x9E3779B97F4A7C15u)) * 0xBF58476D1CE4E5B9u;
    h ^= h >> 31;
    return static_cast<std::size_t>(h);
  }

  TSlot& Probe(const TCallKey& key) {
    const std::size_t mask = Slots_.size() - 1;
    for (std::size_t at = HashOf(key) & mask;; at = (at + 1) & mask) {
      TSlot& slot = Slots_[at];
      if (!slot.Used || slot.Key == key) return slot;
    }
  }

  void Grow() { Rehash(Slots_.empty() ? 64 : Slots_.size() * 2); }

  void Rehash(std::size_t slots) {
    std::vector<TSlot> old(slots);
    old.swap(Slots_);
    for (TSlot& slot : old) {
      if (slot.Used) Probe(slot.Key) = std::move(slot);
    }
  }

  std::vector<TSlot> Slots_;
  std::size_t Size_ = 0;
};

}  // namespace loggrevy
