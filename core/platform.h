#pragma once

#include <cstddef>
#include <cstdint>

namespace loggrevy {

// What the front ends ask of the computer; the core itself never calls these,
// it takes the values as parameters.

// Local time minus UTC in minutes now (120 in Central European summer time);
// 60 when the zone cannot be read.
int32_t SystemUtcOffsetMinutes();

// The decimal separator of the user's locale; '.' when it cannot be read or
// is not a single byte.
char SystemDecimalSeparator();

// The year of the computer's current date.
int32_t SystemCurrentYear();

// The processor cores this program may run on; at least 1.
std::size_t SystemCoreCount();

// The time of the computer's clock in nanoseconds since the epoch.
int64_t SystemNowNs();

}  // namespace loggrevy
