// The JSON report built as one nlohmann tree per log and dumped: the plain
// way to write the document, kept here as the reference that the streaming
// writer of the batch checker must match byte for byte.
#include <nlohmann/json.hpp>

#include <ostream>
#include <unordered_map>
#include <variant>

#include "cli/reports.h"
#include "core/cp1252.h"
#include "edi/keywords.h"
#include "json_reference.h"

namespace loggrevy::testing {
namespace {

using TJson = nlohmann::ordered_json;
using TLogIndex = std::unordered_map<const TLog*, std::size_t>;

std::string Text(std::string_view cp1252) { return Cp1252ToUtf8(cp1252); }

// A mark character: a string of one character, empty for code 0.
std::string Mark(char c) { return c == '\0' ? std::string() : Cp1252ToUtf8(std::string_view(&c, 1)); }

// Paths are the system's own bytes, kept as they are when they are UTF-8.
std::string Dump(const TJson& json) { return json.dump(-1, ' ', false, TJson::error_handler_t::replace); }

TJson EntryJson(const TEntry& entry) {
  return TJson{{"ClaimedScore", entry.GetClaimedScore()},
               {"TotalScore", entry.GetTotalScore()},
               {"EdiStatus", entry.GetEdiStatus()},
               {"CheckStatus", entry.GetCheckStatus()},
               {"HasRemarks", entry.HasRemarks()}};
}

TJson NodeJson(const TOutlineNode& node, const TLogIndex& index) {
  TJson json{{"text", Text(node.Text)}};
  if (const TLog* log = node.Log()) {
    json["log"] = index.at(log);
  } else if (const TLogGroup* group = node.Group()) {
    json["group"] = EntryJson(*group);
  }
  if (node.Entry == nullptr || node.Group() != nullptr) {
    TJson children = TJson::array();
    for (const auto& child : node.Children) children.push_back(NodeJson(*child, index));
    json["children"] = std::move(children);
  }
  return json;
}

TJson HeaderJson(const TReg1Test& edi) {
  TJson header = TJson::object();
  for (const TKeyword& keyword : KeywordTable()) {
    for (std::size_t p = 0; p < keyword.PartCount; ++p) {
      const TValuePart& part = keyword.Parts[p];
      std::visit(
          [&](auto member) {
            const auto& value = edi.*member;
            using TValue = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<TValue, std::string>) {
              header[std::string(part.FieldName)] = Text(value);
            } else if constexpr (std::is_same_v<TValue, float>) {
              header[std::string(part.FieldName)] = static_cast<double>(value);
            } else {
              header[std::string(part.FieldName)] = value;
            }
          },
          part.Field);
    }
  }
  return header;
}

TJson EdiJson(const TReg1Test& edi) {
  TJson seen = TJson::array();
  for (int k = 1; k <= kKeywordCount; ++k) seen.push_back(edi.KeywordSeen[static_cast<std::size_t>(k)]);
  TJson remarks = TJson::array();
  for (const std::string& remark : edi.Remarks) remarks.push_back(Text(remark));
  TJson lines = TJson::array();
  for (std::size_t i = 0; i < edi.Lines.size(); ++i) {
    lines.push_back({{"text", Text(edi.LineText(i))}, {"DiagnosticRef", edi.Lines[i].DiagnosticRef}});
  }
  TJson diagnostics = TJson::array();
  for (const TDiagnostic& diagnostic : edi.Diagnostics) {
    diagnostics.push_back({{"text", Text(diagnostic.Text)}, {"LineRef", diagnostic.LineRef}});
  }
  TJson qsos = TJson::array();
  for (const TQSORecord& q : edi.QSOs) {
    qsos.push_back({{"Status", q.Status},
                    {"Date", Text(q.Date)},
                    {"Time", Text(q.Time)},
                    {"Call", Text(q.Call)},
                    {"Mode", q.Mode},
                    {"SentRST", Text(q.SentRST)},
                    {"SentNr", q.SentNr},
                    {"RcvdRST", Text(q.RcvdRST)},
                    {"RcvdNr", q.RcvdNr},
                    {"RcvdExch", Text(q.RcvdExch)},
                    {"RcvdWWL", Text(q.RcvdWWL)},
                    {"Points", q.Points},
                    {"NewExch", Mark(q.NewExch)},
                    {"NewWWL", Mark(q.NewWWL)},
                    {"NewDXCC", Mark(q.NewDXCC)},
                    {"Dupe", Mark(q.Dupe)},
                    {"Valid", q.Valid}});
  }
  return TJson{
      {"Status", edi.Status},          {"ReadFinished", edi.ReadFinished}, {"FileName", edi.FileName},
      {"QSOCount", edi.QSOCount},      {"KeywordSeen", std::move(seen)},   {"header", HeaderJson(edi)},
      {"Remarks", std::move(remarks)}, {"Lines", std::move(lines)},        {"Diagnostics", std::move(diagnostics)},
      {"QSOs", std::move(qsos)}};
}

TJson CheckJson(const TLog& log) {
  const TNacChecker& checker = log.Checker();
  TJson messages = TJson::array();
  for (const TCheckMessage& message : checker.Messages()) {
    messages.push_back({{"text", Text(message.Text)}, {"qso", message.Qso}, {"severity", message.Severity}});
  }
  TJson qsos = TJson::array();
  if (checker.Checked()) {
    for (std::size_t n = 1; n <= log.Edi().QSOs.size(); ++n) {
      const auto qso = static_cast<int64_t>(n);
      qsos.push_back({{"distance", checker.GetQsoDistance(qso)},
                      {"points", checker.GetQsoPoints(qso)},
                      {"penalty", checker.GetPenalty(qso - 1)}});
    }
  }
  const TLocatorPoint& own = checker.OwnLocation();
  return TJson{
      {"Checked", checker.Checked()},
      {"Kind", static_cast<int>(checker.Kind())},
      {"KindName", std::string(KindName(checker.Kind()))},
      {"MaxSeverity", checker.MaxSeverity()},
      {"Score", checker.Score()},
      {"SquareCount", checker.SquareCount()},
      {"ValidQsoCount", checker.ValidQsoCount()},
      {"BestDxCalls", Text(checker.BestDxCalls())},
      {"BandMultiplier", checker.BandMultiplier()},
      {"SquareBonus", checker.SquareBonus()},
      {"OwnLocation", {{"Locator", Text(own.Locator)}, {"Longitude", own.Longitude}, {"Latitude", own.Latitude}}},
      {"Messages", std::move(messages)},
      {"QSOs", std::move(qsos)}};
}

TJson LogJson(const TLog& log) {
  TJson entry{{"Call", Text(log.GetCall())},           {"DxScore", log.GetDxScore()},
              {"Squares", log.GetSquares()},           {"SquareBonus", log.GetSquareBonus()},
              {"ClaimedScore", log.GetClaimedScore()}, {"TotalScore", log.GetTotalScore()},
              {"Club", Text(log.GetClub())},           {"EdiStatus", log.GetEdiStatus()},
              {"CheckStatus", log.GetCheckStatus()},   {"HasRemarks", log.HasRemarks()}};
  return TJson{{"file", log.Path()},
               {"caption", Text(log.GetCaption())},
               {"entry", std::move(entry)},
               {"edi", EdiJson(log.Edi())},
               {"check", CheckJson(log)}};
}

}  // namespace

void WriteJsonReportFromTree(std::ostream& out, const TImportSession& session, const TReportSettings& settings) {
  TLogIndex index;
  for (std::size_t i = 0; i < session.Logs().size(); ++i) index[session.Logs()[i]] = i;

  // The logs are written one at a time, so a large batch never has its whole
  // document in memory.
  TJson head{{"year", settings.Year},
             {"utc_offset_minutes", settings.UtcOffsetMinutes},
             {"decimal_separator", std::string(1, settings.DecimalSeparator)}};
  TJson outline = TJson::array();
  for (const auto& contest : session.Contests()) outline.push_back(NodeJson(*contest, index));
  head["outline"] = std::move(outline);
  std::string text = Dump(head);
  text.pop_back();  // the closing brace; the logs follow
  out << text << ",\"logs\":[";
  for (std::size_t i = 0; i < session.Logs().size(); ++i) {
    if (i > 0) out << ',';
    out << Dump(LogJson(*session.Logs()[i]));
  }
  out << "]}\n";
}

}  // namespace loggrevy::testing
