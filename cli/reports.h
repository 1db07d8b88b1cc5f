#pragma once

#include <cstddef>
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
// messages, indented. jobs: the threads that look through the QSOs first.
void WriteTextReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     std::size_t jobs = 1);

// The JSON document of the whole batch; with jobs > 1 the logs are written
// on that many threads, to the same bytes.
void WriteJsonReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     std::size_t jobs = 1);

}  // namespace loggrevy
