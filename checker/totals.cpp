#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "checker/check_texts.h"
#include "checker/naccheck.h"
#include "checker/scoring.h"
#include "core/callsign.h"
#include "core/text.h"

namespace loggrevy {

void TNacChecker::CheckTotals() {
  const TReg1Test& log = *Log_;
  if (SquareCount_ != log.CWWLsCount) AddMessage(msg::kSquareCountClaimed, 2);
  if (int64_t{SquareCount_} * log.CWWLsBonus != log.CWWLB) AddMessage(msg::kSquareBonusTotalClaimed, 2);
  if (ValidQsoCount_ != log.CQSOsCount) AddMessage(msg::kValidQsoCountClaimed, 2);

  // The claimed total may differ from the computed one by a tenth of it.
  const int64_t total = Score_ + int64_t{SquareCount_} * SquareBonus_;
  if (10 * std::llabs(total - log.CToSc) > total) AddMessage(msg::kTotalDeviates, 1);

  // The claimed best DX must be one of the calls sharing the longest whole
  // kilometres, letter for letter apart from case.
  BestDxCalls_ += '\r';
  const std::string pattern = UpperCaseAscii("\r" + log.CODXCCall + "\r");
  if (UpperCaseAscii(BestDxCalls_).find(pattern) == std::string::npos) AddMessage(msg::kWrongBestDx, 2);
}

void TNacChecker::CheckClub() {
  TReg1Test& log = *Log_;
  // A club or military station counts for itself.
  const auto checkOwnClub = [&](std::string_view warning) {
    const std::string base = BaseCall(log.PCall);
    if (log.PClub.empty()) log.PClub = base.substr(0, 6);
    if (base != log.PClub) AddMessage(warning, 1);
  };
  if (IsMilitaryCall(log.PCall)) {
    checkOwnClub(msg::kMilitaryOtherClub);
  } else if (IsClubCall(log.PCall)) {
    checkOwnClub(msg::kClubOtherClub);
  } else if (!log.PClub.empty() && !log.PClub.starts_with("SK") && !log.PClub.starts_with("SL")) {
    AddMessage(msg::kClubNotSkOrSl, 1);
  }
}

namespace {

TQsoPenalty PenaltyRecord(uint8_t penalty) {
  return {penalty, penalty == kPenaltyInvalid,
          penalty == kPenaltyInvalid     ? 0.0
          : penalty == kPenaltyDuplicate ? -10.0
                                         : 1.0};
}

}  // namespace

int64_t TNacChecker::JudgedPoints(std::size_t index, double factor) const {
  const int32_t km = QRBScoreKm(Distances_[index]);
  // The conversion to an integer truncates towards zero.
  return static_cast<int64_t>(double(km) * double(BandMultiplier_) * factor);
}

double TNacChecker::GetQsoDistance(int64_t qso) const {
  if (Log_ == nullptr || qso < 1 || qso > static_cast<int64_t>(Distances_.size())) return 0.0;
  const auto index = static_cast<std::size_t>(qso - 1);
  if (!Log_->QSOs[index].Valid || Penalties_[index].Excluded) return 0.0;
  return Distances_[index];
}

int64_t TNacChecker::GetQsoPoints(int64_t qso) const {
  if (Log_ == nullptr || qso < 1 || qso > static_cast<int64_t>(Distances_.size())) return 0;
  const auto index = static_cast<std::size_t>(qso - 1);
  if (!Log_->QSOs[index].Valid || Penalties_[index].Excluded) return 0;
  return JudgedPoints(index);
}

uint8_t TNacChecker::GetPenalty(int64_t position) const {
  if (position < 0 || position >= static_cast<int64_t>(Penalties_.size())) return kPenaltyNone;
  return Penalties_[static_cast<std::size_t>(position)].Penalty;
}

void TNacChecker::SetPenalty(int64_t position, uint8_t penalty) {
  if (position < 0 || position >= static_cast<int64_t>(Penalties_.size())) return;
  StorePenalty(position, penalty);
  Recalculate();
}

void TNacChecker::StorePenalty(int64_t position, uint8_t penalty) {
  if (position < 0 || position >= static_cast<int64_t>(Penalties_.size())) return;
  Penalties_[static_cast<std::size_t>(position)] = PenaltyRecord(penalty);
}

TJudgedFigures TNacChecker::FiguresWith(const std::vector<uint8_t>& penalties) const {
  TJudgedFigures figures;
  if (Log_ == nullptr) return figures;
  TSquareSet squares;
  for (std::size_t index = 0; index < Distances_.size(); ++index) {
    const uint8_t penalty = index < penalties.size() ? penalties[index] : uint8_t{kPenaltyNone};
    const TQSORecord& q = Log_->QSOs[index];
    if (!q.Valid || penalty == kPenaltyInvalid) continue;
    squares.Insert(q.RcvdWWL);
    figures.Score += JudgedPoints(index, PenaltyRecord(penalty).Factor);
  }
  figures.SquareCount = squares.Size();
  return figures;
}

void TNacChecker::Recalculate() {
  if (Log_ == nullptr) return;
  Score_ = 0;
  BestDistance_ = 0.0;
  TSquareSet squares;
  int32_t best = -1;
  for (std::size_t index = 0; index < Distances_.size(); ++index) {
    const TQSORecord& q = Log_->QSOs[index];
    if (!q.Valid || Penalties_[index].Excluded) continue;
    squares.Insert(q.RcvdWWL);
    const int64_t points = JudgedPoints(index);
    if (PointsDeviate(points, q.Points)) {
      std::string text(msg::kPointsDeviate);
      text += q.Call.View();
      AddQsoMessage(text, static_cast<int32_t>(index + 1), 1);
    }
    Score_ += points;
    UpdateBestDx(QRBScoreKm(Distances_[index]), q, best);
    BestDistance_ = std::max(BestDistance_, Distances_[index]);
  }
  SquareCount_ = squares.Size();
}

}  // namespace loggrevy
