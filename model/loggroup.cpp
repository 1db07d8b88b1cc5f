#include "model/loggroup.h"

#include <algorithm>

namespace loggrevy {

void TLogGroup::Add(std::unique_ptr<TLog> log) { Logs_.push_back(std::move(log)); }

int64_t TLogGroup::GetClaimedScore() const {
  int64_t sum = 0;
  for (const auto& log : Logs_) sum += log->GetClaimedScore();
  return sum;
}

int64_t TLogGroup::GetTotalScore() const {
  int64_t sum = 0;
  for (const auto& log : Logs_) sum += log->GetTotalScore();
  return sum;
}

uint8_t TLogGroup::GetEdiStatus() const {
  uint8_t highest = 0;
  for (const auto& log : Logs_) highest = std::max(highest, log->GetEdiStatus());
  return highest;
}

uint8_t TLogGroup::GetCheckStatus() const {
  uint8_t highest = 0;
  for (const auto& log : Logs_) highest = std::max(highest, log->GetCheckStatus());
  return highest;
}

bool TLogGroup::HasRemarks() const {
  return std::any_of(Logs_.begin(), Logs_.end(), [](const auto& log) { return log->HasRemarks(); });
}

std::string TLogGroup::GetCaption() const { return Logs_.empty() ? std::string() : Logs_.front()->GetCaption(); }
std::string TLogGroup::GetCall() const { return Logs_.empty() ? std::string() : Logs_.front()->GetCall(); }
int64_t TLogGroup::GetDxScore() const { return Logs_.empty() ? 0 : Logs_.front()->GetDxScore(); }
int32_t TLogGroup::GetSquares() const { return Logs_.empty() ? 0 : Logs_.front()->GetSquares(); }
int64_t TLogGroup::GetSquareBonus() const { return Logs_.empty() ? 0 : Logs_.front()->GetSquareBonus(); }
std::string TLogGroup::GetClub() const { return Logs_.empty() ? std::string() : Logs_.front()->GetClub(); }

}  // namespace loggrevy
