#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crosscheck/batch_groups.h"
#include "crosscheck/verdict.h"
#include "model/implog.h"

namespace loggrevy {

struct TCrossCheckOptions {
  int32_t TimeToleranceMinutes = 10;  // 0..1440
  bool CompareSerials = false;        // in every pair, not only in the Kvartalstest
};

// The verdict on one QSO record. A paired record (HasEvidence) carries the
// other record: its log's index in the batch, its 1-based number and the
// minutes of this record minus the other's. Twelve bytes, one per record of
// the batch: a record number fits in 24 bits, since a log has at most
// kMaxEdiLines lines.
struct TQsoVerdict {
  TVerdict Verdict : 8 = TVerdict::Unverifiable;
  int32_t OtherQso : 24 = 0;
  int32_t OtherLog = -1;
  int32_t DeltaMinutes = 0;
};
static_assert(sizeof(TQsoVerdict) == 12);
static_assert(kMaxEdiLines < (1 << 23));

// The figures a log would have with the cross-check's proposals added to the
// judge's own judgements.
struct TFiguresAfter {
  int64_t Score = 0;
  int32_t Squares = 0;
  int64_t Total = 0;  // the accepted total after UseOwnSum with them
};

// A QSO record of the batch: its log's index and its 0-based position.
struct TRecordRef {
  int32_t Log = -1;
  int32_t Position = 0;
};

// What a probable-busted-call record most likely meant: the call, and how
// many other stations logged it at the same locator.
struct TProbableCall {
  int32_t Position = 0;
  std::string Call;
  int32_t Stations = 0;
};

struct TLogCrossCheck {
  std::array<int32_t, kVerdictCount> Counts{};
  std::optional<int32_t> ClockOffsetMinutes;  // the log's clock minus its partners'
  int32_t ClockPairs = 0;
  // The records of the other active logs of the group that logged this
  // station, and those of them whose verdict proposes invalid (in import and
  // log order): what its partners lose in QSOs with it.
  int32_t PartnerRecords = 0;
  std::vector<TRecordRef> PartnerLost;
  int32_t PartnerRecordsLost() const { return static_cast<int32_t>(PartnerLost.size()); }
  std::vector<TProbableCall> Probable;  // by position, one per probable-busted-call record
  std::vector<TQsoVerdict> Qsos;        // one per record of an active log; empty otherwise
  std::optional<TFiguresAfter> After;   // active logs only
};

// The cross-check of the logs of one batch: every QSO record of an active log
// is matched against the logs of its partners, and each gets a verdict. The
// logs are borrowed and not changed; a reload of one of them makes the
// cross-check stale (run it again). The work is done on up to jobs threads;
// the result is the same for every number.
class TCrossCheck {
 public:
  TCrossCheck(const std::vector<TLog*>& logs, TCrossCheckOptions options, std::size_t jobs = 1);
  TCrossCheck(const TCrossCheck&) = delete;
  TCrossCheck& operator=(const TCrossCheck&) = delete;

  const TCrossCheckOptions& Options() const { return Options_; }
  const TBatchGroups& Groups() const { return Groups_; }
  const TBatchLog& BatchLog(std::size_t log) const { return Groups_.Logs[log]; }
  const TLogCrossCheck& Log(std::size_t log) const { return Logs_[log]; }
  std::size_t LogCount() const { return Logs_.size(); }
  TLog& BatchEntry(std::size_t log) const { return *Entries_[log]; }

  // The verdict's full text (Windows-1252) for the record at a 0-based position.
  std::string Text(std::size_t log, std::size_t position) const;
  // The same onto the end of text.
  void AppendText(std::string& text, std::size_t log, std::size_t position) const;
  // 1 where the verdict of a record proposes "Felaktig (-100%)", else 0.
  uint8_t ProposedPenalty(std::size_t log, std::size_t position) const;

  // Recomputes the figures after of a log from its current judgements (after
  // the judge changed one).
  void UpdateFiguresAfter(std::size_t log);
  // Stores penalty 1 on every record of an active log whose verdict proposes
  // it and that the judge has not judged, recalculates once if anything was
  // stored, then adopts the checker's figures. Returns the number stored.
  int32_t Apply(std::size_t log);

 private:
  TFiguresAfter ComputeFiguresAfter(std::size_t log) const;

  std::vector<TLog*> Entries_;
  TCrossCheckOptions Options_;
  TBatchGroups Groups_;
  std::vector<TLogCrossCheck> Logs_;
};

}  // namespace loggrevy
