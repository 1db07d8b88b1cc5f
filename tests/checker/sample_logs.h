#pragma once

// Partner locators seen from the own locator JO66SD, with the distance that
// CalcQRB gives and the scored kilometres k (whole part + 1):
//   JO55XX  100.0 km  k 101   (JO55, Denmark)
//   JO55AB  250.7 km  k 251   (JO55)
//   JO33PG  512.9 km  k 513
//   JO54NX  199.8 km  k 200
//   JO15VM  612.3 km  k 613
//   JO16TG  612.9 km  k 613
//   JO45JQ  300.3 km  k 301   (outside Sweden)
//   JO44PW  299.2 km  k 300
//   JP53AO  851.7 km  k 852   (Swedish square)
//   JP53CD  800.3 km  k 801   (Swedish square)
//   JP53DD  799.3 km  k 800   (Swedish square)
//   IN38VX 1899.6 km  k 1900
//   AD63OS 19993.4 km k 19994

#include <string>
#include <string_view>

#include "support/check_messages.h"
#include "support/edi_builder.h"

namespace loggrevy::test {

// The checker's texts as the judge reads them (UTF-8).
namespace txt {
inline const std::string kSeveralDays = "Loggen specifierar flera dagar";
inline const std::string kWrongYear = "Loggen anger felaktigt år";
inline const std::string kNoContest = "Kombinationen mellan datum och band ej giltigt för NAC eller Kvartalstest";
inline const std::string kDateNotNumeric = "Testdatum ej numeriskt";
inline const std::string kNotIdentified = "Test kunde ej bestämmas. Kontrollen avbryts.";
inline const std::string kBandNotInPlan = "Angivet band ej enligt bandplan eller standard";
inline const std::string kBandNotForDay = "Ej giltigt band för angiven dag.";
inline const std::string kNoOwnLocator = "Ingen egen lokator angiven";
inline const std::string kNotFromSweden = "Testen ej körd från svenskt territorium";
inline const std::string kOwnLocatorMalformed = "Egen lokator är syntaktiskt felaktig";
inline const std::string kBandMultiplier = "Felaktig bandmultipler krävd.";
inline const std::string kPartnerLocator = "Angiven lokator för motstationen är syntaktiskt felaktig";
inline const std::string kPointsDeviate = "Varning: Krävd poäng avviker starkt från verklig för ";
inline const std::string kSquareCount = "Felaktigt antal rutor angivet";
inline const std::string kSquareBonusTotal = "Felaktig rut-bonus krävd";
inline const std::string kValidQsoCount = "Felaktigt antal giltiga QSO:n angivet";
inline const std::string kTotalDeviates = "Varning: Totalsumman avviker starkt från verkligheten.";
inline const std::string kWrongBestDx = "Fel QSO utpekat som bästa DX";
inline const std::string kWrongSectionGiven = "Deltagaren har angivit felaktig sektion (PSECT)";
inline const std::string kOutsideContestTime = "QSO under icke test-tid gör att sektion ej kan utvärderas";
inline std::string SectionChanged(std::string_view letter) {
  return "Fel Sektion under denna timme! Ändrar till \"" + std::string(letter) + "\"";
}
}  // namespace txt

// The same QSOs on 10 GHz (multiplier 5) on Thursday 28 June 2007.
inline EdiBuilder WorkedExample10GHz() {
  EdiBuilder b;
  b.Date("20070628")
      .Set("PBand", "10 GHz")
      .Qso("070628", "1800", "OZ1AAA", "JO55XX", 505)
      .Qso("070628", "1805", "OZ1BBB", "JO55AB", 1255)
      .Qso("070628", "1810", "DL1CCC", "JO33PG", 2565)
      .Claims(3, 4325, 2, 5325, "DL1CCC", 5);
  return b;
}

}  // namespace loggrevy::test
