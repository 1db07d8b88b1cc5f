#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace loggrevy {

// What the batch checker takes from the computer when no option says
// otherwise; main() reads them from the system, tests fix them.
struct TSystemDefaults {
  int32_t Year = 2026;
  int32_t UtcOffsetMinutes = 60;
  char DecimalSeparator = ',';
  std::size_t Jobs = 1;  // threads that read and check
  int64_t NowNs = 0;     // the clock, since the epoch; 0 when unknown
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitWriteError = 1;
inline constexpr int kExitUsage = 2;

// loggrevy-check: imports the FILE arguments as the desktop program does and
// writes the human report or (--json) the JSON document to out; notes and
// usage errors go to err. args excludes the program name. Returns the exit
// status: 0 when every file was imported, 1 when writing the report or a file
// failed, 2 for bad usage.
int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const TSystemDefaults& defaults);

}  // namespace loggrevy
