#include <ostream>

#include "core/cp1252.h"
#include "core/text.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

constexpr std::string_view kReplaced = "Ersatt av en senare logg fr\xE5n samma station";

void Line(std::ostream& out, std::string_view cp1252) { out << Cp1252ToUtf8(cp1252) << '\n'; }

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

void FigureRow(std::ostream& out, std::string_view caption, const std::string& claimed, const std::string& accepted,
               const std::string& after) {
  std::string line(caption);
  line.resize(22, ' ');
  line += Padded(claimed, 10) + Padded(accepted, 11) + Padded(after, 20);
  Line(out, line);
}

// What the log's partners lose in QSOs with it, whoever is at fault.
void WritePartnersLost(std::ostream& out, const TCrossCheck& crossCheck, const TLogCrossCheck& result) {
  out << '\n';
  Line(out, "QSO som motstationerna f\xF6rlorar med dig:");
  std::string count =
      "  " + std::to_string(result.PartnerRecordsLost()) + " av " + std::to_string(result.PartnerRecords) + " QSO";
  if (result.PartnerRecords > 0) {
    count += " (" +
             std::to_string((200 * int64_t{result.PartnerRecordsLost()} + result.PartnerRecords) /
                            (2 * int64_t{result.PartnerRecords})) +
             " %)";
  }
  Line(out, count);
  std::string line;
  for (const TRecordRef& lost : result.PartnerLost) {
    const auto log = static_cast<std::size_t>(lost.Log);
    const auto position = static_cast<std::size_t>(lost.Position);
    const TLog& partner = crossCheck.BatchEntry(log);
    line = "  ";
    line += partner.Edi().PCall;
    line += " QSO ";
    AppendNumber(line, position + 1);
    line += ' ';
    line += partner.Edi().QSOs[position].Time.View();
    line += ": ";
    crossCheck.AppendText(line, log, position);
    Line(out, line);
  }
}

}  // namespace

void AppendVerdictLine(std::string& line, const TCrossCheck& crossCheck, std::size_t log, std::size_t position) {
  const TQSORecord& q = crossCheck.BatchEntry(log).Edi().QSOs[position];
  line += "QSO ";
  AppendNumber(line, position + 1);
  line += ' ';
  line += q.Time.View();
  line += ' ';
  line += q.Call.View();
  line += ": ";
  crossCheck.AppendText(line, log, position);
  const TQsoVerdict& verdict = crossCheck.Log(log).Qsos[position];
  if (HasEvidence(verdict.Verdict)) {
    const TLog& other = crossCheck.BatchEntry(static_cast<std::size_t>(verdict.OtherLog));
    const TQSORecord& o = other.Edi().QSOs[static_cast<std::size_t>(verdict.OtherQso - 1)];
    line += " (";
    line += other.Edi().PCall;
    line += ' ';
    line += o.Time.View();
    line += ' ';
    line += o.Call.View();
    line += ' ';
    line += o.RcvdWWL.View();
    line += ')';
  }
}

std::string VerdictLine(const TCrossCheck& crossCheck, std::size_t log, std::size_t position) {
  std::string line;
  AppendVerdictLine(line, crossCheck, log, position);
  return line;
}

std::string ClockSentence(const TLogCrossCheck& result) {
  if (!result.ClockOffsetMinutes) return {};
  const int32_t offset = *result.ClockOffsetMinutes;
  if (offset > -3 && offset < 3) return {};
  std::string text = "Loggens klocka avviker ";
  if (offset > 0) text += '+';
  AppendNumber(text, offset);
  text += " min mot motstationerna";
  return text;
}

std::string CountsText(const TLogCrossCheck& result) {
  std::string text;
  for (const TVerdict verdict : kAllVerdicts) {
    const int32_t count = result.Counts[static_cast<std::size_t>(verdict)];
    if (count == 0) continue;
    if (!text.empty()) text += ", ";
    text += VerdictCountLabel(verdict);
    text += ' ';
    AppendNumber(text, count);
  }
  return text.empty() ? std::string("inga QSO") : text;
}

void WriteCheckReport(std::ostream& out, const TCrossCheck& crossCheck, std::size_t log) {
  const TLog& entry = crossCheck.BatchEntry(log);
  const TBatchLog& batch = crossCheck.BatchLog(log);
  const TLogCrossCheck& result = crossCheck.Log(log);
  const TReg1Test& edi = entry.Edi();

  out << "Kontrollrapport\n===============\n";
  Line(out, "Station:  " + edi.PCall);
  Line(out, "Test:     " + entry.GetCaption());
  out << "Fil:      " << entry.Path() << '\n';
  if (edi.Status == 3 || batch.Role == TBatchRole::Absent) {
    out << '\n';
    Line(out, edi.Status == 3 ? "Loggen kunde inte l\xE4sas och \xE4r inte med i korskontrollen."
                              : "Loggen saknar signal och \xE4r inte med i korskontrollen.");
    return;
  }
  out << '\n';
  const auto after = [&](auto value) { return result.After ? std::to_string(value(*result.After)) : std::string(); };
  FigureRow(out, "", "Kr\xE4vd", "Erh\xE5llen", "Efter korskontroll");
  FigureRow(out, "Avst\xE5ndspo\xE4ng", std::to_string(edi.CQSOP), std::to_string(entry.GetDxScore()),
            after([](const TFiguresAfter& f) { return f.Score; }));
  FigureRow(out, "Rutor", std::to_string(edi.CWWLsCount), std::to_string(entry.GetSquares()),
            after([](const TFiguresAfter& f) { return f.Squares; }));
  FigureRow(out, "Totalpo\xE4ng", std::to_string(entry.GetClaimedScore()), std::to_string(entry.GetTotalScore()),
            after([](const TFiguresAfter& f) { return f.Total; }));
  out << '\n';

  if (batch.Role == TBatchRole::Replaced) {
    const TLog& newer = crossCheck.BatchEntry(static_cast<std::size_t>(batch.ReplacedBy));
    Line(out, std::string(kReplaced) + '.');
    out << "Senare logg: " << newer.Path() << '\n';
    return;
  }
  Line(out, "Korskontroll av " + std::to_string(result.Qsos.size()) + " QSO: " + CountsText(result));
  if (const std::string clock = ClockSentence(result); !clock.empty()) Line(out, clock);

  bool header = false;
  for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
    if (result.Qsos[position].Verdict == TVerdict::Confirmed) continue;
    if (!header) {
      out << '\n';
      Line(out,
           "QSO som inte \xE4r bekr\xE4"
           "ftade (motstationens QSO inom parentes):");
      header = true;
    }
    Line(out, "  " + VerdictLine(crossCheck, log, position));
  }
  if (!header) {
    out << '\n';
    Line(out,
         "Alla QSO \xE4r bekr\xE4"
         "ftade av motstationerna.");
  }
  WritePartnersLost(out, crossCheck, result);
}

}  // namespace loggrevy
