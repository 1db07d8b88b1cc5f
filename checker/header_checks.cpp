#include <string>

#include "checker/check_texts.h"
#include "checker/naccheck.h"
#include "core/callsign.h"

namespace loggrevy {

void TNacChecker::CheckBand() {
  const std::string band = NormaliseBand(Log_->PBand);
  const TBandRow* found = nullptr;
  for (const TBandRow& row : BandTable()) {
    if (row.Band == band) {
      found = &row;
      break;
    }
  }
  if (found == nullptr) {
    AddMessage(msg::kBandNotInPlan, 2);
    BandMultiplier_ = 0;
    SquareBonus_ = 0;
    return;
  }
  // A Kvartalstest is identified from its date alone and is run on 144 MHz.
  const bool kvartalstestOn144 = Kind_ == TContestKind::Kvartalstest && found->Kind == TContestKind::VHF;
  if (found->Kind != Kind_ && Kind_ != TContestKind::None && !kvartalstestOn144) AddMessage(msg::kBandNotForDay, 2);
  BandMultiplier_ = found->BandMultiplier;
  SquareBonus_ = found->SquareBonus;
}

void TNacChecker::CheckOwnLocator() {
  const std::string& own = Log_->PWWLo;
  if (own.empty()) AddMessage(msg::kNoOwnLocator, 3);
  if (!IsSwedishSquare(own)) AddMessage(msg::kNotFromSweden, 2);
  // A text that is not a locator gives no position to score from.
  if (!own.empty() && !IsValidLocator(std::string_view(own).substr(0, 6))) AddMessage(msg::kOwnLocatorMalformed, 3);
}

void TNacChecker::CheckClaims() {
  const TReg1Test& log = *Log_;
  const auto withValue = [](std::string_view before, int32_t value, std::string_view after) {
    return std::string(before) + std::to_string(value) + std::string(after);
  };
  if (log.CWWLsBonus != SquareBonus_) {
    AddMessage(withValue(msg::kSquareBonusClaimed, log.CWWLsBonus, msg::kShouldHaveBeen) + std::to_string(SquareBonus_),
               2);
  }
  if (log.CWWLsMult > 1)
    AddMessage(withValue(msg::kSquareMultiplierClaimed, log.CWWLsMult, msg::kShouldHaveBeenOne), 2);
  if (log.CExcsBonus != 0 || log.CExcB != 0) AddMessage(msg::kExchangeBonusClaimed, 2);
  if (log.CExcsMult > 1) {
    AddMessage(withValue(msg::kExchangeMultiplierClaimed, log.CExcsMult, msg::kShouldHaveBeenOne), 2);
  }
  if (log.CDXCsBonus != 0 || log.CDXCB != 0) AddMessage(msg::kDxccBonusClaimed, 2);
  if (log.CDXCsMult > 1) AddMessage(withValue(msg::kDxccMultiplierClaimed, log.CDXCsMult, msg::kShouldHaveBeenOne), 2);
  const int32_t claimedBandMultiplier = log.CQSOsBandMult > 0 ? log.CQSOsBandMult : 1;
  if (claimedBandMultiplier != BandMultiplier_) AddMessage(msg::kBandMultiplierClaimed, 2);
}

}  // namespace loggrevy
