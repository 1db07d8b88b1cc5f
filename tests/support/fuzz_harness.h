#pragma once

// How the fuzz targets turn their input bytes into reads and judgements. The
// robustness tests replay the saved fuzz findings through the same functions,
// so a finding reproduces exactly. Each function returns the violated
// invariants, one per line; empty when all hold.

#include <cstdint>
#include <string>
#include <string_view>

#include "support/invariants.h"

namespace loggrevy::harness {

inline constexpr std::string_view kFileName = "fuzz-input.edi";

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

// Reader, checker and the judge's work on one log. The file is the input
// without its tail; the tail is a script read backwards from the last byte:
// that byte's bit 6 picks the decimal separator, bit 5 the UTC offset (60 or
// 120 minutes) and bits 0-2 the number of judgements; each judgement takes
// three more bytes: a 16-bit position (mapped onto -1 .. number of QSOs, so
// that both ends just outside are tried) and a penalty 0..3 (3 is no known
// judgement). The judgements run in turn, then UseOwnSum, then a reload of
// the same bytes.
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
  const std::string_view file = rest;
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
  return report.Text();
}

}  // namespace loggrevy::harness
