#pragma once

#include <memory>
#include <vector>

#include "model/entry.h"
#include "model/implog.h"

namespace loggrevy {

// The logs of one station in one Mikro or 28M contest (one log per band or per
// section), answering for all of them together. Never empty once filed.
class TLogGroup final : public TEntry {
 public:
  TLogGroup() = default;

  void Add(std::unique_ptr<TLog> log);
  TLog& GetLog(std::size_t index) const { return *Logs_.at(index); }
  std::size_t LogCount() const { return Logs_.size(); }

  // Sums of the members.
  int64_t GetClaimedScore() const override;
  int64_t GetTotalScore() const override;
  // Highest of the members.
  uint8_t GetEdiStatus() const override;
  uint8_t GetCheckStatus() const override;
  // True when any member has remarks.
  bool HasRemarks() const override;

  // A group has no figures of its own for these; they are the first member's.
  std::string GetCaption() const override;
  std::string GetCall() const override;
  int64_t GetDxScore() const override;
  int32_t GetSquares() const override;
  int64_t GetSquareBonus() const override;
  std::string GetClub() const override;

 private:
  std::vector<std::unique_ptr<TLog>> Logs_;
};

}  // namespace loggrevy
