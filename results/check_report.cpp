#include <ostream>

#include "core/cp1252.h"
#include "core/text.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

constexpr std::string_view kReplaced = "Ersatt av en senare logg fr\xE5n samma station";

void Line(std::ostream& out, std::string_view cp1252) { out << Cp1252ToUtf8(cp1252) << '\n'; }

std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// How the judge judged a QSO, or what the cross-check proposes for it.
std::string_view JudgementText(uint8_t judged, uint8_t proposed) {
  if (judged == kPenaltyInvalid) return "bed\xF6md: ogiltig (-100%)";
  if (judged == kPenaltyDuplicate) return "bed\xF6md: dubblett (-1000%)";
  if (judged != kPenaltyNone) return "bed\xF6md";
  if (proposed != kPenaltyNone) return "f\xF6rslag: ogiltig (-100%), inte bed\xF6md";
  return {};
}

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
  if (HasEvidence(crossCheck.Log(log).Qsos[position].Verdict)) {
    line += " (";
    line += EvidenceText(crossCheck, log, position);
    line += ')';
  }
}

std::string EvidenceText(const TCrossCheck& crossCheck, std::size_t log, std::size_t position) {
  const TQsoVerdict& verdict = crossCheck.Log(log).Qsos[position];
  if (!HasEvidence(verdict.Verdict)) return {};
  const TQSORecord& q = crossCheck.BatchEntry(log).Edi().QSOs[position];
  const TLog& other = crossCheck.BatchEntry(static_cast<std::size_t>(verdict.OtherLog));
  const TQSORecord& o = other.Edi().QSOs[static_cast<std::size_t>(verdict.OtherQso - 1)];
  std::string text = other.Edi().PCall;
  text += ' ';
  // A time error across midnight is a wrong date: the judge sees it at once.
  if (o.Date.View() != q.Date.View()) {
    text += o.Date.View();
    text += ' ';
  }
  text += o.Time.View();
  text += ' ';
  text += o.Call.View();
  text += ' ';
  text += o.RcvdWWL.View();
  return text;
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
  // The report goes to the participant: the judge's folders are no business of his.
  out << "Fil:      " << FileNameOf(entry.Path()) << '\n';
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
    out << "Senare logg: " << FileNameOf(newer.Path()) << '\n';
    return;
  }
  Line(out, "Korskontroll av " + std::to_string(result.Qsos.size()) + " QSO: " + CountsText(result));
  if (const std::string clock = ClockSentence(result); !clock.empty()) Line(out, clock);

  // The judge's judgements apart from the proposals he has not acted on.
  const TNacChecker& checker = entry.Checker();
  const auto judged = [&](std::size_t position) { return checker.GetPenalty(static_cast<int64_t>(position)); };
  int32_t invalid = 0;
  int32_t duplicate = 0;
  int32_t proposed = 0;
  for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
    const uint8_t penalty = judged(position);
    if (penalty == kPenaltyInvalid) ++invalid;
    if (penalty == kPenaltyDuplicate) ++duplicate;
    if (penalty == kPenaltyNone && crossCheck.ProposedPenalty(log, position) != kPenaltyNone) ++proposed;
  }
  std::string judgements = "Domarens bed\xF6mningar: ";
  if (invalid + duplicate == 0) {
    judgements += "inga";
  } else {
    AppendNumber(judgements, invalid + duplicate);
    judgements += " QSO (ogiltiga ";
    AppendNumber(judgements, invalid);
    judgements += ", dubbletter ";
    AppendNumber(judgements, duplicate);
    judgements += ')';
  }
  judgements += "; f\xF6rslag som inte \xE4r bed\xF6mda: ";
  AppendNumber(judgements, proposed);
  judgements += " QSO";
  Line(out, judgements);

  bool header = false;
  for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
    const uint8_t penalty = judged(position);
    if (result.Qsos[position].Verdict == TVerdict::Confirmed && penalty == kPenaltyNone) continue;
    if (!header) {
      out << '\n';
      Line(out,
           "QSO som inte \xE4r bekr\xE4"
           "ftade eller som domaren har bed\xF6mt (motstationens QSO inom parentes):");
      header = true;
    }
    std::string line = "  " + VerdictLine(crossCheck, log, position);
    if (const std::string_view how = JudgementText(penalty, crossCheck.ProposedPenalty(log, position)); !how.empty()) {
      line += " - ";
      line += how;
    }
    Line(out, line);
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
