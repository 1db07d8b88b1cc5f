#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/reports.h"
#include "core/cp1252.h"
#include "core/locator.h"
#include "model/labels.h"
#include "model/ordered_work.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

constexpr std::string_view kIndentLog = "  ";
constexpr std::string_view kIndentDetail = "      ";

std::string Utf8(std::string_view cp1252) { return Cp1252ToUtf8(cp1252); }

// One line of figures: call, claimed and accepted total, statuses.
void WriteFigures(std::ostream& out, std::string_view indent, std::string_view name, const TEntry& entry) {
  out << indent << Utf8(name) << "  krävd " << entry.GetClaimedScore() << "  erhållen " << entry.GetTotalScore()
      << "  EDI " << int{entry.GetEdiStatus()} << "  kontroll " << int{entry.GetCheckStatus()} << '\n';
}

// The red and black labels the desktop program shows for an entry.
void WriteLabels(std::ostream& out, const TEntry& entry) {
  if (entry.GetEdiStatus() != 0) out << kIndentDetail << Utf8(labels::kEdiErrors) << '\n';
  if (entry.GetCheckStatus() != 0)
    out << kIndentDetail << Utf8(labels::CheckStatusCaption(entry.GetCheckStatus())) << '\n';
  if (entry.HasRemarks()) out << kIndentDetail << Utf8(labels::kHasRemarks) << '\n';
}

// The longest accepted distance of every log, found on the threads before the
// report is written: the one pass over every QSO of the batch.
using TBestDistances = std::unordered_map<const TLog*, double>;

TBestDistances BestDistances(const std::vector<TLog*>& logs, std::size_t jobs) {
  std::vector<double> best(logs.size(), 0.0);
  RunInOrder(
      logs.size(), jobs, logs.size(),
      [&](std::size_t i) {
        const TNacChecker& checker = logs[i]->Checker();
        if (!checker.Checked()) return;
        for (std::size_t n = 1; n <= logs[i]->Edi().QSOs.size(); ++n)
          best[i] = std::max(best[i], checker.GetQsoDistance(static_cast<int64_t>(n)));
      },
      [](std::size_t) {});
  TBestDistances byLog;
  for (std::size_t i = 0; i < logs.size(); ++i) byLog.emplace(logs[i], best[i]);
  return byLog;
}

void WriteLogDetails(std::ostream& out, const TLog& log, const TReportSettings& settings, double best) {
  const TReg1Test& edi = log.Edi();
  const TNacChecker& checker = log.Checker();
  out << kIndentDetail << "fil: " << log.Path() << '\n';
  if (checker.Checked()) {
    out << kIndentDetail << "poäng " << log.GetDxScore() << " (krävd " << edi.CQSOP << ", beräknad "
        << checker.GetScore() << ")  rutor " << log.GetSquares() << " (krävda " << edi.CWWLsCount << ", beräknade "
        << checker.SquareCount() << ")  giltiga QSO " << checker.ValidQsoCount() << '\n';
    out << kIndentDetail << "bästa DX: krävd " << Utf8(edi.CODXCCall) << ' ' << Utf8(edi.CODXCLocator) << ' '
        << FormatDistanceKm(edi.CODXCDistance, settings.DecimalSeparator) << " km, beräknad "
        << FormatDistanceKm(best, settings.DecimalSeparator) << " km\n";
  }
  for (const TDiagnostic& diagnostic : edi.Diagnostics) {
    if (diagnostic.Text.empty() && diagnostic.LineRef == 0) continue;  // the placeholder
    out << kIndentDetail;
    if (diagnostic.LineRef >= 0) {
      out << "rad " << diagnostic.LineRef + 1 << ": " << Utf8(diagnostic.Text) << "  | "
          << Utf8(edi.LineText(static_cast<std::size_t>(diagnostic.LineRef))) << '\n';
    } else {
      out << "fil: " << Utf8(diagnostic.Text) << '\n';
    }
  }
  for (const TCheckMessage& message : checker.Messages()) {
    out << kIndentDetail << '(' << int{message.Severity} << ") ";
    if (message.Qso > 0) out << "QSO " << message.Qso << ": ";
    out << Utf8(message.Text) << '\n';
  }
}

// What the cross-check found: counts, clock, figures after and every QSO that
// is not confirmed.
void WriteCrossCheck(std::ostream& out, const TCrossCheck& crossCheck, std::size_t index) {
  const TBatchLog& batch = crossCheck.BatchLog(index);
  out << kIndentDetail << "korskontroll: ";
  switch (batch.Role) {
    case TBatchRole::Absent:
      out << "deltar inte (" << (crossCheck.BatchEntry(index).GetEdiStatus() == 3 ? "ej läsbar" : "saknar signal")
          << ")\n";
      return;
    case TBatchRole::Unreadable: out << "deltar inte (ej läsbar)\n"; return;
    case TBatchRole::Replaced:
      out << "Ersatt av en senare logg från samma station ("
          << crossCheck.BatchEntry(static_cast<std::size_t>(batch.ReplacedBy)).Path() << ")\n";
      return;
    case TBatchRole::Active: break;
  }
  const TLogCrossCheck& result = crossCheck.Log(index);
  out << Utf8(CountsText(result)) << '\n';
  out << kIndentDetail << "klocka: ";
  if (result.ClockOffsetMinutes) {
    out << (*result.ClockOffsetMinutes > 0 ? "+" : "") << *result.ClockOffsetMinutes << " min";
  } else {
    out << "okänd";
  }
  out << " (" << result.ClockPairs << " par)";
  if (const std::string clock = ClockSentence(result); !clock.empty()) out << "  " << Utf8(clock);
  out << '\n';
  if (result.After) {
    out << kIndentDetail << "efter korskontroll: poäng " << result.After->Score << "  rutor " << result.After->Squares
        << "  totalpoäng " << result.After->Total << '\n';
  }
  for (std::size_t q = 0; q < result.Qsos.size(); ++q) {
    if (result.Qsos[q].Verdict == TVerdict::Confirmed) continue;
    out << kIndentDetail << Utf8(VerdictLine(crossCheck, index, q)) << '\n';
  }
}

struct TTextContext {
  const TReportSettings& Settings;
  const TReportExtras& Extras;
  const TBestDistances& Best;
  std::unordered_map<const TLog*, std::size_t> Index;
};

// A group's total after the cross-check: the sum over its members that are not replaced.
void WriteGroupAfter(std::ostream& out, const TCrossCheck& crossCheck, const TOutlineNode& group,
                     const TTextContext& context) {
  std::optional<int64_t> total;
  for (const auto& member : group.Children) {
    const TLog* log = member->Log();
    if (log == nullptr) continue;
    if (const auto& after = crossCheck.Log(context.Index.at(log)).After) total = total.value_or(0) + after->Total;
  }
  if (total) out << kIndentDetail << "efter korskontroll: totalpoäng " << *total << '\n';
}

void WriteLogNode(std::ostream& out, std::string_view indent, const TOutlineNode& node, const TLog& log,
                  const TTextContext& context) {
  WriteFigures(out, indent, node.Text, log);
  WriteLabels(out, log);
  WriteLogDetails(out, log, context.Settings, context.Best.at(&log));
  if (context.Extras.CrossCheck != nullptr) WriteCrossCheck(out, *context.Extras.CrossCheck, context.Index.at(&log));
}

}  // namespace

void WriteTextReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     const TReportExtras& extras, std::size_t jobs) {
  const TBestDistances best = BestDistances(session.Logs(), jobs);
  TTextContext context{settings, extras, best, {}};
  if (extras.CrossCheck != nullptr) {
    for (std::size_t i = 0; i < session.Logs().size(); ++i) context.Index.emplace(session.Logs()[i], i);
  }
  out << "loggrevy-check: " << session.Logs().size() << " loggar, år " << settings.Year << ", UTC-offset "
      << settings.UtcOffsetMinutes << " min, decimaltecken '" << settings.DecimalSeparator << "'\n";
  if (const TCrossCheck* crossCheck = extras.CrossCheck) {
    out << "korskontroll: " << crossCheck->Groups().Groups.size() << " grupper, tidstolerans "
        << crossCheck->Options().TimeToleranceMinutes << " min, QSO-nummer jämförs "
        << (crossCheck->Options().CompareSerials ? "i alla QSO" : "i Kvartalstestet") << '\n';
  }
  // The lines of each log or group are written on the threads, each into a
  // text of its own, and passed on in outline order under their contests.
  struct TPiece {
    const TOutlineNode* Contest;  // its heading when Child is nullptr
    const TOutlineNode* Child;
  };
  std::vector<TPiece> pieces;
  for (const auto& contest : session.Contests()) {
    pieces.push_back({contest.get(), nullptr});
    for (const auto& child : contest->Children) pieces.push_back({contest.get(), child.get()});
  }
  // The texts are small: each piece has one, so no thread waits for another
  // that lost its core for a while.
  const std::size_t ahead = std::max<std::size_t>(pieces.size(), 1);
  std::vector<std::string> parts(ahead);
  RunInOrder(
      pieces.size(), jobs, ahead,
      [&](std::size_t i) {
        // One stream per thread, emptied for each piece: a new stream takes a
        // reference to the shared locale, which the threads would fight over.
        thread_local std::ostringstream text;
        text.str(std::string());
        text.clear();
        if (const TOutlineNode* child = pieces[i].Child) {
          if (const TLog* log = child->Log()) {
            WriteLogNode(text, kIndentLog, *child, *log, context);
          } else if (const TLogGroup* group = child->Group()) {
            WriteFigures(text, kIndentLog, child->Text + " (grupp)", *group);
            WriteLabels(text, *group);
            if (extras.CrossCheck != nullptr) WriteGroupAfter(text, *extras.CrossCheck, *child, context);
            for (const auto& member : child->Children) {
              if (const TLog* memberLog = member->Log()) WriteLogNode(text, "    ", *member, *memberLog, context);
            }
          }
        } else {
          text << '\n' << Utf8(pieces[i].Contest->Text) << '\n';
        }
        parts[i % ahead] = text.str();
      },
      [&](std::size_t i) { out << parts[i % ahead]; });
}

}  // namespace loggrevy
