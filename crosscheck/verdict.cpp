#include "crosscheck/verdict.h"

namespace loggrevy {
namespace {

struct TVerdictRow {
  std::string_view Code;
  std::string_view Text;  // Windows-1252
  std::string_view CountLabel;
  bool Invalid;
  bool Evidence;
};

constexpr std::array<TVerdictRow, kVerdictCount> kVerdicts{{
    {"confirmed",
     "Bekr\xE4"
     "ftad",
     "Bekr\xE4"
     "ftade",
     false, true},
    {"confirmed-partner-busted",
     "Bekr\xE4"
     "ftad, motstationen loggade ",
     "Bekr\xE4"
     "ftade, motstationen loggade fel signal",
     false, true},
    {"confirmed-partner-time",
     "Bekr\xE4"
     "ftad, motstationens tid avviker ",
     "Bekr\xE4"
     "ftade, motstationens tid avviker",
     false, true},
    {"busted-call", "Fel signal, r\xE4tt signal ", "Fel signal", true, true},
    {"probable-busted-call", "Trolig fel signal, troligen ", "Trolig fel signal", true, false},
    {"busted-locator", "Fel lokator, r\xE4tt lokator ", "Fel lokator", true, true},
    {"busted-serial", "Fel mottaget QSO-nummer, r\xE4tt nummer ", "Fel mottaget QSO-nummer", true, true},
    {"time-mismatch", "Tidsfel, ", "Tidsfel", true, true},
    {"not-in-log", "Finns ej i motstationens logg", "Finns ej i motstationens logg", true, false},
    {"partner-unreadable", "Motstationens logg kunde inte l\xE4sas", "Motstationens logg kunde inte l\xE4sas", false,
     false},
    {"no-log", "Ingen logg fr\xE5n motstationen", "Ingen logg fr\xE5n motstationen", false, false},
    {"unique", "Unik signal, ingen annan har loggat den", "Unik signal", false, false},
    {"own-call", "QSO med egen signal", "QSO med egen signal", true, false},
    {"unverifiable", "Kan ej kontrolleras, tid eller signal saknas", "Kan ej kontrolleras", false, false},
}};

const TVerdictRow& Row(TVerdict verdict) { return kVerdicts[static_cast<std::size_t>(verdict)]; }

}  // namespace

std::string_view VerdictCode(TVerdict verdict) { return Row(verdict).Code; }
std::string_view VerdictTextStart(TVerdict verdict) { return Row(verdict).Text; }
std::string_view VerdictCountLabel(TVerdict verdict) { return Row(verdict).CountLabel; }
bool ProposesInvalid(TVerdict verdict) { return Row(verdict).Invalid; }
bool HasEvidence(TVerdict verdict) { return Row(verdict).Evidence; }

}  // namespace loggrevy
