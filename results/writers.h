#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "crosscheck/crosscheck.h"
#include "results/results_list.h"

namespace loggrevy {

// The writers of the results lists and the check reports that both front ends
// use. All write UTF-8; none checks the stream (the caller does).

// One CSV field (RFC 4180) in UTF-8: quoted only when it holds a comma, a
// double quote, CR or LF.
void WriteCsvField(std::ostream& out, std::string_view cp1252);
// Text in UTF-8 with &, <, > and " escaped for an HTML page.
void WriteHtmlEscaped(std::ostream& out, std::string_view cp1252);

// A table per contest that fits an 80-column terminal.
void WriteResultsText(std::ostream& out, const std::vector<TResultList>& lists);

// RFC 4180: one header row ("Test" and the column captions), one row per
// entry with its contest caption first, CRLF line ends, a field quoted only
// when it holds a comma, a double quote, CR or LF.
void WriteResultsCsv(std::ostream& out, const std::vector<TResultList>& lists);

// One self-contained page (no script, no external file), a table per contest
// under its caption, that reads well printed and on a phone.
void WriteResultsHtml(std::ostream& out, const std::vector<TResultList>& lists);

// The per-participant check report ("Kontrollrapport") of one log of the
// cross-checked batch: station, contest, file, claimed, accepted and
// after-check figures, the verdict counts, the clock and one line per QSO that
// is not confirmed, with the partner's record as evidence.
void WriteCheckReport(std::ostream& out, const TCrossCheck& crossCheck, std::size_t log);

// The pieces both front ends show of a cross-checked log, in Windows-1252.
// A record that is not confirmed: "QSO 12 1834 SM5XYZ: " + the verdict text,
// and for a paired record its EvidenceText in parentheses.
std::string VerdictLine(const TCrossCheck& crossCheck, std::size_t log, std::size_t position);
// The other record of a paired QSO, "SM5XYX 1835 SM5ABC JO89XX": the other
// log's call, the other record's time, call and received locator; when the two
// records' dates differ, the other record's date before its time
// ("SM5XYX 260113 0005 SM5ABC JO89XX"). Empty for a record without a pair.
std::string EvidenceText(const TCrossCheck& crossCheck, std::size_t log, std::size_t position);
// VerdictLine onto the end of line.
void AppendVerdictLine(std::string& line, const TCrossCheck& crossCheck, std::size_t log, std::size_t position);
// "Loggens klocka avviker +62 min mot motstationerna" for an offset of at
// least 3 minutes either way, else empty.
std::string ClockSentence(const TLogCrossCheck& result);
// The counts that are not 0, "Bekräftade 40, Fel signal 1, ...".
std::string CountsText(const TLogCrossCheck& result);

}  // namespace loggrevy
