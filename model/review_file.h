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

// A QSO judgement with the text of its QSO line as read (UTF-8, without the
// line end), which tells whether the line is still the one judged.
struct TReviewJudgement {
  int64_t Qso = 0;  // 1-based
  uint8_t Penalty = 0;
  std::string Line;
  bool operator==(const TReviewJudgement&) const = default;
};

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
TReviewRead ParseReview(std::string_view bytes);
TReviewRead ReadReviewFile(const std::string& path);
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
// often); without it every log file is read and hashed.
TReview CaptureReview(const TImportSession& session, const std::string& reviewPath, TReviewCrossCheck crossCheck,
                      const TReviewKept& kept, std::unordered_map<std::string, std::string>* hashes = nullptr);

// What opening a review found.
enum class TReviewProblemKind : uint8_t { MissingLog, ChangedLog, NotRestored };
struct TReviewProblem {
  TReviewProblemKind Kind;
  std::string Path;            // as resolved, in the file system's bytes
  TReviewJudgement Judgement;  // NotRestored only
};
// "Loggen saknas", ... in Windows-1252.
std::string_view ReviewProblemText(TReviewProblemKind kind);

// Opening in two steps, so a front end imports the logs its own way between
// them: PlanReview reads and hashes the logs, ApplyReview restores the
// judgements and accepted figures once they are imported.
struct TReviewPlan {
  struct TEntry {
    const TReviewLog* Log;
    std::string Path;  // resolved
    bool Missing = false;
    bool Changed = false;
  };
  std::vector<TEntry> Entries;
  // The paths to import, in order, each run with its contest year.
  std::vector<std::pair<int32_t, std::vector<std::string>>> ImportRuns() const;
};
// The logs are read and hashed on up to jobs threads.
TReviewPlan PlanReview(const TReview& review, const std::string& reviewPath, std::size_t jobs = 1);

struct TReviewOpened {
  std::vector<TReviewProblem> Problems;  // in the order of the file's logs and judgements
  TReviewKept Kept;
  std::vector<TLog*> Restored;  // the logs whose judgements or figures were set
};
// The logs are restored on up to jobs threads; what comes out is the same for
// every jobs.
TReviewOpened ApplyReview(TImportSession& session, const TReviewPlan& plan, std::size_t jobs = 1);

// Everything of opening for a front end without its own import: plan, import
// on jobs threads, apply.
TReviewOpened OpenReview(TImportSession& session, const TReview& review, const std::string& reviewPath,
                         std::size_t jobs);

}  // namespace loggrevy
