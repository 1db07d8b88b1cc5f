#pragma once

// Properties every read and every check must have, whatever the bytes. Shared
// by the fuzz targets (which trap on a violation) and the robustness tests
// (which expect an empty report). Each function returns the violations found,
// one per line; an empty text means the object is sound.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "edi/diagnostic_texts.h"
#include "edi/reg1test.h"
#include "model/implog.h"

namespace loggrevy::invariants {

class TReport {
 public:
  void Expect(bool holds, std::string_view what) {
    if (holds) return;
    Text_ += what;
    Text_ += '\n';
  }
  void Append(const std::string& more) { Text_ += more; }
  const std::string& Text() const { return Text_; }

 private:
  std::string Text_;
};

inline bool HasDiagnostic(const TReg1Test& edi, std::string_view text) {
  return std::any_of(edi.Diagnostics.begin() + (edi.Diagnostics.empty() ? 0 : 1), edi.Diagnostics.end(),
                     [&](const TDiagnostic& d) { return d.Text == text; });
}

// A read that ran to its end with the QSO section reached: no failure, no
// incompatible version, and not incomplete. The diagnostic texts are fixed
// strings of the reader, so no file content can fake them.
inline bool ReachedQsoSection(const TReg1Test& edi) {
  return !HasDiagnostic(edi, diag::kFailure1) && !HasDiagnostic(edi, diag::kIncompatibleVersion) &&
         !HasDiagnostic(edi, diag::kIncomplete);
}

// freshRead: the object was new before this read, so ReadFinished tells
// whether this read finished.
inline std::string CheckReader(const TReg1Test& edi, bool freshRead) {
  TReport r;
  r.Expect(edi.Status <= 3, "Status outside 0..3");
  r.Expect(!edi.Diagnostics.empty(), "Diagnostics has no placeholder");
  if (edi.Diagnostics.empty()) return r.Text();
  r.Expect(edi.Diagnostics[0].Text.empty() && edi.Diagnostics[0].LineRef == 0,
           "Diagnostics[0] is not the empty placeholder");

  const auto lineCount = static_cast<int64_t>(edi.Lines.size());
  const auto diagnosticCount = static_cast<int64_t>(edi.Diagnostics.size());
  std::size_t touched = 0;  // reading every line's bytes lets the sanitizers see them
  for (std::size_t i = 0; i < edi.Lines.size(); ++i) {
    const int32_t ref = edi.Lines[i].DiagnosticRef;
    const bool pointsBack =
        ref == 0 || (ref >= 1 && ref < diagnosticCount &&
                     edi.Diagnostics[static_cast<std::size_t>(ref)].LineRef == static_cast<int64_t>(i));
    r.Expect(pointsBack, "a line's DiagnosticRef does not point at a diagnostic of that line");
    try {
      for (const char c : edi.LineText(i)) touched += static_cast<unsigned char>(c);
    } catch (const std::exception&) {
      r.Expect(false, "a line lies outside the reader's text");
    }
  }
  for (std::size_t d = 1; d < edi.Diagnostics.size(); ++d) {
    const int32_t line = edi.Diagnostics[d].LineRef;
    const bool pointsBack =
        line == -1 || (line >= 0 && line < lineCount &&
                       edi.Lines[static_cast<std::size_t>(line)].DiagnosticRef == static_cast<int64_t>(d));
    r.Expect(pointsBack, "a diagnostic's LineRef is neither -1 nor a line pointing back at it");
    r.Expect(!edi.Diagnostics[d].Text.empty(), "a real diagnostic has no text");
  }
  (void)touched;

  const bool failed = HasDiagnostic(edi, diag::kFailure1);
  if (failed) {
    r.Expect(HasDiagnostic(edi, diag::kFailure2) && HasDiagnostic(edi, diag::kFailure3),
             "a failed read lacks one of its three diagnostics");
  }
  if (failed || HasDiagnostic(edi, diag::kIncompatibleVersion) || HasDiagnostic(edi, diag::kIncomplete)) {
    r.Expect(edi.Status == 3, "an unreadable log does not have Status 3");
  }
  if (freshRead) {
    const bool stoppedEarly = failed || HasDiagnostic(edi, diag::kIncompatibleVersion);
    r.Expect(edi.ReadFinished == !stoppedEarly, "ReadFinished disagrees with how the read ended");
  }
  if (ReachedQsoSection(edi)) {
    r.Expect(edi.ReadFinished, "a complete read did not set ReadFinished");
    r.Expect(edi.QSOCount >= 0 && static_cast<std::size_t>(edi.QSOCount) == edi.QSOs.size(),
             "QSOCount differs from QSOs.size() after a complete read");
  }
  for (const TQSORecord& q : edi.QSOs) {
    r.Expect(q.Status == 0 || q.Status == 3, "a QSO record's Status is neither 0 nor 3");
    if (q.Status == 3) r.Expect(edi.Status == 3, "an unreadable QSO line left the log's Status below 3");
    r.Expect(q.Points >= 0, "a QSO's claimed points are negative");
  }
  return r.Text();
}

inline std::string CheckChecker(const TReg1Test& edi, const TNacChecker& checker) {
  TReport r;
  uint8_t highest = 0;
  const auto qsoCount = static_cast<int64_t>(edi.QSOs.size());
  for (const TCheckMessage& m : checker.Messages()) {
    r.Expect(m.Severity >= 1 && m.Severity <= 3, "a message's severity is outside 1..3");
    r.Expect(m.Qso == -1 || (m.Qso >= 1 && m.Qso <= qsoCount), "a message names a QSO that does not exist");
    highest = std::max(highest, m.Severity);
  }
  r.Expect(checker.MaxSeverity() == highest, "MaxSeverity differs from the highest message severity");

  int64_t sum = 0;
  for (int64_t n = 1; n <= qsoCount; ++n) sum += checker.GetQsoPoints(n);
  r.Expect(checker.Score() == sum, "Score differs from the sum of GetQsoPoints");
  r.Expect(checker.SquareCount() >= 0, "SquareCount is negative");
  r.Expect(checker.SquareCount() <= checker.ValidQsoCount(), "SquareCount exceeds ValidQsoCount");
  r.Expect(checker.ValidQsoCount() >= 0 && checker.ValidQsoCount() <= qsoCount,
           "ValidQsoCount outside 0..number of QSOs");

  if (!checker.Checked()) {
    r.Expect(checker.Kind() == TContestKind::None && checker.Messages().empty() && checker.Score() == 0,
             "an unchecked checker has a kind, messages or a score");
  } else {
    r.Expect(checker.Penalties().size() == edi.QSOs.size(), "Penalties not sized to the QSOs");
  }
  return r.Text();
}

inline std::string CheckLog(const TLog& log, bool freshRead) {
  TReport r;
  r.Append(CheckReader(log.Edi(), freshRead));
  r.Append(CheckChecker(log.Edi(), log.Checker()));
  r.Expect(log.Checker().Checked() == (log.Edi().Status < 3),
           "the checker ran on an unreadable log or not on a readable one");
  r.Expect(log.GetEdiStatus() == log.Edi().Status, "GetEdiStatus differs from the reader's Status");
  r.Expect(log.GetCheckStatus() == log.Checker().MaxSeverity(), "GetCheckStatus differs from MaxSeverity");
  return r.Text();
}

inline bool SameRecord(const TQSORecord& a, const TQSORecord& b) {
  return a.Status == b.Status && a.Date.View() == b.Date.View() && a.Time.View() == b.Time.View() &&
         a.Call.View() == b.Call.View() && a.Mode == b.Mode && a.SentRST.View() == b.SentRST.View() &&
         a.SentNr == b.SentNr && a.RcvdRST.View() == b.RcvdRST.View() && a.RcvdNr == b.RcvdNr &&
         a.RcvdExch.View() == b.RcvdExch.View() && a.RcvdWWL.View() == b.RcvdWWL.View() && a.Points == b.Points &&
         a.NewExch == b.NewExch && a.NewWWL == b.NewWWL && a.NewDXCC == b.NewDXCC && a.Dupe == b.Dupe &&
         a.Valid == b.Valid;
}

// Two reads of the same bytes give the same lines, diagnostics, records and
// status.
inline std::string CheckSameRead(const TReg1Test& a, const TReg1Test& b) {
  TReport r;
  r.Expect(a.Status == b.Status, "two reads of the same bytes differ in Status");
  bool sameLines = a.Lines.size() == b.Lines.size();
  for (std::size_t i = 0; sameLines && i < a.Lines.size(); ++i) {
    sameLines = a.LineText(i) == b.LineText(i) && a.Lines[i].DiagnosticRef == b.Lines[i].DiagnosticRef;
  }
  r.Expect(sameLines, "two reads of the same bytes differ in Lines");
  bool sameDiagnostics = a.Diagnostics.size() == b.Diagnostics.size();
  for (std::size_t i = 0; sameDiagnostics && i < a.Diagnostics.size(); ++i) {
    sameDiagnostics =
        a.Diagnostics[i].Text == b.Diagnostics[i].Text && a.Diagnostics[i].LineRef == b.Diagnostics[i].LineRef;
  }
  r.Expect(sameDiagnostics, "two reads of the same bytes differ in Diagnostics");
  bool sameRecords = a.QSOs.size() == b.QSOs.size();
  for (std::size_t i = 0; sameRecords && i < a.QSOs.size(); ++i) sameRecords = SameRecord(a.QSOs[i], b.QSOs[i]);
  r.Expect(sameRecords, "two reads of the same bytes differ in QSOs");
  r.Expect(a.Remarks == b.Remarks, "two reads of the same bytes differ in Remarks");
  return r.Text();
}

// The figures a check computes from the same bytes. The messages may differ
// on a reload: the checker rewrites PSect and PClub, and a reload keeps a
// header value the file does not set.
inline std::string CheckSameFigures(const TNacChecker& a, const TNacChecker& b) {
  TReport r;
  r.Expect(a.Kind() == b.Kind(), "two checks of the same bytes differ in Kind");
  r.Expect(a.Score() == b.Score(), "two checks of the same bytes differ in Score");
  r.Expect(a.SquareCount() == b.SquareCount(), "two checks of the same bytes differ in SquareCount");
  r.Expect(a.ValidQsoCount() == b.ValidQsoCount(), "two checks of the same bytes differ in ValidQsoCount");
  return r.Text();
}

}  // namespace loggrevy::invariants
