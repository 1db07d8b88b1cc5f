#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace loggrevy {

enum class TContestKind : uint8_t {
  None = 0,          // not identified
  VHF = 1,           // NAC evening on 144 MHz
  UHF = 2,           // NAC evening on 432 MHz
  SHF = 3,           // NAC evening on 1.3 GHz
  Mikro = 4,         // NAC evening on the microwave bands from 2.3 GHz up
  SIX = 5,           // NAC evening on 50 MHz
  Kvartalstest = 6,  // quarterly test, first Sunday of March, May, September, October
  M28 = 7,           // NAC evening on 28 MHz, judged per one-hour section
};

// "VHF", "UHF", "SHF", "Mikro", "SIX", "Kvartalstest", "28M"; empty for None.
std::string_view KindName(TContestKind kind);

// One row of the band plan: the week of the month of the band's evening
// (1 = days 1-7 ... 4 = days 22-28), its contest, multiplier and square bonus.
struct TBandRow {
  std::string_view Band;
  int32_t Week;
  TContestKind Kind;
  int32_t BandMultiplier;
  int32_t SquareBonus;
};

const std::array<TBandRow, 13>& BandTable();

// PBand upper-cased, "." replaced by "," and spaces removed: "1.3 GHz" -> "1,3GHZ".
std::string NormaliseBand(std::string_view band);

}  // namespace loggrevy
