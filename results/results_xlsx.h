#pragma once

#include <optional>
#include <string>
#include <vector>

#include "results/results_list.h"

namespace loggrevy {

// The results lists as an Excel workbook, a sheet per contest named by its
// caption: the column captions in a bold, frozen header row, the figures as
// numbers, an absent figure an empty cell. Returns the reason on failure.
std::optional<std::string> WriteResultsXlsx(const std::string& path, const std::vector<TResultList>& lists);

}  // namespace loggrevy
