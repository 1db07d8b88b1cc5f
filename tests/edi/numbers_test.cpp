#include "edi/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace loggrevy {
namespace {

TEST(EdiNumbers, Integer) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"12", 12},
      {"  12", 12},
      {"+12", 12},
      {"-12", -12},
      {" -0", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"000000000000002147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"12 ", std::nullopt},   // no trailing blanks
      {"\t12", std::nullopt},  // a tab is not a blank
      {"1 2", std::nullopt},
      {"- 1", std::nullopt},
      {"+-1", std::nullopt},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {"0x10", std::nullopt},
      {"1e3", std::nullopt},
      {"1.0", std::nullopt},
      {"\xB9", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseInt32(text), value) << "[" << text << "]";
}

struct TDecimalCase {
  const char* Text;
  char Separator;
  std::optional<float> Value;
};

TEST(EdiNumbers, BestDxDistance) {
  const TDecimalCase cases[] = {
      {"523", ',', 523.0f},
      {"42,5", ',', 42.5f},
      {"42.5", '.', 42.5f},
      {"42.5", ',', std::nullopt},  // not the separator in force
      {"42,5", '.', std::nullopt},
      {"5,", ',', 5.0f},
      {",5", ',', 0.5f},
      {"5.", '.', 5.0f},
      {".5", '.', 0.5f},
      {",", ',', std::nullopt},
      {"", ',', std::nullopt},
      {"   ", ',', std::nullopt},
      {"  1,5", ',', 1.5f},
      {"-3", ',', -3.0f},
      {"+3", ',', 3.0f},
      {"1,5e2", ',', 150.0f},
      {"1E-2", ',', 0.01f},
      {"1e+2", '.', 100.0f},
      {",5e1", ',', 5.0f},
      {"1e", ',', std::nullopt},
      {"1e+", ',', std::nullopt},
      {"e5", ',', std::nullopt},
      {"1,5 ", ',', std::nullopt},  // nothing may follow
      {"1,2,3", ',', std::nullopt},
      {"1,5km", ',', std::nullopt},
      {"\t1", ',', std::nullopt},
      {"inf", '.', std::nullopt},
      {"nan", '.', std::nullopt},
      {"0x10", '.', std::nullopt},
      {"0.1", '.', 0.1f},              // rounded correctly to single precision
      {"16777217", '.', 16777216.0f},  // halfway: to even
      {"16777219", '.', 16777220.0f},
      {"3.4028235e38", '.', 3.4028235e38f},
      {"3.40282356e38", '.', 3.4028235e38f},  // below the halfway point to the next power: rounds down
      {"3.4028236e38", '.', std::nullopt},    // above it: overflows
      {"1.4e-45", '.', 1.4e-45f},             // the smallest subnormal
      {"7e-46", '.', 0.0f},
      {"1e39", '.', std::nullopt},  // beyond single precision
      {"-1e39", '.', std::nullopt},
      {"1e400", '.', std::nullopt},
      {"1e-50", '.', 0.0f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseSingle(c.Text, c.Separator), c.Value) << "[" << c.Text << "] with " << c.Separator;
  }
}

}  // namespace
}  // namespace loggrevy
