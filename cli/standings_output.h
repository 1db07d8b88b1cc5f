#pragma once

#include <optional>
#include <string>
#include <vector>

#include "results/standings.h"

namespace loggrevy {

// Writes the standings as an Excel workbook to path: to a new file beside it
// first, renamed to path when complete, so a failed write leaves what was
// there. Returns the reason of a failure.
std::optional<std::string> WriteStandingsFile(const std::string& path, const std::vector<TSeriesStandings>& standings);

}  // namespace loggrevy
