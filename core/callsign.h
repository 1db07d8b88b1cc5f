#pragma once

#include <string>
#include <string_view>

namespace loggrevy {

// True when the locator's field and square (its first four characters) are one
// of the 64 squares that count as Swedish territory. Case-sensitive.
bool IsSwedishSquare(std::string_view locator);

// The call without portable prefix or suffix, cut to 10 characters, with the
// special Swedish prefixes replaced by their ordinary ones (7S, 8S, SJ -> SK,
// SE -> SM, SF -> SA, SG -> SL).
std::string BaseCall(std::string_view call);

// A call whose first two characters, upper-cased, are SA..SM, 7S or 8S.
bool IsSwedishCall(std::string_view call);

// A club station: base call starting SK, or a five-character SA call.
bool IsClubCall(std::string_view call);

// A military station: base call starting SL.
bool IsMilitaryCall(std::string_view call);

}  // namespace loggrevy
