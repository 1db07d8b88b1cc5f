#pragma once

#include <cstdint>
#include <string>

namespace loggrevy {

// What an outline node carries, a single log or a group of logs, and the
// questions the windows ask of it. Texts are Windows-1252; figures that may be
// sums are 64-bit and never wrap.
class TEntry {
 public:
  virtual ~TEntry() = default;
  TEntry(const TEntry&) = delete;
  TEntry& operator=(const TEntry&) = delete;

  // "20060103 : VHF", "Ej identifierad test" or "Ej läsbar EDI-fil".
  virtual std::string GetCaption() const = 0;
  // The competing call ("Tävlande signal").
  virtual std::string GetCall() const = 0;
  // Accepted distance points.
  virtual int64_t GetDxScore() const = 0;
  // Approved number of squares.
  virtual int32_t GetSquares() const = 0;
  virtual int64_t GetSquareBonus() const = 0;
  virtual int64_t GetClaimedScore() const = 0;
  // Accepted total.
  virtual int64_t GetTotalScore() const = 0;
  virtual std::string GetClub() const = 0;
  // The reader's status: 0 clean ... 3 unreadable.
  virtual uint8_t GetEdiStatus() const = 0;
  // The checker's highest severity: 0 none, 1 warning, 2 rule violation, 3 serious.
  virtual uint8_t GetCheckStatus() const = 0;
  virtual bool HasRemarks() const = 0;

 protected:
  TEntry() = default;
};

}  // namespace loggrevy
