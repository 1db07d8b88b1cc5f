#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/reports.h"
#include "core/cp1252.h"
#include "core/locator.h"
#include "core/text.h"
#include "model/labels.h"
#include "model/ordered_work.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

constexpr std::string_view kIndentLog = "  ";
constexpr std::string_view kIndentDetail = "      ";

// One line of figures: call, claimed and accepted total, statuses.
void WriteFigures(std::string& out, std::string_view indent, std::string_view name, const TEntry& entry) {
  out += indent;
  AppendUtf8(out, name);
  out += "  krävd ";
  AppendNumber(out, entry.GetClaimedScore());
  out += "  erhållen ";
  AppendNumber(out, entry.GetTotalScore());
  out += "  EDI ";
  AppendNumber(out, int{entry.GetEdiStatus()});
  out += "  kontroll ";
  AppendNumber(out, int{entry.GetCheckStatus()});
  out += '\n';
}

void WriteDetailLine(std::string& out, std::string_view cp1252) {
  out += kIndentDetail;
  AppendUtf8(out, cp1252);
  out += '\n';
}

// The red and black labels the desktop program shows for an entry.
void WriteLabels(std::string& out, const TEntry& entry) {
  if (entry.GetEdiStatus() != 0) WriteDetailLine(out, labels::kEdiErrors);
  if (entry.GetCheckStatus() != 0) WriteDetailLine(out, labels::CheckStatusCaption(entry.GetCheckStatus()));
  if (entry.HasRemarks()) WriteDetailLine(out, labels::kHasRemarks);
}

void WriteLogDetails(std::string& out, const TLog& log, const TReportSettings& settings) {
  const TReg1Test& edi = log.Edi();
  const TNacChecker& checker = log.Checker();
  out += kIndentDetail;
  out += "fil: ";
  out += log.Path();
  out += '\n';
  if (checker.Checked()) {
    out += kIndentDetail;
    out += "poäng ";
    AppendNumber(out, log.GetDxScore());
    out += " (krävd ";
    AppendNumber(out, edi.CQSOP);
    out += ", beräknad ";
    AppendNumber(out, checker.GetScore());
    out += ")  rutor ";
    AppendNumber(out, log.GetSquares());
    out += " (krävda ";
    AppendNumber(out, edi.CWWLsCount);
    out += ", beräknade ";
    AppendNumber(out, checker.SquareCount());
    out += ")  giltiga QSO ";
    AppendNumber(out, checker.ValidQsoCount());
    out += '\n';
    out += kIndentDetail;
    out += "bästa DX: krävd ";
    AppendUtf8(out, edi.CODXCCall);
    out += ' ';
    AppendUtf8(out, edi.CODXCLocator);
    out += ' ';
    out += FormatDistanceKm(edi.CODXCDistance, settings.DecimalSeparator);
    out += " km, beräknad ";
    out += FormatDistanceKm(checker.BestDistance(), settings.DecimalSeparator);
    out += " km\n";
  }
  for (const TDiagnostic& diagnostic : edi.Diagnostics) {
    if (diagnostic.Text.empty() && diagnostic.LineRef == 0) continue;  // the placeholder
    out += kIndentDetail;
    if (diagnostic.LineRef >= 0) {
      out += "rad ";
      AppendNumber(out, diagnostic.LineRef + 1);
      out += ": ";
      AppendUtf8(out, diagnostic.Text);
      out += "  | ";
      AppendUtf8(out, edi.LineText(static_cast<std::size_t>(diagnostic.LineRef)));
    } else {
      out += "fil: ";
      AppendUtf8(out, diagnostic.Text);
    }
    out += '\n';
  }
  for (const TCheckMessage& message : checker.Messages()) {
    out += kIndentDetail;
    out += '(';
    AppendNumber(out, int{message.Severity});
    out += ") ";
    if (message.Qso > 0) {
      out += "QSO ";
      AppendNumber(out, message.Qso);
      out += ": ";
    }
    AppendUtf8(out, message.Text);
    out += '\n';
  }
}

// What the cross-check found: counts, clock, figures after and every QSO that
// is not confirmed.
void WriteCrossCheck(std::string& out, const TCrossCheck& crossCheck, std::size_t index) {
  const TBatchLog& batch = crossCheck.BatchLog(index);
  out += kIndentDetail;
  out += "korskontroll: ";
  switch (batch.Role) {
    case TBatchRole::Absent:
      out += "deltar inte (";
      out += crossCheck.BatchEntry(index).GetEdiStatus() == 3 ? "ej läsbar" : "saknar signal";
      out += ")\n";
      return;
    case TBatchRole::Unreadable: out += "deltar inte (ej läsbar)\n"; return;
    case TBatchRole::Replaced:
      out += "Ersatt av en senare logg från samma station (";
      out += crossCheck.BatchEntry(static_cast<std::size_t>(batch.ReplacedBy)).Path();
      out += ")\n";
      return;
    case TBatchRole::Active: break;
  }
  const TLogCrossCheck& result = crossCheck.Log(index);
  AppendUtf8(out, CountsText(result));
  out += '\n';
  out += kIndentDetail;
  out += "klocka: ";
  if (result.ClockOffsetMinutes) {
    if (*result.ClockOffsetMinutes > 0) out += '+';
    AppendNumber(out, *result.ClockOffsetMinutes);
    out += " min";
  } else {
    out += "okänd";
  }
  out += " (";
  AppendNumber(out, result.ClockPairs);
  out += " par)";
  if (const std::string clock = ClockSentence(result); !clock.empty()) {
    out += "  ";
    AppendUtf8(out, clock);
  }
  out += '\n';
  out += kIndentDetail;
  out += "motstationerna förlorar ";
  AppendNumber(out, result.PartnerRecordsLost());
  out += " av ";
  AppendNumber(out, result.PartnerRecords);
  out += " QSO med loggen\n";
  if (result.After) {
    out += kIndentDetail;
    out += "efter korskontroll: poäng ";
    AppendNumber(out, result.After->Score);
    out += "  rutor ";
    AppendNumber(out, result.After->Squares);
    out += "  totalpoäng ";
    AppendNumber(out, result.After->Total);
    out += '\n';
  }
  // Room for the lines at once: a text that grows by doubling would be copied
  // over and over, and the threads wait for each other in malloc.
  const auto lines = std::count_if(result.Qsos.begin(), result.Qsos.end(),
                                   [](const TQsoVerdict& q) { return q.Verdict != TVerdict::Confirmed; });
  out.reserve(out.size() + 100 * static_cast<std::size_t>(lines));
  // In a large batch the records of a log have long left the cache when its
  // lines are written: the record of a line some lines ahead is fetched while
  // this one is built.
  const TQSORecord* records = crossCheck.BatchEntry(index).Edi().QSOs.data();
  std::size_t fetched = 0;
  const auto fetchNext = [&] {
    while (fetched < result.Qsos.size() && result.Qsos[fetched].Verdict == TVerdict::Confirmed) ++fetched;
    if (fetched < result.Qsos.size()) __builtin_prefetch(records + fetched++);
  };
  for (int k = 0; k < 8; ++k) fetchNext();
  std::string line;
  for (std::size_t q = 0; q < result.Qsos.size(); ++q) {
    if (result.Qsos[q].Verdict == TVerdict::Confirmed) continue;
    fetchNext();
    line.clear();
    AppendVerdictLine(line, crossCheck, index, q);
    WriteDetailLine(out, line);
  }
}

struct TTextContext {
  const TReportSettings& Settings;
  const TReportExtras& Extras;
  std::unordered_map<const TLog*, std::size_t> Index;
};

// A group's total after the cross-check: the sum over its members that are not replaced.
void WriteGroupAfter(std::string& out, const TCrossCheck& crossCheck, const TOutlineNode& group,
                     const TTextContext& context) {
  std::optional<int64_t> total;
  for (const auto& member : group.Children) {
    const TLog* log = member->Log();
    if (log == nullptr) continue;
    if (const auto& after = crossCheck.Log(context.Index.at(log)).After) total = total.value_or(0) + after->Total;
  }
  if (total) {
    out += kIndentDetail;
    out += "efter korskontroll: totalpoäng ";
    AppendNumber(out, *total);
    out += '\n';
  }
}

void WriteLogNode(std::string& out, std::string_view indent, const TOutlineNode& node, const TLog& log,
                  const TTextContext& context) {
  WriteFigures(out, indent, node.Text, log);
  WriteLabels(out, log);
  WriteLogDetails(out, log, context.Settings);
  if (context.Extras.CrossCheck != nullptr) WriteCrossCheck(out, *context.Extras.CrossCheck, context.Index.at(&log));
}

}  // namespace

void WriteTextReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     const TReportExtras& extras, std::size_t jobs) {
  TTextContext context{settings, extras, {}};
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
        // Built apart from parts and moved in when done: neighbouring texts
        // share a cache line, and two threads appending to both would pass
        // it back and forth at every line.
        std::string text;
        text.reserve(1024);  // the lines of a log without its cross-check, mostly
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
          text += '\n';
          AppendUtf8(text, pieces[i].Contest->Text);
          text += '\n';
        }
        parts[i % ahead] = std::move(text);
      },
      [&](std::size_t i) {
        std::string& text = parts[i % ahead];
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::string().swap(text);  // written: its memory goes back at once
      });
}

}  // namespace loggrevy
