#include "core/callsign.h"

#include <gtest/gtest.h>

#include <string>

namespace loggrevy {
namespace {

TEST(SwedishSquare, Examples) {
  const std::pair<const char*, bool> cases[] = {
      {"JO65AB", true},  {"JO65", true},    {"JO99", true},    {"KP09XX", true},  {"JP53AA", true},  {"KP25", true},
      {"JO64AA", false}, {"JP99AA", false}, {"KP10AA", false}, {"jo65ab", false}, {"IO65AA", false}, {"JO6", false},
      {"JO", false},     {"", false},       {"JO 65", false},  {"KP", false},     {"JO5", false},
  };
  for (const auto& [locator, swedish] : cases) EXPECT_EQ(IsSwedishSquare(locator), swedish) << locator;
}

TEST(SwedishSquare, SixtyFourSquaresInThreeFields) {
  int count = 0;
  std::string perField;
  for (const char* field : {"JO", "JP", "KP", "KO", "JN", "IO"}) {
    int inField = 0;
    for (char a = '0'; a <= '9'; ++a) {
      for (char b = '0'; b <= '9'; ++b) {
        if (IsSwedishSquare(std::string(field) + a + b + "LL")) ++inField;
      }
    }
    perField += std::string(field) + "=" + std::to_string(inField) + " ";
    count += inField;
  }
  EXPECT_EQ(perField, "JO=21 JP=30 KP=13 KO=0 JN=0 IO=0 ");
  EXPECT_EQ(count, 64);
}

TEST(CallSign, BaseCall) {
  const std::pair<const char*, const char*> cases[] = {
      {"SM5ABC", "SM5ABC"},
      {"SM5ABC/P", "SM5ABC"},
      {"OH0/SM5ABC", "SM5ABC"},
      {"OH/SM5ABC/P", "SM5ABC"},
      {"SM5/OH1AB", "OH1AB"},
      {"SE5ABC", "SM5ABC"},
      {"7S5A", "SK5A"},
      {"8S0X", "SK0X"},
      {"SJ5XYZ", "SK5XYZ"},
      {"SG0AB", "SL0AB"},
      {"SF5AB", "SA5AB"},
      {"SM5ABCDEFGHI", "SM5ABCDEFG"},
      {"ABCD/X", "ABCD"},
      {"ABC/X", "X"},
      {"/SM5ABC", "SM5ABC"},
      {"SM5ABC/", "SM5ABC"},
      {"sm5abc", "sm5abc"},
      {"se5abc", "se5abc"},
      {"S", "S"},
      {"", ""},
      {"SM5ABC/MM/X", "SM5ABC"},
      {"OH/SE5ABCDEFGHIJ", "SM5ABCDEFG"},
      {" SE5A", " SE5A"},
  };
  for (const auto& [call, base] : cases) EXPECT_EQ(BaseCall(call), base) << call;
}

TEST(CallSign, Classes) {
  struct TCase {
    const char* Call;
    bool Club;
    bool Military;
    bool Swedish;
  };
  const TCase cases[] = {
      {"SK5AB", true, false, true},   {"SA5AB", true, false, true},     {"SA5ABC", false, false, true},
      {"SF5AB", true, false, true},   {"7S5A", true, false, true},      {"8S0X", true, false, true},
      {"SJ5XYZ", true, false, true},  {"SK5AB/P", true, false, true},   {"OH/SK5AB", true, false, false},
      {"SL0ZZ", false, true, true},   {"SG0ZZ", false, true, true},     {"SK0ZZ", true, false, true},
      {"SM5ABC", false, false, true}, {"sm5abc", false, false, true},   {"SN5A", false, false, false},
      {"S5A", false, false, false},   {"S", false, false, false},       {"", false, false, false},
      {"OH1AB", false, false, false}, {"SM5ABC/P", false, false, true}, {"OH/SM5ABC", false, false, false},
      {"sk5ab", false, false, true},  {"7s5A", false, false, true},     {"SA/SM5ABC", false, false, true},
      {"sa5a", false, false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsClubCall(c.Call), c.Club) << c.Call;
    EXPECT_EQ(IsMilitaryCall(c.Call), c.Military) << c.Call;
    EXPECT_EQ(IsSwedishCall(c.Call), c.Swedish) << c.Call;
  }
}

}  // namespace
}  // namespace loggrevy
