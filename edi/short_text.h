#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace loggrevy {

// A text of fixed capacity N, stored in place: longer values are cut to their
// first N characters without notice. Keeps QSO records small.
template <std::size_t N>
class TShortText {
  static_assert(N < 256);

 public:
  TShortText() = default;
  TShortText(std::string_view text) { Assign(text); }  // NOLINT: implicit by design, like a string

  void Assign(std::string_view text) {
    Size_ = static_cast<uint8_t>(text.size() < N ? text.size() : N);
    text.copy(Data_, Size_);
  }
  TShortText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

  std::string_view View() const { return {Data_, Size_}; }
  operator std::string_view() const { return View(); }  // NOLINT
  std::string Str() const { return std::string(View()); }
  bool Empty() const { return Size_ == 0; }
  std::size_t Size() const { return Size_; }
  char* MutableData() { return Data_; }

  friend bool operator==(const TShortText& a, std::string_view b) { return a.View() == b; }

 private:
  char Data_[N]{};
  uint8_t Size_ = 0;
};

}  // namespace loggrevy
