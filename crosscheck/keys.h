#pragma once

#include <string>
#include <string_view>

namespace loggrevy {

// The station a call stands for: the call without the codes 0 to 32 at its
// ends, in upper case, as BaseCall gives it. "sm5abc/p " -> "SM5ABC".
std::string StationKey(std::string_view call);

// The band a log's PBand names, so that "144 MHz", "145" and "144Mhz" meet:
// the band of the table whose range holds the frequency given ("144MHZ",
// "1,3GHZ", "10GHZ", ...), or, for text that gives no frequency in any range,
// the text upper-cased with "." as "," and without spaces.
std::string BandKey(std::string_view pband);

// Optimal string alignment distance exactly 1 between texts of at least three
// characters: one character replaced, inserted or deleted, or two neighbours
// swapped.
bool Similar(std::string_view a, std::string_view b);

}  // namespace loggrevy
