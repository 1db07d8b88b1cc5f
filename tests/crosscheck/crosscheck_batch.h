#pragma once

// Small batches of whole EDI logs for the cross-check tests: each station's
// log of one evening written from "HHMM CALL LOCATOR [SENT RCVD]" lines.

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "crosscheck/crosscheck.h"
#include "support/edi_builder.h"

namespace loggrevy::test {

struct TStation {
  std::string Call;
  std::string Locator;
  std::vector<std::string> Qsos;  // "1800 SM6XYZ JO57AA", optionally "... 3 5" (sent, received number)
  std::string Date = "20070605";  // a NAC 144 MHz evening
  std::string Band = "144 MHz";
  std::string Section = "Single";
};

inline std::string EdiOf(const TStation& station) {
  EdiBuilder b;
  b.Set("PCall", station.Call).Set("PWWLo", station.Locator).Set("PBand", station.Band).Date(station.Date);
  b.Set("PSect", station.Section).Set("RCall", "");
  for (const std::string& qso : station.Qsos) {
    std::istringstream fields(qso);
    std::string time, call, locator;
    int64_t sent = 0, received = 0;
    fields >> time >> call >> locator >> sent >> received;
    b.Qso(station.Date.substr(2), time, call, locator, 1, sent, received);
  }
  return b.Text();
}

// Every figure of a cross-check, one log per line.
inline std::string Everything(const TCrossCheck& check) {
  std::string text;
  for (std::size_t log = 0; log < check.LogCount(); ++log) {
    const TLogCrossCheck& result = check.Log(log);
    text += std::to_string(log) + ":";
    for (const int32_t count : result.Counts) text += " " + std::to_string(count);
    text += " clock " + (result.ClockOffsetMinutes ? std::to_string(*result.ClockOffsetMinutes) : "-") + "/" +
            std::to_string(result.ClockPairs);
    text += " lost " + std::to_string(result.PartnerRecordsLost()) + "/" + std::to_string(result.PartnerRecords);
    if (result.After) {
      text += " after " + std::to_string(result.After->Score) + " " + std::to_string(result.After->Squares) + " " +
              std::to_string(result.After->Total);
    }
    for (const TQsoVerdict& v : result.Qsos) {
      text += " " + std::string(VerdictCode(v.Verdict)) + "@" + std::to_string(v.OtherLog) + "/" +
              std::to_string(v.OtherQso) + "/" + std::to_string(v.DeltaMinutes);
    }
    text += '\n';
  }
  return text;
}

// The logs of a batch, imported in order, and their cross-check.
struct TBatch {
  explicit TBatch(const std::vector<std::string>& texts, TCrossCheckOptions options = {}, int32_t year = 2007) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      Owned.push_back(std::make_unique<TLog>(texts[i], "log" + std::to_string(i) + ".edi", year, TLocalSettings{}));
      Logs.push_back(Owned.back().get());
    }
    Check = std::make_unique<TCrossCheck>(Logs, options);
  }
  static std::vector<std::string> Texts(const std::vector<TStation>& stations) {
    std::vector<std::string> texts;
    for (const TStation& station : stations) texts.push_back(EdiOf(station));
    return texts;
  }
  TBatch(const std::vector<TStation>& stations, TCrossCheckOptions options = {}) : TBatch(Texts(stations), options) {}

  // "code text @log/qso delta" per record of a log, "; "-separated.
  std::string Verdicts(std::size_t log) const {
    std::string text;
    const TLogCrossCheck& result = Check->Log(log);
    for (std::size_t q = 0; q < result.Qsos.size(); ++q) {
      const TQsoVerdict& v = result.Qsos[q];
      if (!text.empty()) text += "; ";
      text += std::string(VerdictCode(v.Verdict)) + " " + Check->Text(log, q);
      if (HasEvidence(v.Verdict)) {
        text +=
            " @" + std::to_string(v.OtherLog) + "/" + std::to_string(v.OtherQso) + " " + std::to_string(v.DeltaMinutes);
      }
    }
    return text;
  }

  std::vector<std::unique_ptr<TLog>> Owned;
  std::vector<TLog*> Logs;
  std::unique_ptr<TCrossCheck> Check;
};

}  // namespace loggrevy::test
