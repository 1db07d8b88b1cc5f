#pragma once

// How the fuzz targets turn their input bytes into reads and judgements. The
// robustness tests replay the saved fuzz findings through the same functions,
// so a finding reproduces exactly. Each function returns the violated
// invariants, one per line; empty when all hold.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/crosscheck_invariants.h"
#include "support/invariants.h"

namespace loggrevy::harness {

inline constexpr std::string_view kFileName = "fuzz-input.edi";
// Cuts the file of the judgement target into the logs of a batch.
inline constexpr std::string_view kLogSeparator = "\n==LOG==\n";
inline constexpr std::size_t kMaxBatchLogs = 5;

// The logs cut from a file at kLogSeparator, at most kMaxBatchLogs: the last
// one keeps whatever follows its separator.
inline std::vector<std::string_view> SplitLogs(std::string_view file) {
  std::vector<std::string_view> logs;
  while (logs.size() + 1 < kMaxBatchLogs) {
    const std::size_t at = file.find(kLogSeparator);
    if (at == std::string_view::npos) break;
    logs.push_back(file.substr(0, at));
    file.remove_prefix(at + kLogSeparator.size());
  }
  logs.push_back(file);
  return logs;
}

// Reader alone. The last input byte is a selector, the bytes before it the
// file: bits 4-5 pick the character format (1: an FF FE mark is put in front
// and every byte widened to a 16-bit unit; 2: the mark is put in front of the
// bytes as they are; 0 and 3: the bytes as they are, which is UTF-16 mode too
// when they begin with FF FE), bit 6 picks "." instead of "," as the decimal
// separator. A line feed as the last byte, as in most files, keeps byte mode.
inline std::string ExerciseReader(std::string_view input) {
  const auto selector = input.empty() ? 0u : static_cast<unsigned char>(input.back());
  const std::string_view body = input.empty() ? input : input.substr(0, input.size() - 1);
  std::string file;
  switch ((selector >> 4) & 3u) {
    case 1:
      file = "\xFF\xFE";
      for (const char c : body) {
        file += c;
        file += '\0';
      }
      break;
    case 2:
      file = "\xFF\xFE";
      file += body;
      break;
    default: file = body; break;
  }
  const char separator = (selector & 0x40u) != 0 ? '.' : ',';
  const std::string name(kFileName);

  invariants::TReport report;
  TReg1Test first(separator);
  first.LoadFromBuffer(file, name);
  report.Append(invariants::CheckReader(first, true));

  TReg1Test second(separator);
  second.LoadFromBuffer(file, name);
  report.Append(invariants::CheckSameRead(first, second));

  first.LoadFromBuffer(file, name);  // a reload on the same object
  report.Append(invariants::CheckReader(first, false));
  report.Append(invariants::CheckSameRead(first, second));
  return report.Text();
}

// Reader, checker and the judge's work on one log, then the cross-check of a
// batch. The file is the input without its tail; the tail is a script read
// backwards from the last byte: that byte's bit 6 picks the decimal
// separator, bit 5 the UTC offset (60 or 120 minutes), bit 3 whether serial
// numbers are compared in every pair, bit 7 whether two bytes of the tail set
// the time tolerance and the logs the proposals are applied to (otherwise 10
// minutes and the first, third and fifth log), and bits 0-2 the number of
// judgements; each judgement takes three more bytes: a 16-bit position
// (mapped onto -1 .. number of QSOs, so that both ends just outside are
// tried) and a penalty 0..3 (3 is no known judgement). The file is cut into
// logs at kLogSeparator; the first is judged: the judgements run in turn,
// then UseOwnSum, then a reload of the same bytes. Then every log is
// imported, the first gets the same judgements, and the batch is
// cross-checked, the proposals applied to some logs, and cross-checked again.
inline std::string ExerciseJudgement(std::string_view input) {
  struct TJudgement {
    uint16_t Position;
    uint8_t Penalty;
  };
  std::string_view rest = input;
  const auto take = [&rest]() -> unsigned {
    if (rest.empty()) return 0;
    const auto byte = static_cast<unsigned char>(rest.back());
    rest.remove_suffix(1);
    return byte;
  };
  const unsigned script = take();
  TLocalSettings settings;
  settings.DecimalSeparator = (script & 0x40u) != 0 ? '.' : ',';
  settings.UtcOffsetMinutes = (script & 0x20u) != 0 ? 120 : 60;
  TJudgement judgements[7]{};
  const unsigned judgementCount = script & 0x07u;
  for (unsigned j = 0; j < judgementCount; ++j) {
    const unsigned low = take();
    const unsigned high = take();
    judgements[j] = {static_cast<uint16_t>(low | (high << 8)), static_cast<uint8_t>(take() % 4)};
  }
  TCrossCheckOptions crossCheckOptions;
  crossCheckOptions.CompareSerials = (script & 0x08u) != 0;
  unsigned applyMask = 0x15u;
  if ((script & 0x80u) != 0) {
    // 0..15 minutes, or 0..1440 in steps of 12.
    const unsigned tolerance = take();
    crossCheckOptions.TimeToleranceMinutes =
        static_cast<int32_t>(tolerance < 128 ? tolerance % 16 : std::min(1440u, (tolerance - 128) * 12));
    applyMask = take();
  }
  const std::vector<std::string_view> batch = SplitLogs(rest);
  const std::string_view file = batch.front();
  const std::string name(kFileName);
  constexpr int32_t kYear = 2021;

  invariants::TReport report;
  TLog log(file, name, kYear, settings);
  report.Append(invariants::CheckLog(log, true));
  const TLog twin(file, name, kYear, settings);
  report.Append(invariants::CheckSameRead(log.Edi(), twin.Edi()));
  report.Append(invariants::CheckSameFigures(log.Checker(), twin.Checker()));

  TNacChecker& checker = log.Checker();
  const auto qsos = static_cast<int64_t>(log.Edi().QSOs.size());
  for (unsigned j = 0; j < judgementCount; ++j) {
    const int64_t position = static_cast<int64_t>(judgements[j].Position % (qsos + 2)) - 1;
    checker.SetPenalty(position, judgements[j].Penalty);
    report.Append(invariants::CheckChecker(log.Edi(), checker));
    if (position >= 0 && position < static_cast<int64_t>(checker.Penalties().size())) {
      report.Expect(checker.GetPenalty(position) == judgements[j].Penalty, "GetPenalty differs from the judgement set");
    }
  }

  log.UseOwnSum();
  report.Expect(log.GetDxScore() == checker.GetScore(), "after UseOwnSum GetDxScore differs from the checker's score");
  report.Expect(log.GetSquares() == checker.SquareCount(), "after UseOwnSum GetSquares differs from SquareCount");
  report.Expect(log.DxScoreChanged() == (checker.GetScore() != log.Edi().CQSOP),
                "DxScoreChanged wrong after UseOwnSum");
  report.Expect(log.SquaresChanged() == (checker.SquareCount() != log.Edi().CWWLsCount),
                "SquaresChanged wrong after UseOwnSum");
  report.Expect(log.GetTotalScore() == log.GetDxScore() + log.GetSquareBonus(), "total is not points plus bonus");

  log.ReloadFromBuffer(file);
  report.Append(invariants::CheckLog(log, false));
  report.Append(invariants::CheckSameRead(log.Edi(), twin.Edi()));
  report.Append(invariants::CheckSameFigures(log.Checker(), twin.Checker()));
  report.Expect(!log.DxScoreChanged() && !log.SquaresChanged(), "a reload kept the overrides");
  for (const TQsoPenalty& p : log.Checker().Penalties()) {
    report.Expect(p.Penalty == kPenaltyNone, "a reload kept a judgement");
  }

  std::vector<std::unique_ptr<TLog>> owned;
  std::vector<TLog*> logs;
  for (std::size_t i = 0; i < batch.size(); ++i) {
    owned.push_back(std::make_unique<TLog>(batch[i], "fuzz-log-" + std::to_string(i) + ".edi", kYear, settings));
    logs.push_back(owned.back().get());
  }
  TNacChecker& judged = logs.front()->Checker();
  for (unsigned j = 0; j < judgementCount; ++j) {
    judged.SetPenalty(static_cast<int64_t>(judgements[j].Position % (qsos + 2)) - 1, judgements[j].Penalty);
  }
  TCrossCheck first(logs, crossCheckOptions);
  report.Append(invariants::CheckCrossCheck(logs, first));
  for (std::size_t i = 0; i < logs.size(); ++i) {
    if ((applyMask >> i & 1u) != 0) report.Append(invariants::CheckApply(first, i));
  }
  report.Append(invariants::CheckCrossCheck(logs, first));
  const TCrossCheck second(logs, crossCheckOptions);
  report.Append(invariants::CheckCrossCheck(logs, second));
  report.Append(invariants::CheckSameVerdicts(first, second));
  for (std::size_t i = 0; i < logs.size(); ++i) {
    if ((applyMask >> i & 1u) == 0 || !second.Log(i).After) continue;
    report.Expect(second.Log(i).After->Score == logs[i]->Checker().Score() &&
                      second.Log(i).After->Squares == logs[i]->Checker().SquareCount(),
                  "after Apply a new cross-check proposes more");
  }
  return report.Text();
}

}  // namespace loggrevy::harness
