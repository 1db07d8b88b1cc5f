#include "model/review_file.h"

#include <openssl/evp.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <nlohmann/json.hpp>

#include "core/cp1252.h"
#include "edi/text_functions.h"
#include "model/ordered_work.h"

namespace loggrevy {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

constexpr std::string_view kType = "loggrevy-granskning";

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The line index of every QSO, found as the reader walks its sections: the
// QSO lines are the non-empty lines after the first "[QSORecords;" tag that
// follows "[Remarks]", which follows the "[REG1TEST;" tag.
std::vector<std::size_t> QsoLineIndexes(const TReg1Test& edi) {
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
      if (lines.size() == edi.QSOs.size()) break;
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

std::string ResolvedLogPath(const std::string& stored, const std::string& reviewPath) {
  const fs::path path(stored);
  if (path.is_absolute()) return stored;
  return (fs::path(reviewPath).parent_path() / path).lexically_normal().string();
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
  doc["type"] = kType;
  doc["format"] = kReviewFormat;
  doc["crosscheck"] = {{"time_tolerance_minutes", review.CrossCheck.TimeToleranceMinutes},
                       {"compare_serials", review.CrossCheck.CompareSerials}};
  if (!review.RecoveryOf.empty()) doc["recovery_of"] = review.RecoveryOf;
  json logs = json::array();
  for (const TReviewLog& log : review.Logs) {
    json entry{{"path", log.Path}, {"sha256", log.Sha256}, {"year", log.Year}, {"own_sum", log.OwnSum}};
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

TReviewRead ParseReview(std::string_view bytes) {
  TReviewRead read;
  const json doc = json::parse(bytes.begin(), bytes.end(), nullptr, false);
  if (doc.is_discarded()) {
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    read.Error =
        first != std::string_view::npos && bytes[first] == '{' ? TReviewError::Damaged : TReviewError::NotReview;
    return read;
  }
  if (!doc.is_object() || !doc.contains("type") || doc["type"] != kType) {
    read.Error = TReviewError::NotReview;
    return read;
  }
  try {
    const int format = doc.at("format").get<int>();
    if (format > kReviewFormat) {
      read.Error = TReviewError::LaterFormat;
      return read;
    }
    if (format != kReviewFormat) throw std::invalid_argument("format");
    TReview& review = read.Review;
    const json& check = doc.at("crosscheck");
    review.CrossCheck.TimeToleranceMinutes = check.at("time_tolerance_minutes").get<int32_t>();
    review.CrossCheck.CompareSerials = check.at("compare_serials").get<bool>();
    if (review.CrossCheck.TimeToleranceMinutes < 0 || review.CrossCheck.TimeToleranceMinutes > 1440) {
      throw std::invalid_argument("tolerance");
    }
    if (doc.contains("recovery_of")) review.RecoveryOf = doc["recovery_of"].get<std::string>();
    for (const json& entry : doc.at("logs")) {
      TReviewLog& log = review.Logs.emplace_back();
      log.Path = entry.at("path").get<std::string>();
      log.Sha256 = entry.at("sha256").get<std::string>();
      log.Year = entry.at("year").get<int32_t>();
      log.OwnSum = entry.at("own_sum").get<bool>();
      if (log.OwnSum) {
        log.DxScore = entry.at("dx_score").get<int64_t>();
        log.Squares = entry.at("squares").get<int32_t>();
      }
      for (const json& judgement : entry.at("judgements")) {
        log.Judgements.push_back({judgement.at("qso").get<int64_t>(), judgement.at("penalty").get<uint8_t>(),
                                  judgement.at("line").get<std::string>()});
      }
      if (log.Path.empty()) throw std::invalid_argument("path");
    }
  } catch (const std::exception&) {
    read.Error = TReviewError::Damaged;
    read.Review = {};
  }
  return read;
}

TReviewRead ReadReviewFile(const std::string& path) {
  std::string reason;
  const auto bytes = ReadWholeFile(path, &reason);
  if (!bytes) {
    TReviewRead read;
    read.Error = TReviewError::Unreadable;
    read.Reason = reason;
    return read;
  }
  return ParseReview(*bytes);
}

std::optional<std::string> WriteReviewFile(const std::string& path, const TReview& review, const TWriteCall& write) {
  return WriteFileAtomically(path, ReviewText(review), write);
}

TReview CaptureReview(const TImportSession& session, const std::string& reviewPath, TReviewCrossCheck crossCheck,
                      const TReviewKept& kept, std::unordered_map<std::string, std::string>* hashes) {
  TReview review;
  review.CrossCheck = crossCheck;
  for (const TLog* log : session.Logs()) {
    TReviewLog& entry = review.Logs.emplace_back();
    entry.Path = StoredLogPath(log->Path(), reviewPath);
    const auto cached = hashes != nullptr ? hashes->find(log->Path()) : decltype(hashes->end()){};
    if (hashes != nullptr && cached != hashes->end()) {
      entry.Sha256 = cached->second;
    } else {
      if (const auto bytes = ReadWholeFile(log->Path())) entry.Sha256 = Sha256Hex(*bytes);
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

std::vector<std::pair<int32_t, std::vector<std::string>>> TReviewPlan::ImportRuns() const {
  std::vector<std::pair<int32_t, std::vector<std::string>>> runs;
  for (const TEntry& entry : Entries) {
    if (entry.Missing) continue;
    if (runs.empty() || runs.back().first != entry.Log->Year) runs.push_back({entry.Log->Year, {}});
    runs.back().second.push_back(entry.Path);
  }
  return runs;
}

TReviewPlan PlanReview(const TReview& review, const std::string& reviewPath, std::size_t jobs) {
  TReviewPlan plan;
  plan.Entries.resize(review.Logs.size());
  RunSlices(review.Logs.size(), jobs, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      TReviewPlan::TEntry& entry = plan.Entries[i];
      entry.Log = &review.Logs[i];
      entry.Path = ResolvedLogPath(entry.Log->Path, reviewPath);
      const auto bytes = ReadWholeFile(entry.Path);
      entry.Missing = !bytes;
      entry.Changed = bytes && Sha256Hex(*bytes) != entry.Log->Sha256;
    }
  });
  return plan;
}

namespace {

// What restoring one log found: its problems and what is kept of it, in the
// file's order.
struct TRestoredLog {
  std::vector<TReviewProblem> Problems;
  std::optional<TReviewLog> Missing;
  std::vector<TReviewJudgement> NotRestored;
  bool Restored = false;
};

// Stores the entry's judgements whose QSO line is unchanged, recalculates
// once, and sets the accepted figures. Touches only this log.
TRestoredLog RestoreLog(const TReviewPlan::TEntry& entry, TLog* found) {
  TRestoredLog result;
  if (entry.Missing || found == nullptr) {
    result.Problems.push_back({TReviewProblemKind::MissingLog, entry.Path, {}});
    result.Missing = *entry.Log;
    result.Missing->Path = entry.Path;
    return result;
  }
  if (entry.Changed) result.Problems.push_back({TReviewProblemKind::ChangedLog, entry.Path, {}});
  TLog& log = *found;
  TNacChecker& checker = log.Checker();
  const std::vector<std::size_t> lines =
      entry.Log->Judgements.empty() ? std::vector<std::size_t>() : QsoLineIndexes(log.Edi());
  bool stored = false;
  bool allRestored = true;
  for (const TReviewJudgement& judgement : entry.Log->Judgements) {
    const bool fits =
        checker.Checked() && judgement.Qso >= 1 &&
        static_cast<std::size_t>(judgement.Qso) <= std::min(lines.size(), checker.Penalties().size()) &&
        (judgement.Penalty == kPenaltyInvalid || judgement.Penalty == kPenaltyDuplicate) &&
        checker.GetPenalty(judgement.Qso - 1) == kPenaltyNone &&
        Cp1252ToUtf8(TrimBlanks(log.Edi().LineText(lines[static_cast<std::size_t>(judgement.Qso - 1)]))) ==
            judgement.Line;
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

TReviewOpened ApplyReview(TImportSession& session, const TReviewPlan& plan, std::size_t jobs) {
  std::unordered_map<std::string, TLog*> byPath;
  for (TLog* log : session.Logs()) byPath[log->Path()] = log;
  std::vector<TLog*> found(plan.Entries.size(), nullptr);
  for (std::size_t i = 0; i < plan.Entries.size(); ++i) {
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
  std::vector<TRestoredLog> restored(plan.Entries.size());
  RunSlices(plan.Entries.size(), twice ? 1 : jobs, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) restored[i] = RestoreLog(plan.Entries[i], found[i]);
  });

  TReviewOpened opened;
  for (std::size_t i = 0; i < plan.Entries.size(); ++i) {
    TRestoredLog& log = restored[i];
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
  const TReviewPlan plan = PlanReview(review, reviewPath, jobs);
  for (const auto& [year, paths] : plan.ImportRuns()) session.ImportFiles(paths, year, {}, jobs);
  return ApplyReview(session, plan, jobs);
}

}  // namespace loggrevy
