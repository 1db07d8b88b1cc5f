#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace loggrevy {

// A worked square is the first four characters of a locator.
inline uint32_t SquareKey(std::string_view locator) {
  uint32_t key = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    key = (key << 8) | (i < locator.size() ? static_cast<unsigned char>(locator[i]) : 0u);
  }
  return key;
}

// Claimed points deviate strongly when they differ from the computed ones by
// more than a tenth plus five: |computed - claimed| > computed / 10 + 5.
inline bool PointsDeviate(int64_t computed, int64_t claimed) {
  return 10 * std::llabs(computed - claimed) > computed + 50;
}

}  // namespace loggrevy
