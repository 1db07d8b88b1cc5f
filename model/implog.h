#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "checker/naccheck.h"
#include "edi/reg1test.h"
#include "model/entry.h"

namespace loggrevy {

// What the computer contributes to a read and a check; the front ends take
// these from the system, tests fix them.
struct TLocalSettings {
  char DecimalSeparator = ',';    // of the claimed best-DX distance
  int32_t UtcOffsetMinutes = 60;  // local time minus UTC now
};

// One imported contest log: its file read by its own TReg1Test, checked by its
// own TNacChecker, and the figures the judge accepts. The accepted figures are
// the claimed ones until UseOwnSum adopts the checker's.
class TLog final : public TEntry {
 public:
  // Reads and checks the file; never fails (an unreadable file gives
  // GetEdiStatus 3 and an unchecked checker).
  TLog(const std::string& path, int32_t importYear, TLocalSettings settings);
  // Reads bytes already in memory, as if they were the file at fileName.
  TLog(std::string_view bytes, const std::string& fileName, int32_t importYear, TLocalSettings settings);
  // The same, taking the bytes over instead of copying them.
  static std::unique_ptr<TLog> Taking(std::string bytes, const std::string& fileName, int32_t importYear,
                                      TLocalSettings settings);

  std::string GetCaption() const override;
  std::string GetCall() const override;
  int64_t GetDxScore() const override;
  int32_t GetSquares() const override;
  int64_t GetSquareBonus() const override;
  int64_t GetClaimedScore() const override;
  int64_t GetTotalScore() const override;
  std::string GetClub() const override;
  uint8_t GetEdiStatus() const override;
  uint8_t GetCheckStatus() const override;
  bool HasRemarks() const override;

  // Accepted distance points and approved squares; setting the claimed value
  // returns the log to its claimed figure.
  void SetDxScore(int64_t value);
  void SetSquares(int32_t value);
  // Adopts the checker's Score and SquareCount as the accepted figures.
  void UseOwnSum();
  // The accepted total that UseOwnSum would give if the checker's figures
  // were these, leaving the log as it is.
  int64_t TotalWithOwnSum(int64_t score, int32_t squares) const;
  // Reads the same file again and checks it with a new checker: judgements
  // and overrides are lost, and Checker() is another object afterwards.
  void Reload();
  // Reload from bytes in memory (for tests and fuzzing).
  void ReloadFromBuffer(std::string_view bytes);

  const TReg1Test& Edi() const { return *Edi_; }
  TReg1Test& Edi() { return *Edi_; }
  const TNacChecker& Checker() const { return *Checker_; }
  TNacChecker& Checker() { return *Checker_; }

  bool DxScoreChanged() const { return DxScoreChanged_; }
  bool SquaresChanged() const { return SquaresChanged_; }
  int64_t DxScoreOverride() const { return DxScoreOverride_; }
  int32_t SquaresOverride() const { return SquaresOverride_; }
  int32_t ImportYear() const { return ImportYear_; }
  // The path the log was imported from, also when it could not be opened.
  const std::string& Path() const { return Path_; }

 private:
  struct TTaken {
    std::string Bytes;
  };
  TLog(TTaken bytes, const std::string& fileName, int32_t importYear, TLocalSettings settings);
  void CheckAnew();

  std::unique_ptr<TReg1Test> Edi_;
  std::unique_ptr<TNacChecker> Checker_;
  int64_t DxScoreOverride_ = 0;
  bool DxScoreChanged_ = false;
  int32_t SquaresOverride_ = 0;
  bool SquaresChanged_ = false;
  int32_t ImportYear_;
  TLocalSettings Settings_;
  std::string Path_;
};

}  // namespace loggrevy
