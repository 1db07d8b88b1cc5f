#include "crosscheck/crosscheck.h"

#include <algorithm>
#include <utility>

#include "core/text.h"
#include "crosscheck/matching.h"
#include "model/ordered_work.h"

namespace loggrevy {

TCrossCheck::TCrossCheck(const std::vector<TLog*>& logs, TCrossCheckOptions options, std::size_t jobs)
    : Entries_(logs), Options_(options), Logs_(logs.size()) {
  // The times of every record, read once for the groups and the matching.
  std::vector<std::vector<int32_t>> minutes(logs.size());
  RunSlices(logs.size(), jobs, [&](std::size_t begin, std::size_t end) {
    for (std::size_t log = begin; log < end; ++log) minutes[log] = RecordMinutes(logs[log]->Edi());
  });
  Groups_ = GroupBatch(logs, minutes, jobs);
  // Each log's counts and figures after follow on the thread that made its
  // last verdict, while its records are still in the cache.
  const auto finished = [this](std::size_t log) {
    TLogCrossCheck& result = Logs_[log];
    for (const TQsoVerdict& verdict : result.Qsos) ++result.Counts[static_cast<std::size_t>(verdict.Verdict)];
    result.After = ComputeFiguresAfter(log);
  };
  // A large group on all threads, one after another; the small ones side by
  // side, each on one. No two groups share a log.
  std::vector<const TBatchGroup*> small;
  for (const TBatchGroup& group : Groups_.Groups) {
    if (GroupRecords(logs, Groups_, group) < kThreadedRecords) {
      small.push_back(&group);
    } else {
      MatchGroup(Entries_, minutes, Groups_, group, Options_, jobs, Logs_, finished);
    }
  }
  RunInOrder(
      small.size(), jobs, small.size(),
      [&](std::size_t i) { MatchGroup(Entries_, minutes, Groups_, *small[i], Options_, 1, Logs_, finished); },
      [](std::size_t) {});
}

std::string TCrossCheck::Text(std::size_t log, std::size_t position) const {
  std::string text;
  AppendText(text, log, position);
  return text;
}

void TCrossCheck::AppendText(std::string& text, std::size_t log, std::size_t position) const {
  const TQsoVerdict& verdict = Logs_[log].Qsos[position];
  text += VerdictTextStart(verdict.Verdict);
  if (verdict.Verdict == TVerdict::ProbableBustedCall) {
    const std::vector<TProbableCall>& probable = Logs_[log].Probable;
    const auto found =
        std::lower_bound(probable.begin(), probable.end(), position,
                         [](const TProbableCall& p, std::size_t at) { return std::cmp_less(p.Position, at); });
    text += found->Call;
    text += ", loggad p\xE5 samma lokator av ";
    AppendNumber(text, found->Stations);
    text += " andra";
    return;
  }
  if (!HasEvidence(verdict.Verdict)) return;
  const TLog& other = *Entries_[static_cast<std::size_t>(verdict.OtherLog)];
  const TQSORecord& otherQso = other.Edi().QSOs[static_cast<std::size_t>(verdict.OtherQso - 1)];
  switch (verdict.Verdict) {
    case TVerdict::ConfirmedPartnerBusted: text += otherQso.Call.View(); break;
    case TVerdict::BustedCall: text += Groups_.Logs[static_cast<std::size_t>(verdict.OtherLog)].Station; break;
    case TVerdict::BustedLocator: text += std::string_view(other.Edi().PWWLo).substr(0, 6); break;
    case TVerdict::BustedSerial: AppendNumber(text, otherQso.SentNr); break;
    case TVerdict::ConfirmedPartnerTime:
      AppendNumber(text, std::abs(int64_t{verdict.DeltaMinutes}));
      text += " min";
      break;
    case TVerdict::TimeMismatch:
      AppendNumber(text, std::abs(int64_t{verdict.DeltaMinutes}));
      text += " min fr\xE5n motstationens logg";
      break;
    default: break;
  }
}

uint8_t TCrossCheck::ProposedPenalty(std::size_t log, std::size_t position) const {
  return ProposesInvalid(Logs_[log].Qsos[position].Verdict) ? kPenaltyInvalid : kPenaltyNone;
}

TFiguresAfter TCrossCheck::ComputeFiguresAfter(std::size_t log) const {
  const TLog& entry = *Entries_[log];
  const TNacChecker& checker = entry.Checker();
  const std::vector<TQsoVerdict>& qsos = Logs_[log].Qsos;
  const std::vector<TQsoPenalty>& judged = checker.Penalties();
  std::vector<uint8_t> penalties(judged.size());
  for (std::size_t position = 0; position < penalties.size(); ++position) {
    penalties[position] = judged[position].Penalty;
    if (penalties[position] == kPenaltyNone && position < qsos.size() && ProposesInvalid(qsos[position].Verdict)) {
      penalties[position] = kPenaltyInvalid;
    }
  }
  const TJudgedFigures figures = checker.FiguresWith(penalties);
  return {figures.Score, figures.SquareCount, entry.TotalWithOwnSum(figures.Score, figures.SquareCount)};
}

void TCrossCheck::UpdateFiguresAfter(std::size_t log) {
  if (Groups_.Logs[log].Role == TBatchRole::Active) Logs_[log].After = ComputeFiguresAfter(log);
}

int32_t TCrossCheck::Apply(std::size_t log) {
  if (Groups_.Logs[log].Role != TBatchRole::Active) return 0;
  TLog& entry = *Entries_[log];
  TNacChecker& checker = entry.Checker();
  const std::vector<TQsoVerdict>& qsos = Logs_[log].Qsos;
  int32_t stored = 0;
  for (std::size_t position = 0; position < qsos.size() && position < checker.Penalties().size(); ++position) {
    if (ProposesInvalid(qsos[position].Verdict) && checker.GetPenalty(static_cast<int64_t>(position)) == kPenaltyNone) {
      checker.StorePenalty(static_cast<int64_t>(position), kPenaltyInvalid);
      ++stored;
    }
  }
  if (stored > 0) checker.Recalculate();
  entry.UseOwnSum();
  UpdateFiguresAfter(log);
  return stored;
}

}  // namespace loggrevy
