#pragma once

// Names of parameterised test cases built from their parameters, so that a
// failing case reads "SM5ABC_P_and_SM5ABC" rather than "/3".

#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>

namespace loggrevy::test {

// The parts joined with '_'; a character GoogleTest does not take in a name
// becomes '_', a minus sign "minus", and an empty part "empty".
inline std::string ParamName(std::initializer_list<std::string_view> parts) {
  std::string name;
  for (const std::string_view part : parts) {
    if (!name.empty()) name += '_';
    if (part.empty()) name += "empty";
    for (const char c : part) {
      if (c == '-') {
        name += "minus";
      } else {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
      }
    }
  }
  return name;
}

}  // namespace loggrevy::test
