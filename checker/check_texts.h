#pragma once

#include <string_view>

// Every text the checker can put into its messages, in Windows-1252. A text
// ending in a blank is followed by a call sign or a number.
namespace loggrevy::msg {

// Identification of the contest
inline constexpr std::string_view kSeveralDays = "Loggen specifierar flera dagar";
inline constexpr std::string_view kWrongYear = "Loggen anger felaktigt \xE5r";
inline constexpr std::string_view kNoContestForDateAndBand =
    "Kombinationen mellan datum och band ej giltigt f\xF6r NAC eller Kvartalstest";
inline constexpr std::string_view kDateNotNumeric = "Testdatum ej numeriskt";
inline constexpr std::string_view kNotIdentified = "Test kunde ej best\xE4mmas. Kontrollen avbryts.";

// Header claims
inline constexpr std::string_view kBandNotInPlan = "Angivet band ej enligt bandplan eller standard";
inline constexpr std::string_view kBandNotForDay = "Ej giltigt band f\xF6r angiven dag.";
inline constexpr std::string_view kNoOwnLocator = "Ingen egen lokator angiven";
inline constexpr std::string_view kNotFromSweden = "Testen ej k\xF6rd fr\xE5n svenskt territorium";
inline constexpr std::string_view kOwnLocatorMalformed = "Egen lokator \xE4r syntaktiskt felaktig";
inline constexpr std::string_view kSquareBonusClaimed = "Fel kr\xE4vd bonuspo\xE4ng per ruta, ";
inline constexpr std::string_view kShouldHaveBeen = ", borde varit ";
inline constexpr std::string_view kSquareMultiplierClaimed = "Felaktig multipler per ruta angiven, ";
inline constexpr std::string_view kShouldHaveBeenOne = ", borde varit 1.";
inline constexpr std::string_view kExchangeBonusClaimed = "Bonus f\xF6r \"exchange\" kr\xE4vd.";
inline constexpr std::string_view kExchangeMultiplierClaimed = "Felaktig multipler per \"exchange\" angiven, ";
inline constexpr std::string_view kDxccBonusClaimed = "Bonus f\xF6r DXCC kr\xE4vd.";
inline constexpr std::string_view kDxccMultiplierClaimed = "Felaktig multipler per DXCC angiven, ";
inline constexpr std::string_view kBandMultiplierClaimed = "Felaktig bandmultipler kr\xE4vd.";

// QSOs
inline constexpr std::string_view kWrongDay = "QSO fr\xE5n fel dag med ";
inline constexpr std::string_view kPartnerLocatorMalformed =
    "Angiven lokator f\xF6r motstationen \xE4r syntaktiskt felaktig";
inline constexpr std::string_view kUnflaggedDuplicate = "Ej flaggat duplikat-QSO ";
inline constexpr std::string_view kPointsDeviate = "Varning: Kr\xE4vd po\xE4ng avviker starkt fr\xE5n verklig f\xF6r ";
inline constexpr std::string_view kNumberNotReceived = "QSO-nummer inte mottaget fr\xE5n ";
inline constexpr std::string_view kWrongNumberSent = "Felaktigt QSO-nummer s\xE4nt till ";
inline constexpr std::string_view kNumberReceived = "QSO-nummer mottaget fr\xE5n ";
inline constexpr std::string_view kNumberSent = "QSO-nummer s\xE4nt till ";
inline constexpr std::string_view kSwedenOutsideSweden = "Varning: SM utanf\xF6r SM (";
inline constexpr std::string_view kVeryLongSwedishQso = "Varning: Extremt l\xE5ngt SM-SM QSO (";
inline constexpr std::string_view kRepeated = " (upprepas)";

// Sections of the 28 MHz contest
inline constexpr std::string_view kWrongSectionGiven = "Deltagaren har angivit felaktig sektion (PSECT)";
inline constexpr std::string_view kWrongSectionForHour = "Fel Sektion under denna timme! \xC4ndrar till \"";
inline constexpr std::string_view kOutsideContestTime =
    "QSO under icke test-tid g\xF6r att sektion ej kan utv\xE4rderas";

// Totals, best DX and club
inline constexpr std::string_view kSquareCountClaimed = "Felaktigt antal rutor angivet";
inline constexpr std::string_view kSquareBonusTotalClaimed = "Felaktig rut-bonus kr\xE4vd";
inline constexpr std::string_view kValidQsoCountClaimed = "Felaktigt antal giltiga QSO:n angivet";
inline constexpr std::string_view kTotalDeviates = "Varning: Totalsumman avviker starkt fr\xE5n verkligheten.";
inline constexpr std::string_view kWrongBestDx = "Fel QSO utpekat som b\xE4sta DX";
inline constexpr std::string_view kMilitaryOtherClub =
    "Varning: Milit\xE4rstation har angivit en annan signal som klubbstation";
inline constexpr std::string_view kClubOtherClub = "Varning: Klubbstation har angivit en annan signal som klubbstation";
inline constexpr std::string_view kClubNotSkOrSl =
    "Varning: Felaktig klubb angiven. Signalen startar ej med SK eller SL";

}  // namespace loggrevy::msg
