#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "checker/contest.h"
#include "core/locator.h"
#include "edi/reg1test.h"

namespace loggrevy {

// A finding of the checker: 1 warning, 2 rule violation, 3 serious error.
struct TCheckMessage {
  std::string Text;  // Windows-1252
  int32_t Qso;       // 1-based QSO number, -1 for the whole log
  uint8_t Severity;
};

enum TPenalty : uint8_t { kPenaltyNone = 0, kPenaltyInvalid = 1, kPenaltyDuplicate = 2 };

// The judge's verdict on one QSO.
struct TQsoPenalty {
  uint8_t Penalty = kPenaltyNone;
  bool Excluded = false;  // invalid: counts nowhere
  double Factor = 1.0;    // 1.0, 0.0 (invalid) or -10.0 (duplicate)
};

// Score and SquareCount as Recalculate would leave them for some judgements.
struct TJudgedFigures {
  int64_t Score = 0;
  int32_t SquareCount = 0;
};

// Checks one parsed log against the rules of the NAC activity evenings and the
// Kvartalstest, re-scores it and holds the judge's verdict per QSO. Every
// finding becomes a message; nothing is thrown. One Check per object.
//
// Figures that are sums never wrap: Score and the points are 64-bit.
class TNacChecker {
 public:
  TNacChecker() = default;
  TNacChecker(const TNacChecker&) = delete;
  TNacChecker& operator=(const TNacChecker&) = delete;

  // Runs every check on log (which it changes: Valid flags, PSect, PClub).
  // expectedYear: the year the contest should carry; utcOffsetMinutes: local
  // time minus UTC now, for the sections of the 28 MHz contest.
  void Check(TReg1Test& log, int32_t expectedYear, int32_t utcOffsetMinutes);

  void AddMessage(std::string_view text, uint8_t severity);
  void AddQsoMessage(std::string_view text, int32_t qso, uint8_t severity);
  // The first occurrence as it is, the second with " (upprepas)", then none.
  void AddRepeatedQsoMessage(std::string_view text, int& counter, uint8_t severity, int32_t qso);

  // The steps of Check, in the order Check runs them.
  void IdentifyContest(int32_t expectedYear);
  void CheckBand();
  void CheckOwnLocator();
  void CheckClaims();
  void EvaluateQsos();
  void CheckTotals();
  void CheckClub();
  void CheckSection();

  int64_t GetScore() const { return Score_; }
  // Distance in km of a QSO (1-based); 0.0 when it is not Valid or is excluded.
  double GetQsoDistance(int64_t qso) const;
  // The longest GetQsoDistance of the log; 0.0 without a QSO that counts.
  double BestDistance() const { return BestDistance_; }
  // Points of a QSO after judgement; 0 when it is not Valid or is excluded.
  int64_t GetQsoPoints(int64_t qso) const;
  // Judgement at a 0-based position; 0 outside the QSOs.
  uint8_t GetPenalty(int64_t position) const;
  // Stores a judgement and recalculates; positions outside the QSOs are ignored.
  void SetPenalty(int64_t position, uint8_t penalty);
  // Stores a judgement as SetPenalty does, without recalculating.
  void StorePenalty(int64_t position, uint8_t penalty);
  // The figures Recalculate would compute if the judgements were penalties
  // (one per position; missing positions count as 0), leaving the checker as
  // it is and adding no message.
  TJudgedFigures FiguresWith(const std::vector<uint8_t>& penalties) const;
  // Recomputes Score, SquareCount, BestDxCalls and BestDistance from the judgements.
  void Recalculate();

  bool Checked() const { return Log_ != nullptr; }
  uint8_t MaxSeverity() const { return MaxSeverity_; }
  TContestKind Kind() const { return Kind_; }
  int64_t Score() const { return Score_; }
  int32_t SquareCount() const { return SquareCount_; }
  int32_t ValidQsoCount() const { return ValidQsoCount_; }
  const std::string& BestDxCalls() const { return BestDxCalls_; }
  int32_t BandMultiplier() const { return BandMultiplier_; }
  int32_t SquareBonus() const { return SquareBonus_; }
  const TLocatorPoint& OwnLocation() const { return OwnLocation_; }
  const std::vector<TQsoPenalty>& Penalties() const { return Penalties_; }
  const std::vector<TCheckMessage>& Messages() const { return Messages_; }

 private:
  int64_t JudgedPoints(std::size_t index) const { return JudgedPoints(index, Penalties_[index].Factor); }
  int64_t JudgedPoints(std::size_t index, double factor) const;
  void UpdateBestDx(int32_t km, const TQSORecord& q, int32_t& best);

  TReg1Test* Log_ = nullptr;
  int32_t UtcOffsetMinutes_ = 0;
  uint8_t MaxSeverity_ = 0;
  TContestKind Kind_ = TContestKind::None;
  int64_t Score_ = 0;
  int32_t SquareCount_ = 0;
  int32_t ValidQsoCount_ = 0;
  std::string BestDxCalls_;
  int32_t BandMultiplier_ = 0;
  int32_t SquareBonus_ = 0;
  TLocatorPoint OwnLocation_;
  bool OwnLocationKnown_ = false;
  std::vector<TQsoPenalty> Penalties_;
  std::vector<TCheckMessage> Messages_;
  std::vector<double> Distances_;  // per QSO, computed once by EvaluateQsos
  double BestDistance_ = 0.0;      // by EvaluateQsos and Recalculate
};

}  // namespace loggrevy
