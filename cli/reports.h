#pragma once

#include <cstdint>
#include <iosfwd>

#include "model/import_session.h"

namespace loggrevy {

struct TReportSettings {
  int32_t Year;
  int32_t UtcOffsetMinutes;
  char DecimalSeparator;
};

// The human report in UTF-8: per contest node of the outline, a line per log
// or group with its figures and problems, then the log's diagnostics and
// messages, indented.
void WriteTextReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings);

// The JSON document of the whole batch.
void WriteJsonReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings);

}  // namespace loggrevy
