#include "model/implog.h"

#include "core/callsign.h"
#include "model/labels.h"

namespace loggrevy {
namespace {

std::string WithoutThirdCharacter(std::string text) {
  if (text.size() >= 3) text.erase(2, 1);
  return text;
}

}  // namespace

TLog::TLog(const std::string& path, int32_t importYear, TLocalSettings settings)
    : Edi_(std::make_unique<TReg1Test>(settings.DecimalSeparator)),
      ImportYear_(importYear),
      Settings_(settings),
      Path_(path) {
  Edi_->LoadFromFile(path);
  CheckAnew();
}

TLog::TLog(std::string_view bytes, const std::string& fileName, int32_t importYear, TLocalSettings settings)
    : Edi_(std::make_unique<TReg1Test>(settings.DecimalSeparator)),
      ImportYear_(importYear),
      Settings_(settings),
      Path_(fileName) {
  Edi_->LoadFromBuffer(bytes, fileName);
  CheckAnew();
}

TLog::TLog(TTaken bytes, const std::string& fileName, int32_t importYear, TLocalSettings settings)
    : Edi_(std::make_unique<TReg1Test>(settings.DecimalSeparator)),
      ImportYear_(importYear),
      Settings_(settings),
      Path_(fileName) {
  Edi_->TakeBuffer(std::move(bytes.Bytes), fileName);
  CheckAnew();
}

std::unique_ptr<TLog> TLog::Taking(std::string bytes, const std::string& fileName, int32_t importYear,
                                   TLocalSettings settings) {
  return std::unique_ptr<TLog>(new TLog(TTaken{std::move(bytes)}, fileName, importYear, settings));
}

// A new checker for every read, so no judgement outlives the file it was made
// on. An unreadable log is never checked.
void TLog::CheckAnew() {
  Checker_ = std::make_unique<TNacChecker>();
  if (Edi_->Status < 3) Checker_->Check(*Edi_, ImportYear_, Settings_.UtcOffsetMinutes);
  DxScoreOverride_ = 0;
  DxScoreChanged_ = false;
  SquaresOverride_ = 0;
  SquaresChanged_ = false;
}

void TLog::Reload() {
  Edi_->LoadFromFile(Edi_->FileName);
  CheckAnew();
}

void TLog::ReloadFromBuffer(std::string_view bytes) {
  Edi_->LoadFromBuffer(bytes, Edi_->FileName);
  CheckAnew();
}

std::string TLog::GetCaption() const {
  const TContestKind kind = Checker_->Kind();
  if (kind != TContestKind::None) return Edi_->TDateStart + " : " + std::string(KindName(kind));
  return std::string(Edi_->Status == 3 ? labels::kUnreadableCaption : labels::kUnidentifiedCaption);
}

// A log sent under the operator's own call in another call area, or in a
// portable form, counts for the responsible operator's call; one sent under
// another station's call counts for that call.
std::string TLog::GetCall() const {
  const std::string base = BaseCall(Edi_->PCall);
  if (WithoutThirdCharacter(base) == WithoutThirdCharacter(Edi_->RCall)) return Edi_->RCall;
  return base;
}

int64_t TLog::GetDxScore() const { return DxScoreChanged_ ? DxScoreOverride_ : Edi_->CQSOP; }

int32_t TLog::GetSquares() const { return SquaresChanged_ ? SquaresOverride_ : Edi_->CWWLsCount; }

int64_t TLog::GetSquareBonus() const {
  return SquaresChanged_ ? int64_t{Checker_->SquareBonus()} * SquaresOverride_ : Edi_->CWWLB;
}

int64_t TLog::GetClaimedScore() const { return Edi_->CToSc; }

int64_t TLog::GetTotalScore() const { return GetDxScore() + GetSquareBonus(); }

std::string TLog::GetClub() const { return Edi_->PClub; }

uint8_t TLog::GetEdiStatus() const { return Edi_->Status; }

uint8_t TLog::GetCheckStatus() const { return Checker_->MaxSeverity(); }

bool TLog::HasRemarks() const { return !Edi_->Remarks.empty(); }

void TLog::SetDxScore(int64_t value) {
  DxScoreOverride_ = value;
  DxScoreChanged_ = value != Edi_->CQSOP;
}

void TLog::SetSquares(int32_t value) {
  SquaresOverride_ = value;
  SquaresChanged_ = value != Edi_->CWWLsCount;
}

int64_t TLog::TotalWithOwnSum(int64_t score, int32_t squares) const {
  // The accepted distance points are the score whether or not it equals the
  // claim; the bonus falls back to the claimed one when the squares do.
  const int64_t bonus = squares != Edi_->CWWLsCount ? int64_t{Checker_->SquareBonus()} * squares : Edi_->CWWLB;
  return score + bonus;
}

void TLog::UseOwnSum() {
  SetDxScore(Checker_->GetScore());
  SetSquares(Checker_->SquareCount());
}

}  // namespace loggrevy
