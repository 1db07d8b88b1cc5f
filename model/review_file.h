#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/safe_file.h"
#include "model/import_session.h"

namespace loggrevy {

// The review file (".loggrevy"): what the judge decided on a set of logs, as
// one JSON document. Both programs read and write it with these functions.
inline constexpr int kReviewFormat = 1;
inline constexpr std::string_view kReviewExtension = ".loggrevy";
inline constexpr std::string_view kReviewType = "loggrevy-granskning";  // its "type"

// A QSO judgement with the text of its QSO line as read (UTF-8, without the
// line end), which tells whether the line is still the one judged.
struct TReviewJudgement {
  int64_t Qso = 0;  // 1-based
  uint8_t Penalty = 0;
  std::string Line;
  bool operator==(const TReviewJudgement&) const = default;
};

// What the file system told of a log file when its bytes were hashed. A file
// whose bytes change gets a new change time, so while a file still shows the
// same stamp, its bytes are those hashed.
struct TFileStamp {
  int64_t Size = 0;
  int64_t ModifiedNs = 0;  // since the epoch
  int64_t ChangedNs = 0;
  uint64_t Inode = 0;
  bool operator==(const TFileStamp&) const = default;
};
std::optional<TFileStamp> FileStampOf(const std::string& path);

struct TReviewLog {
  std::string Path;    // relative to the review file's folder when below it, else absolute
  std::string Sha256;  // of the file's bytes, lower-case hex; empty when it could not be read
  int32_t Year = 0;    // the contest year the log was imported for
  // The accepted figures: the log adopted its own sums (DxScore and Squares
  // are then those figures), or it keeps the claimed ones.
  bool OwnSum = false;
  int64_t DxScore = 0;
  int32_t Squares = 0;
  std::vector<TReviewJudgement> Judgements;  // in QSO order
  // The file's stamp when it was hashed; only for a file that had been left
  // alone for a while then, as one changed within the same tick of the
  // file system's clock would keep its stamp.
  std::optional<TFileStamp> Stamp = std::nullopt;
};

struct TReviewCrossCheck {
  int32_t TimeToleranceMinutes = 10;
  bool CompareSerials = false;
};

struct TReview {
  TReviewCrossCheck CrossCheck;
  std::vector<TReviewLog> Logs;  // in import order
  // Only in a recovery copy: the review file the work belonged to, if any.
  std::string RecoveryOf;
};

enum class TReviewError : uint8_t { None, Unreadable, NotReview, Damaged, LaterFormat };

// Windows-1252 texts of the errors; the front ends add the file's name.
std::string_view ReviewErrorText(TReviewError error);

struct TReviewRead {
  TReviewError Error = TReviewError::None;
  std::string Reason;  // the system's reason when Unreadable
  TReview Review;
};

// The document's bytes (UTF-8), and back. Not JSON at all: NotReview; JSON
// that starts as one but breaks off or lacks members: Damaged; a "format"
// above kReviewFormat: LaterFormat.
std::string ReviewText(const TReview& review);
// A large document is read on up to jobs threads; what comes out is the
// same for every jobs.
TReviewRead ParseReview(std::string_view bytes, std::size_t jobs = 1);
TReviewRead ReadReviewFile(const std::string& path, std::size_t jobs = 1);
// Writes atomically (see WriteFileAtomically); the reason on failure.
std::optional<std::string> WriteReviewFile(const std::string& path, const TReview& review,
                                           const TWriteCall& write = {});

// Lower-case hex SHA-256 of bytes.
std::string Sha256Hex(std::string_view bytes);
// The text of a QSO line (1-based) as read, in Windows-1252; empty when the
// log has no such QSO.
std::string_view QsoLineText(const TReg1Test& edi, int64_t qso);

// A path as it is kept in a review file at reviewPath, and back.
std::string StoredLogPath(const std::string& logPath, const std::string& reviewPath);
std::string ResolvedLogPath(const std::string& stored, const std::string& reviewPath);

// True when path names one of the session's logs (a review file must never
// be written over a log).
bool IsImportedLog(const TImportSession& session, const std::string& path);

// What an opened review could not bring back, kept so that the next save
// writes it again: logs that were missing (paths resolved) and judgements
// whose QSO line was not found, by the resolved path of their log.
struct TReviewKept {
  std::vector<TReviewLog> MissingLogs;
  std::unordered_map<std::string, std::vector<TReviewJudgement>> Judgements;
  bool Empty() const { return MissingLogs.empty() && Judgements.empty(); }
};

// The review of the session's logs as they stand, to be saved at reviewPath.
// hashes, when given, caches the SHA-256 of files by path (for copies made
// often); without it every log file is read and hashed, and nowNs (the time
// since the epoch) tells which files have been left alone long enough for
// their stamps to be kept.
TReview CaptureReview(const TImportSession& session, const std::string& reviewPath, TReviewCrossCheck crossCheck,
                      const TReviewKept& kept, std::unordered_map<std::string, std::string>* hashes = nullptr,
                      std::optional<int64_t> nowNs = std::nullopt);

// What opening a review found.
enum class TReviewProblemKind : uint8_t { MissingLog, ChangedLog, NotRestored };
struct TReviewProblem {
  TReviewProblemKind Kind;
  std::string Path;            // as resolved, in the file system's bytes
  TReviewJudgement Judgement;  // NotRestored only
};
// "Loggen saknas", ... in Windows-1252.
std::string_view ReviewProblemText(TReviewProblemKind kind);

// What restoring one log found: its problems and what is kept of it, in the
// file's order.
struct TReviewRestored {
  std::vector<TReviewProblem> Problems;
  std::optional<TReviewLog> Missing;
  std::vector<TReviewJudgement> NotRestored;
  bool Restored = false;  // judgements or accepted figures were set
};

// Opening in steps, so that a front end imports the logs its own way:
// PlanReview finds the logs, the front end imports each run of the plan
// handing its import the run's Reader, and ApplyReview restores what the
// reads left. When every log is new to the session and named once, each log
// is hashed and restored on the thread that reads it, from the bytes it
// read, and one that cannot be read is dropped as missing; otherwise
// PlanReview reads and hashes the logs and ApplyReview restores them after
// the import.
struct TReviewPlan {
  struct TEntry {
    const TReviewLog* Log;
    std::string Path;  // resolved
    bool Missing = false;
    bool Changed = false;
    TLog* ReadAlong = nullptr;  // the log, when it was restored as it was read
    TReviewRestored Restored;   // what that found
  };
  struct TRun {
    int32_t Year = 0;
    std::vector<std::string> Paths;
    std::vector<std::size_t> EntryIndexes;  // of each path
  };
  std::vector<TEntry> Entries;
  // The paths to import, in order, each run with its contest year.
  std::vector<TRun> Runs;
  bool RestoreAlong = false;
  // The hook for the import of Runs[run]; empty unless RestoreAlong. The plan
  // must stay where it is until the import is done.
  TImportSession::TLogRead Reader(std::size_t run);
};
// When the logs cannot be restored as they are read, they are read and
// hashed here, on up to jobs threads.
TReviewPlan PlanReview(const TReview& review, const std::string& reviewPath, const TImportSession& session,
                       std::size_t jobs = 1);

struct TReviewOpened {
  std::vector<TReviewProblem> Problems;  // in the order of the file's logs and judgements
  TReviewKept Kept;
  std::vector<TLog*> Restored;  // the logs whose judgements or figures were set
};
// The logs are restored on up to jobs threads; what comes out is the same for
// every jobs.
TReviewOpened ApplyReview(TImportSession& session, TReviewPlan& plan, std::size_t jobs = 1);

// Everything of opening for a front end without its own import: plan, import
// on jobs threads, apply.
TReviewOpened OpenReview(TImportSession& session, const TReview& review, const std::string& reviewPath,
                         std::size_t jobs);

}  // namespace loggrevy
