#pragma once

#include <string_view>

// Every text the EDI reader can put into Diagnostics, in Windows-1252.
namespace loggrevy::diag {

inline constexpr std::string_view kIncompatibleVersion = "Ej kompatibel EDI version";
inline constexpr std::string_view kIncomplete = "EDI-loggen ej komplett";
inline constexpr std::string_view kTooFewQsoLines = "F\xF6r f\xE5 QSO-rader! Anpassar QSO-antal.";
// "Nyckelordet " + keyword + " saknas."
inline constexpr std::string_view kMissingKeywordBefore = "Nyckelordet ";
inline constexpr std::string_view kMissingKeywordAfter = " saknas.";
// The three diagnostics of a read that failed.
inline constexpr std::string_view kFailure1 = "EDI-filen f\xF6ljer ej standard och kan ej l\xE4sas.";
inline constexpr std::string_view kFailure2 = "Felet orsakade en ohanterad exception, skicka den d\xE4rf\xF6r";
inline constexpr std::string_view kFailure3 = "till support f\xF6r utredning av programfelet.";

inline constexpr std::string_view kUnknownKeyword = "Ok\xE4nt nyckelord";
inline constexpr std::string_view kDuplicateKeyword = "Duplikat p\xE5 nyckelord";
inline constexpr std::string_view kInvalidValue = "Ogiltigt v\xE4rde";
inline constexpr std::string_view kInvalidValueRepeated = "Ogiltigt v\xE4rde (upprepas)";
inline constexpr std::string_view kInvalidDate = "Datum specifierat p\xE5 ogiltigt format";
inline constexpr std::string_view kUnreadableQsoLine = "Ej l\xE4sbar QSO-rad";

}  // namespace loggrevy::diag
