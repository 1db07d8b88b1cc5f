#pragma once

#include <cstdint>
#include <string_view>

// The texts with which both front ends point out a log's problems, in
// Windows-1252.
namespace loggrevy::labels {

// The outline captions of logs that have no contest date.
inline constexpr std::string_view kUnreadableCaption = "Ej l\xE4sbar EDI-fil";
inline constexpr std::string_view kUnidentifiedCaption = "Ej identifierad test";

inline constexpr std::string_view kEdiErrors = "EDI filen inneh\xE5ller fel.";
inline constexpr std::string_view kHasRemarks = "OBS! Loggen har kommentarer.";

// The caption for the checker's highest severity; empty for 0.
constexpr std::string_view CheckStatusCaption(uint8_t status) {
  switch (status) {
    case 1: return "Det finns saker i loggen som kan vara fel";
    case 2: return "Loggens information \xF6verensst\xE4mmer ej med testens regler";
    case 3: return "Loggen inneh\xE5ller allvarliga fel";
    default: return {};
  }
}

}  // namespace loggrevy::labels
