#include <ostream>
#include <string>
#include <unordered_map>
#include <variant>

#include "cli/json_writer.h"
#include "cli/reports.h"
#include "crosscheck/qso_time.h"
#include "edi/keywords.h"
#include "model/ordered_work.h"

namespace loggrevy {
namespace {

// The document is written as it goes: a batch of a thousand logs makes a
// document of a hundred megabytes, which is never held in memory.
using TLogIndex = std::unordered_map<const TLog*, std::size_t>;

// A mark character: a string of one character, empty for code 0.
void Mark(TJsonWriter& json, char c) { json.Cp1252(c == '\0' ? std::string_view() : std::string_view(&c, 1)); }

void EntryFigures(TJsonWriter& json, const TEntry& entry) {
  json.BeginObject();
  json.Key("ClaimedScore").Int(entry.GetClaimedScore());
  json.Key("TotalScore").Int(entry.GetTotalScore());
  json.Key("EdiStatus").Unsigned(entry.GetEdiStatus());
  json.Key("CheckStatus").Unsigned(entry.GetCheckStatus());
  json.Key("HasRemarks").Bool(entry.HasRemarks());
  json.EndObject();
}

void Node(TJsonWriter& json, const TOutlineNode& node, const TLogIndex& index) {
  json.BeginObject();
  json.Key("text").Cp1252(node.Text);
  if (const TLog* log = node.Log()) {
    json.Key("log").Unsigned(index.at(log));
  } else if (const TLogGroup* group = node.Group()) {
    json.Key("group");
    EntryFigures(json, *group);
  }
  if (node.Entry == nullptr || node.Group() != nullptr) {
    json.Key("children").BeginArray();
    for (const auto& child : node.Children) Node(json, *child, index);
    json.EndArray();
  }
  json.EndObject();
}

void Header(TJsonWriter& json, const TReg1Test& edi) {
  json.BeginObject();
  for (const TKeyword& keyword : KeywordTable()) {
    for (std::size_t p = 0; p < keyword.PartCount; ++p) {
      const TValuePart& part = keyword.Parts[p];
      json.Key(part.FieldName);
      std::visit(
          [&](auto member) {
            const auto& value = edi.*member;
            using TValue = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<TValue, std::string>) {
              json.Cp1252(value);
            } else if constexpr (std::is_same_v<TValue, float>) {
              json.Double(static_cast<double>(value));
            } else {
              json.Int(value);
            }
          },
          part.Field);
    }
  }
  json.EndObject();
}

void Edi(TJsonWriter& json, const TReg1Test& edi) {
  json.BeginObject();
  json.Key("Status").Unsigned(edi.Status);
  json.Key("ReadFinished").Bool(edi.ReadFinished);
  json.Key("FileName").Bytes(edi.FileName);
  json.Key("QSOCount").Int(edi.QSOCount);
  json.Key("KeywordSeen").BeginArray();
  for (int k = 1; k <= kKeywordCount; ++k) json.Bool(edi.KeywordSeen[static_cast<std::size_t>(k)]);
  json.EndArray();
  json.Key("header");
  Header(json, edi);
  json.Key("Remarks").BeginArray();
  for (const std::string& remark : edi.Remarks) json.Cp1252(remark);
  json.EndArray();
  json.Key("Lines").BeginArray();
  for (std::size_t i = 0; i < edi.Lines.size(); ++i) {
    json.BeginObject();
    json.Key("text").Cp1252(edi.LineText(i));
    json.Key("DiagnosticRef").Int(edi.Lines[i].DiagnosticRef);
    json.EndObject();
  }
  json.EndArray();
  json.Key("Diagnostics").BeginArray();
  for (const TDiagnostic& diagnostic : edi.Diagnostics) {
    json.BeginObject();
    json.Key("text").Cp1252(diagnostic.Text);
    json.Key("LineRef").Int(diagnostic.LineRef);
    json.EndObject();
  }
  json.EndArray();
  json.Key("QSOs").BeginArray();
  for (const TQSORecord& q : edi.QSOs) {
    json.BeginObject();
    json.Key("Status").Unsigned(q.Status);
    json.Key("Date").Cp1252(q.Date);
    json.Key("Time").Cp1252(q.Time);
    json.Key("Call").Cp1252(q.Call);
    json.Key("Mode").Int(q.Mode);
    json.Key("SentRST").Cp1252(q.SentRST);
    json.Key("SentNr").Int(q.SentNr);
    json.Key("RcvdRST").Cp1252(q.RcvdRST);
    json.Key("RcvdNr").Int(q.RcvdNr);
    json.Key("RcvdExch").Cp1252(q.RcvdExch);
    json.Key("RcvdWWL").Cp1252(q.RcvdWWL);
    json.Key("Points").Int(q.Points);
    Mark(json.Key("NewExch"), q.NewExch);
    Mark(json.Key("NewWWL"), q.NewWWL);
    Mark(json.Key("NewDXCC"), q.NewDXCC);
    Mark(json.Key("Dupe"), q.Dupe);
    json.Key("Valid").Bool(q.Valid);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void Check(TJsonWriter& json, const TLog& log) {
  const TNacChecker& checker = log.Checker();
  json.BeginObject();
  json.Key("Checked").Bool(checker.Checked());
  json.Key("Kind").Int(static_cast<int>(checker.Kind()));
  json.Key("KindName").Cp1252(KindName(checker.Kind()));
  json.Key("MaxSeverity").Unsigned(checker.MaxSeverity());
  json.Key("Score").Int(checker.Score());
  json.Key("SquareCount").Int(checker.SquareCount());
  json.Key("ValidQsoCount").Int(checker.ValidQsoCount());
  json.Key("BestDxCalls").Cp1252(checker.BestDxCalls());
  json.Key("BandMultiplier").Int(checker.BandMultiplier());
  json.Key("SquareBonus").Int(checker.SquareBonus());
  const TLocatorPoint& own = checker.OwnLocation();
  json.Key("OwnLocation").BeginObject();
  json.Key("Locator").Cp1252(own.Locator);
  json.Key("Longitude").Double(own.Longitude);
  json.Key("Latitude").Double(own.Latitude);
  json.EndObject();
  json.Key("Messages").BeginArray();
  for (const TCheckMessage& message : checker.Messages()) {
    json.BeginObject();
    json.Key("text").Cp1252(message.Text);
    json.Key("qso").Int(message.Qso);
    json.Key("severity").Unsigned(message.Severity);
    json.EndObject();
  }
  json.EndArray();
  json.Key("QSOs").BeginArray();
  if (checker.Checked()) {
    for (std::size_t n = 1; n <= log.Edi().QSOs.size(); ++n) {
      const auto qso = static_cast<int64_t>(n);
      json.BeginObject();
      json.Key("distance").Double(checker.GetQsoDistance(qso));
      json.Key("points").Int(checker.GetQsoPoints(qso));
      json.Key("penalty").Unsigned(checker.GetPenalty(qso - 1));
      json.EndObject();
    }
  }
  json.EndArray();
  json.EndObject();
}

void Log(TJsonWriter& json, const TLog& log) {
  json.BeginObject();
  json.Key("file").Bytes(log.Path());
  json.Key("caption").Cp1252(log.GetCaption());
  json.Key("entry").BeginObject();
  json.Key("Call").Cp1252(log.GetCall());
  json.Key("DxScore").Int(log.GetDxScore());
  json.Key("Squares").Int(log.GetSquares());
  json.Key("SquareBonus").Int(log.GetSquareBonus());
  json.Key("ClaimedScore").Int(log.GetClaimedScore());
  json.Key("TotalScore").Int(log.GetTotalScore());
  json.Key("Club").Cp1252(log.GetClub());
  json.Key("EdiStatus").Unsigned(log.GetEdiStatus());
  json.Key("CheckStatus").Unsigned(log.GetCheckStatus());
  json.Key("HasRemarks").Bool(log.HasRemarks());
  json.EndObject();
  json.Key("edi");
  Edi(json, log.Edi());
  json.Key("check");
  Check(json, log);
  json.EndObject();
}

// Indices of logs, as an array.
void Indices(TJsonWriter& json, const std::vector<int32_t>& logs) {
  json.BeginArray();
  for (const int32_t log : logs) json.Int(log);
  json.EndArray();
}

void CrossCheckMember(TJsonWriter& json, const TCrossCheck& crossCheck) {
  json.BeginObject();
  json.Key("time_tolerance_minutes").Int(crossCheck.Options().TimeToleranceMinutes);
  json.Key("compare_serials").Bool(crossCheck.Options().CompareSerials);
  json.Key("groups").BeginArray();
  for (const TBatchGroup& group : crossCheck.Groups().Groups) {
    json.BeginObject();
    json.Key("date").Cp1252(group.Date ? DayText(*group.Date) : std::string());
    json.Key("band").Cp1252(group.Band);
    json.Key("logs");
    Indices(json, group.Logs);
    json.Key("unreadable");
    Indices(json, group.Unreadable);
    json.EndObject();
  }
  json.EndArray();
  json.Key("logs").BeginArray();
  for (std::size_t i = 0; i < crossCheck.LogCount(); ++i) {
    const TBatchLog& batch = crossCheck.BatchLog(i);
    if (batch.Role != TBatchRole::Active && batch.Role != TBatchRole::Replaced) {
      json.Null();
      continue;
    }
    const TLogCrossCheck& result = crossCheck.Log(i);
    const bool replaced = batch.Role == TBatchRole::Replaced;
    json.BeginObject();
    json.Key("group").Int(batch.Group);
    json.Key("station").Cp1252(batch.Station);
    json.Key("replaced_by");
    replaced ? json.Int(batch.ReplacedBy) : json.Null();
    json.Key("clock_offset_minutes");
    result.ClockOffsetMinutes ? json.Int(*result.ClockOffsetMinutes) : json.Null();
    json.Key("clock_pairs").Int(result.ClockPairs);
    json.Key("partner_records").Int(result.PartnerRecords);
    json.Key("partner_records_lost").Int(result.PartnerRecordsLost());
    json.Key("counts").BeginObject();
    for (const TVerdict verdict : kAllVerdicts) {
      json.Key(VerdictCode(verdict)).Int(result.Counts[static_cast<std::size_t>(verdict)]);
    }
    json.EndObject();
    json.Key("ScoreAfter");
    result.After ? json.Int(result.After->Score) : json.Null();
    json.Key("SquaresAfter");
    result.After ? json.Int(result.After->Squares) : json.Null();
    json.Key("TotalAfter");
    result.After ? json.Int(result.After->Total) : json.Null();
    json.Key("QSOs").BeginArray();
    for (std::size_t q = 0; q < result.Qsos.size(); ++q) {
      const TQsoVerdict& verdict = result.Qsos[q];
      json.BeginObject();
      json.Key("verdict").Cp1252(VerdictCode(verdict.Verdict));
      json.Key("text").Cp1252(crossCheck.Text(i, q));
      const bool evidence = HasEvidence(verdict.Verdict);
      json.Key("other_log").Int(evidence ? verdict.OtherLog : -1);
      json.Key("other_qso").Int(evidence ? verdict.OtherQso : 0);
      json.Key("delta_minutes");
      evidence ? json.Int(verdict.DeltaMinutes) : json.Null();
      json.Key("proposed_penalty").Unsigned(crossCheck.ProposedPenalty(i, q));
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void ResultsMember(TJsonWriter& json, const std::vector<TResultList>& lists) {
  json.BeginArray();
  for (const TResultList& list : lists) {
    json.BeginObject();
    json.Key("caption").Cp1252(list.Caption);
    json.Key("rows").BeginArray();
    for (const TResultRow& row : list.Rows) {
      json.BeginObject();
      json.Key("Place").Int(row.Place);
      json.Key("logs");
      Indices(json, row.Logs);
      json.Key("Call").Cp1252(row.Call);
      json.Key("Locator").Cp1252(row.Locator);
      json.Key("QSOs").Int(row.QSOs);
      json.Key("Squares").Int(row.Squares);
      json.Key("DxScore").Int(row.DxScore);
      json.Key("SquareBonus").Int(row.SquareBonus);
      json.Key("ClaimedScore").Int(row.ClaimedScore);
      json.Key("TotalScore").Int(row.TotalScore);
      json.Key("TotalAfter");
      row.TotalAfter ? json.Int(*row.TotalAfter) : json.Null();
      json.Key("BestDx").Cp1252(row.BestDx);
      json.Key("Club").Cp1252(row.Club);
      json.Key("Notes").Cp1252(row.Notes);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace

void WriteJsonReport(std::ostream& out, const TImportSession& session, const TReportSettings& settings,
                     const TReportExtras& extras, std::size_t jobs) {
  TLogIndex index;
  for (std::size_t i = 0; i < session.Logs().size(); ++i) index[session.Logs()[i]] = i;

  TJsonWriter json(out);
  json.BeginObject();
  json.Key("year").Int(settings.Year);
  json.Key("utc_offset_minutes").Int(settings.UtcOffsetMinutes);
  json.Key("decimal_separator").Bytes(std::string_view(&settings.DecimalSeparator, 1));
  json.Key("outline").BeginArray();
  for (const auto& contest : session.Contests()) Node(json, *contest, index);
  json.EndArray();
  json.Key("logs").BeginArray();
  const std::vector<TLog*>& logs = session.Logs();
  if (jobs <= 1) {
    for (const TLog* log : logs) Log(json, *log);
  } else {
    // Each log is written on one of the threads into a buffer of its own and
    // passed on in order. A buffer is used again once it was passed on:
    // sixteen per thread (a few megabytes) keep the threads busy even when one
    // of them loses its core for a while.
    // Each buffer has cache lines of its own, or the threads would slow
    // each other down writing beside each other.
    struct alignas(64) TPart {
      TJsonWriter Writer;
    };
    const std::size_t ahead = 16 * jobs;
    std::vector<TPart> parts(ahead);
    RunInOrder(
        logs.size(), jobs, ahead,
        [&](std::size_t i) {
          TJsonWriter& part = parts[i % ahead].Writer;
          part.Clear();
          Log(part, *logs[i]);
        },
        [&](std::size_t i) { json.Raw(parts[i % ahead].Writer.Text()); });
  }
  json.EndArray();
  if (extras.CrossCheck != nullptr) {
    json.Key("crosscheck");
    CrossCheckMember(json, *extras.CrossCheck);
  }
  if (extras.Results != nullptr) {
    json.Key("results");
    ResultsMember(json, *extras.Results);
  }
  if (extras.Standings != nullptr) json.Key("standings").Raw(*extras.Standings);
  json.EndObject();
  json.Flush();
  out << '\n';
}

}  // namespace loggrevy
