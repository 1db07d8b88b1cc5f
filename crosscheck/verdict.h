#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace loggrevy {

// What the cross-check found for one QSO record, in the order of the table
// of verdicts (the JSON counts follow it).
enum class TVerdict : uint8_t {
  Confirmed,
  ConfirmedPartnerBusted,
  ConfirmedPartnerTime,
  BustedCall,
  ProbableBustedCall,
  BustedLocator,
  BustedSerial,
  TimeMismatch,
  NotInLog,
  PartnerUnreadable,
  NoLog,
  Unique,
  OwnCall,
  Unverifiable,
};

inline constexpr std::size_t kVerdictCount = 14;

inline constexpr std::array<TVerdict, kVerdictCount> kAllVerdicts{
    TVerdict::Confirmed,
    TVerdict::ConfirmedPartnerBusted,
    TVerdict::ConfirmedPartnerTime,
    TVerdict::BustedCall,
    TVerdict::ProbableBustedCall,
    TVerdict::BustedLocator,
    TVerdict::BustedSerial,
    TVerdict::TimeMismatch,
    TVerdict::NotInLog,
    TVerdict::PartnerUnreadable,
    TVerdict::NoLog,
    TVerdict::Unique,
    TVerdict::OwnCall,
    TVerdict::Unverifiable,
};

// "confirmed", "busted-call", ...
std::string_view VerdictCode(TVerdict verdict);

// The verdict's text in Windows-1252, or its beginning where the evidence
// follows ("Fel signal, rätt signal ").
std::string_view VerdictTextStart(TVerdict verdict);

// What a count of the verdict is called in reports ("Bekräftade").
std::string_view VerdictCountLabel(TVerdict verdict);

// True for the verdicts that propose the judgement "Felaktig (-100%)".
bool ProposesInvalid(TVerdict verdict);

// True for the verdicts of a paired record, which carry the other record.
bool HasEvidence(TVerdict verdict);

}  // namespace loggrevy
