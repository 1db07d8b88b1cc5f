#include "model/review_file.h"

#include <openssl/evp.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unordered_set>
#include <nlohmann/json.hpp>

#include "core/cp1252.h"
#include "edi/text_functions.h"
#include "model/ordered_work.h"

namespace loggrevy {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The line index of every QSO up to count, found as the reader walks its
// sections: the QSO lines are the non-empty lines after the first
// "[QSORecords;" tag that follows "[Remarks]", which follows the "[REG1TEST;"
// tag.
std::vector<std::size_t> QsoLineIndexes(const TReg1Test& edi, std::size_t count = SIZE_MAX) {
  count = std::min(count, edi.QSOs.size());
  std::vector<std::size_t> lines;
  int section = 0;
  for (std::size_t i = 0; i < edi.Lines.size(); ++i) {
    const std::string_view text = edi.LineText(i);
    if (section == 0 && text.find("[REG1TEST;") != std::string_view::npos) {
      section = 1;
    } else if (section == 1 && StartsWith(text, "[Remarks]")) {
      section = 2;
    } else if (section == 2 && StartsWith(text, "[QSORecords;")) {
      section = 3;
    } else if (section == 3 && !text.empty()) {
      if (lines.size() == count) break;
      lines.push_back(i);
    }
  }
  return lines;
}

fs::path AbsoluteNormal(const std::string& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  if (error) absolute = path;
  return absolute.lexically_normal();
}

// The SHA-256 of a log file; empty for something else than a file, which
// could keep a read waiting for a writer for ever (a pipe); nullopt when the
// file is missing or cannot be read.
std::optional<std::string> LogFileSha256(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  if (!S_ISREG(info.st_mode)) return std::string();
  const auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return Sha256Hex(*bytes);
}

json JudgementJson(const TReviewJudgement& judgement) {
  return json{{"qso", judgement.Qso}, {"penalty", judgement.Penalty}, {"line", judgement.Line}};
}

}  // namespace

std::string_view ReviewErrorText(TReviewError error) {
  switch (error) {
    case TReviewError::Unreadable: return "Granskningsfilen kan inte l\xE4sas";
    case TReviewError::NotReview: return "Filen \xE4r ingen granskningsfil";
    case TReviewError::Damaged: return "Granskningsfilen \xE4r skadad";
    case TReviewError::LaterFormat: return "Granskningsfilen \xE4r av ett senare format \xE4n programmet kan l\xE4sa";
    case TReviewError::None: break;
  }
  return {};
}

std::string_view ReviewProblemText(TReviewProblemKind kind) {
  switch (kind) {
    case TReviewProblemKind::MissingLog: return "Loggen saknas";
    case TReviewProblemKind::ChangedLog: return "Loggen har \xE4ndrats sedan granskningen sparades";
    case TReviewProblemKind::NotRestored: return "Bed\xF6mningen \xE5terst\xE4lldes inte";
  }
  return {};
}

std::string Sha256Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

std::string_view QsoLineText(const TReg1Test& edi, int64_t qso) {
  const std::vector<std::size_t> lines = QsoLineIndexes(edi);
  if (qso < 1 || static_cast<std::size_t>(qso) > lines.size()) return {};
  return TrimBlanks(edi.LineText(lines[static_cast<std::size_t>(qso - 1)]));
}

std::string StoredLogPath(const std::string& logPath, const std::string& reviewPath) {
  const fs::path log = AbsoluteNormal(logPath);
  const fs::path folder = AbsoluteNormal(reviewPath).parent_path();
  const fs::path relative = log.lexically_relative(folder);
  if (relative.empty() || *relative.begin() == "..") return log.string();
  return relative.string();
}

namespace {

// A relative path of plain names: none empty, "." or "..".
bool PlainRelative(std::string_view path) {
  if (path.empty() || path.front() == '/') return false;
  for (std::size_t begin = 0; begin <= path.size();) {
    const std::size_t end = std::min(path.find('/', begin), path.size());
    const std::string_view name = path.substr(begin, end - begin);
    if (name.empty() || name == "." || name == "..") return false;
    begin = end + 1;
  }
  return true;
}

std::string ReviewFolder(const std::string& reviewPath) {
  return fs::path(reviewPath).parent_path().lexically_normal().string();
}

// ResolvedLogPath with the review's folder found once: a path of plain names
// is joined to it without the file system library's longer way.
std::string ResolvedIn(const std::string& folder, const std::string& stored, const std::string& reviewPath) {
  if (!stored.empty() && stored.front() == '/') return stored;
  if (!PlainRelative(stored)) return (fs::path(reviewPath).parent_path() / stored).lexically_normal().string();
  if (folder.empty() || folder == ".") return stored;
  return folder.back() == '/' ? folder + stored : folder + '/' + stored;
}

}  // namespace

std::string ResolvedLogPath(const std::string& stored, const std::string& reviewPath) {
  return ResolvedIn(ReviewFolder(reviewPath), stored, reviewPath);
}

bool IsImportedLog(const TImportSession& session, const std::string& path) {
  const fs::path target = AbsoluteNormal(path);
  for (const TLog* log : session.Logs()) {
    std::error_code error;
    if (AbsoluteNormal(log->Path()) == target || fs::equivalent(log->Path(), path, error)) return true;
  }
  return false;
}

std::string ReviewText(const TReview& review) {
  json doc;
  doc["type"] = kReviewType;
  doc["format"] = kReviewFormat;
  doc["crosscheck"] = {{"time_tolerance_minutes", review.CrossCheck.TimeToleranceMinutes},
                       {"compare_serials", review.CrossCheck.CompareSerials}};
  if (!review.RecoveryOf.empty()) doc["recovery_of"] = review.RecoveryOf;
  json logs = json::array();
  for (const TReviewLog& log : review.Logs) {
    json entry{{"path", log.Path}, {"sha256", log.Sha256}};
    if (log.Stamp) {
      entry["stamp"] = {{"size", log.Stamp->Size},
                        {"modified_ns", log.Stamp->ModifiedNs},
                        {"changed_ns", log.Stamp->ChangedNs},
                        {"inode", log.Stamp->Inode}};
    }
    entry["year"] = log.Year;
    entry["own_sum"] = log.OwnSum;
    if (log.OwnSum) {
      entry["dx_score"] = log.DxScore;
      entry["squares"] = log.Squares;
    }
    json judgements = json::array();
    for (const TReviewJudgement& judgement : log.Judgements) judgements.push_back(JudgementJson(judgement));
    entry["judgements"] = std::move(judgements);
    logs.push_back(std::move(entry));
  }
  doc["logs"] = std::move(logs);
  // Paths are the file system's bytes; one that is not UTF-8 cannot be kept exactly.
  return doc.dump(1, '\t', false, json::error_handler_t::replace) + '\n';
}

std::optional<std::string> WriteReviewFile(const std::string& path, const TReview& review, const TWriteCall& write) {
  return WriteFileAtomically(path, ReviewText(review), write);
}

std::optional<TFileStamp> FileStampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  constexpr int64_t kNs = 1'000'000'000;
  return TFileStamp{static_cast<int64_t>(info.st_size), int64_t{info.st_mtim.tv_sec} * kNs + info.st_mtim.tv_nsec,
                    int64_t{info.st_ctim.tv_sec} * kNs + info.st_ctim.tv_nsec, static_cast<uint64_t>(info.st_ino)};
}

TReview CaptureReview(const TImportSession& session, const std::string& reviewPath, TReviewCrossCheck crossCheck,
                      const TReviewKept& kept, std::unordered_map<std::string, std::string>* hashes,
                      std::optional<int64_t> nowNs) {
  // Longer than the coarsest clock of a file system the logs may lie on (two
  // seconds on a memory stick's).
  constexpr int64_t kSettledNs = 3'000'000'000;
  TReview review;
  review.CrossCheck = crossCheck;
  for (const TLog* log : session.Logs()) {
    TReviewLog& entry = review.Logs.emplace_back();
    entry.Path = StoredLogPath(log->Path(), reviewPath);
    const auto cached = hashes != nullptr ? hashes->find(log->Path()) : decltype(hashes->end()){};
    if (hashes != nullptr && cached != hashes->end()) {
      entry.Sha256 = cached->second;
    } else {
      const std::optional<TFileStamp> before = nowNs ? FileStampOf(log->Path()) : std::nullopt;
      if (const auto sha = LogFileSha256(log->Path())) {
        entry.Sha256 = *sha;
        if (!sha->empty() && before && before->ChangedNs <= *nowNs - kSettledNs &&
            FileStampOf(log->Path()) == before) {
          entry.Stamp = before;
        }
      }
      if (hashes != nullptr) (*hashes)[log->Path()] = entry.Sha256;
    }
    entry.Year = log->ImportYear();
    entry.OwnSum = log->DxScoreChanged() || log->SquaresChanged();
    if (entry.OwnSum) {
      entry.DxScore = log->GetDxScore();
      entry.Squares = log->GetSquares();
    }
    const TNacChecker& checker = log->Checker();
    if (checker.Checked()) {
      std::vector<std::size_t> lines;
      for (std::size_t position = 0; position < checker.Penalties().size(); ++position) {
        const uint8_t penalty = checker.Penalties()[position].Penalty;
        if (penalty == kPenaltyNone) continue;
        if (lines.empty()) lines = QsoLineIndexes(log->Edi());
        const std::string_view line =
            position < lines.size() ? TrimBlanks(log->Edi().LineText(lines[position])) : std::string_view();
        entry.Judgements.push_back({static_cast<int64_t>(position) + 1, penalty, Cp1252ToUtf8(line)});
      }
    }
    if (const auto found = kept.Judgements.find(log->Path()); found != kept.Judgements.end()) {
      for (const TReviewJudgement& judgement : found->second) {
        if (std::find(entry.Judgements.begin(), entry.Judgements.end(), judgement) == entry.Judgements.end()) {
          entry.Judgements.push_back(judgement);
        }
      }
      std::stable_sort(entry.Judgements.begin(), entry.Judgements.end(),
                       [](const TReviewJudgement& a, const TReviewJudgement& b) { return a.Qso < b.Qso; });
    }
  }
  for (TReviewLog missing : kept.MissingLogs) {
    missing.Path = StoredLogPath(missing.Path, reviewPath);
    review.Logs.push_back(std::move(missing));
  }
  return review;
}

namespace {

// Whether a Windows-1252 text reads as a UTF-8 one; most lines are ASCII,
// which reads the same in both.
bool SameText(std::string_view cp1252, std::string_view utf8) {
  if (std::all_of(cp1252.begin(), cp1252.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return cp1252 == utf8;
  }
  return Cp1252ToUtf8(cp1252) == utf8;
}

// Stores the entry's judgements whose QSO line is unchanged, recalculates
// once, and sets the accepted figures. Touches only this log.
TReviewRestored RestoreLog(const TReviewPlan::TEntry& entry, TLog* found) {
  TReviewRestored result;
  if (entry.Missing || found == nullptr) {
    result.Problems.push_back({TReviewProblemKind::MissingLog, entry.Path, {}});
    result.Missing = *entry.Log;
    result.Missing->Path = entry.Path;
    return result;
  }
  if (entry.Changed) result.Problems.push_back({TReviewProblemKind::ChangedLog, entry.Path, {}});
  TLog& log = *found;
  TNacChecker& checker = log.Checker();
  int64_t lastQso = 0;
  for (const TReviewJudgement& judgement : entry.Log->Judgements) lastQso = std::max(lastQso, judgement.Qso);
  const std::vector<std::size_t> lines =
      lastQso < 1 ? std::vector<std::size_t>() : QsoLineIndexes(log.Edi(), static_cast<std::size_t>(lastQso));
  bool stored = false;
  bool allRestored = true;
  for (const TReviewJudgement& judgement : entry.Log->Judgements) {
    const bool fits =
        checker.Checked() && judgement.Qso >= 1 &&
        static_cast<std::size_t>(judgement.Qso) <= std::min(lines.size(), checker.Penalties().size()) &&
        (judgement.Penalty == kPenaltyInvalid || judgement.Penalty == kPenaltyDuplicate) &&
        checker.GetPenalty(judgement.Qso - 1) == kPenaltyNone &&
        SameText(TrimBlanks(log.Edi().LineText(lines[static_cast<std::size_t>(judgement.Qso - 1)])), judgement.Line);
    if (fits) {
      checker.StorePenalty(judgement.Qso - 1, judgement.Penalty);
      stored = true;
    } else {
      allRestored = false;
      result.Problems.push_back({TReviewProblemKind::NotRestored, entry.Path, judgement});
      result.NotRestored.push_back(judgement);
    }
  }
  if (stored) checker.Recalculate();
  if (!entry.Log->OwnSum) {
    log.SetDxScore(log.Edi().CQSOP);
    log.SetSquares(log.Edi().CWWLsCount);
  } else if (!entry.Changed && allRestored) {
    log.SetDxScore(entry.Log->DxScore);
    log.SetSquares(entry.Log->Squares);
  } else if (log.GetEdiStatus() < 3) {
    log.UseOwnSum();
  }
  result.Restored = stored || entry.Log->OwnSum;
  return result;
}

}  // namespace

TReviewPlan PlanReview(const TReview& review, const std::string& reviewPath, const TImportSession& session,
                       std::size_t jobs) {
  TReviewPlan plan;
  plan.Entries.resize(review.Logs.size());
  std::unordered_set<std::string_view> named;
  plan.RestoreAlong = true;
  const std::string folder = ReviewFolder(reviewPath);
  for (std::size_t i = 0; i < review.Logs.size(); ++i) {
    TReviewPlan::TEntry& entry = plan.Entries[i];
    entry.Log = &review.Logs[i];
    entry.Path = ResolvedIn(folder, entry.Log->Path, reviewPath);
    if (!named.insert(entry.Path).second) plan.RestoreAlong = false;
  }
  for (const TLog* log : session.Logs()) {
    if (named.contains(log->Edi().FileName)) plan.RestoreAlong = false;
  }
  if (!plan.RestoreAlong) {
    RunSlices(plan.Entries.size(), jobs, [&](std::size_t begin, std::size_t end) {
      for (std::size_t i = begin; i < end; ++i) {
        TReviewPlan::TEntry& entry = plan.Entries[i];
        const std::optional<std::string> sha = LogFileSha256(entry.Path);
        entry.Missing = !sha;
        entry.Changed = sha && *sha != entry.Log->Sha256;
      }
    });
  }
  for (std::size_t i = 0; i < plan.Entries.size(); ++i) {
    const TReviewPlan::TEntry& entry = plan.Entries[i];
    if (entry.Missing) continue;
    if (plan.Runs.empty() || plan.Runs.back().Year != entry.Log->Year) plan.Runs.push_back({entry.Log->Year, {}, {}});
    plan.Runs.back().Paths.push_back(entry.Path);
    plan.Runs.back().EntryIndexes.push_back(i);
  }
  return plan;
}

TImportSession::TLogRead TReviewPlan::Reader(std::size_t run) {
  if (!RestoreAlong) return {};
  // A log that cannot be read is missing, as when it was looked for first.
  const auto bytesRead = [this, run](std::size_t index, const std::string* bytes) {
    TEntry& entry = Entries[Runs[run].EntryIndexes[index]];
    if (bytes != nullptr && entry.Log->Stamp && FileStampOf(entry.Path) == entry.Log->Stamp) {
      // Untouched since it was hashed: the bytes are those, as read after.
      return;
    }
    const std::optional<std::string> sha = bytes != nullptr ? Sha256Hex(*bytes) : LogFileSha256(entry.Path);
    entry.Missing = !sha;
    entry.Changed = sha && *sha != entry.Log->Sha256;
  };
  const auto logRead = [this, run](std::size_t index, TLog& log) {
    TEntry& entry = Entries[Runs[run].EntryIndexes[index]];
    entry.Restored = RestoreLog(entry, entry.Missing ? nullptr : &log);
    if (entry.Missing) return false;
    entry.ReadAlong = &log;
    return true;
  };
  return {bytesRead, logRead};
}

TReviewOpened ApplyReview(TImportSession& session, TReviewPlan& plan, std::size_t jobs) {
  std::unordered_map<std::string, TLog*> byPath;
  if (!plan.RestoreAlong) {
    for (TLog* log : session.Logs()) byPath[log->Path()] = log;
  }
  std::vector<TLog*> found(plan.Entries.size(), nullptr);
  for (std::size_t i = 0; i < plan.Entries.size(); ++i) {
    if (plan.Entries[i].ReadAlong != nullptr) {
      found[i] = plan.Entries[i].ReadAlong;
      continue;
    }
    const auto at = byPath.find(plan.Entries[i].Path);
    if (at != byPath.end()) found[i] = at->second;
  }
  // A log named twice in the file is restored by one thread, in file order,
  // as a single pass would.
  bool twice = false;
  {
    std::unordered_map<const TLog*, int> seen;
    for (TLog* log : found) {
      if (log != nullptr && ++seen[log] > 1) twice = true;
    }
  }
  RunSlices(plan.Entries.size(), twice ? 1 : jobs, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      TReviewPlan::TEntry& entry = plan.Entries[i];
      if (entry.ReadAlong == nullptr) entry.Restored = RestoreLog(entry, found[i]);
    }
  });

  TReviewOpened opened;
  for (std::size_t i = 0; i < plan.Entries.size(); ++i) {
    TReviewRestored& log = plan.Entries[i].Restored;
    for (TReviewProblem& problem : log.Problems) opened.Problems.push_back(std::move(problem));
    if (log.Missing) opened.Kept.MissingLogs.push_back(std::move(*log.Missing));
    if (!log.NotRestored.empty()) {
      auto& kept = opened.Kept.Judgements[plan.Entries[i].Path];
      kept.insert(kept.end(), log.NotRestored.begin(), log.NotRestored.end());
    }
    if (log.Restored) opened.Restored.push_back(found[i]);
  }
  return opened;
}

TReviewOpened OpenReview(TImportSession& session, const TReview& review, const std::string& reviewPath,
                         std::size_t jobs) {
  TReviewPlan plan = PlanReview(review, reviewPath, session, jobs);
  for (std::size_t run = 0; run < plan.Runs.size(); ++run) {
    session.ImportFiles(plan.Runs[run].Paths, plan.Runs[run].Year, {}, jobs, plan.Reader(run));
  }
  return ApplyReview(session, plan, jobs);
}

}  // namespace loggrevy
