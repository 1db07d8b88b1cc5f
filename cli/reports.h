#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include <vector>

#include "crosscheck/crosscheck.h"
#include "model/import_session.h"
#include "results/results_list.h"

namespace loggrevy {

struct TReportSettings {
  int32_t Year;
  int32_t UtcOffsetMinutes;
  char DecimalSeparator;
};

// What a report shows beyond the logs themselves, when asked for.
struct TReportExtras {
  const TCrossCheck* CrossCheck = nullptr;
  const std::vector<TResultList>* Results = nullptr;  // the JSON document only
  const std::string* Standings = nullptr;             // the member "standings", written
};

// The human report in UTF-8: per contest node of the outline, a line per log
// or group with its figures and problems, then the log's diagnostics and
// messages, indented, and after a cross-check its verdicts. jobs: the
// threads that write the logs' parts, passed on in order.
void WriteTextReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     const TReportExtras& extras = {}, std::size_t jobs = 1);

// The JSON document of the whole batch; the members "crosscheck",
// "results" and "standings" follow "logs" when there are such extras. With jobs > 1 the logs
// are written on that many threads, to the same bytes.
void WriteJsonReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     const TReportExtras& extras = {}, std::size_t jobs = 1);

}  // namespace loggrevy
