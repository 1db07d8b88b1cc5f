#pragma once

#include <iosfwd>

#include "cli/reports.h"

namespace loggrevy::testing {

// The JSON document of the batch, built with nlohmann::ordered_json.
void WriteJsonReportFromTree(std::ostream& out, const TImportSession& session, const TReportSettings& settings);

}  // namespace loggrevy::testing
