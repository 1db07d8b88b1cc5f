#pragma once

#include <string>

#include "model/implog.h"
#include "support/edi_builder.h"

namespace loggrevy::test {

inline constexpr TLocalSettings kSettings{',', 120};

// A clean 144 MHz log of Tuesday 5 June 2007 from JO66SD: QSOs at 100.0 km
// (JO55XX), 250.7 km (JO55AB) and 512.9 km (JO33PG) give 101 + 251 + 513 =
// 865 points in two squares; the claims match.
inline EdiBuilder VhfLog() {
  EdiBuilder b;
  b.Qso("070605", "1800", "OZ1AAA", "JO55XX", 101)
      .Qso("070605", "1805", "OZ1BBB", "JO55AB", 251)
      .Qso("070605", "1810", "DL1CCC", "JO33PG", 513)
      .Claims(3, 865, 2, 1865, "DL1CCC");
  return b;
}

// A Mikro log of Thursday 28 June 2007 on the given band, one QSO at 100.0 km.
inline EdiBuilder MikroLog(const std::string& call, const std::string& band, int multiplier) {
  EdiBuilder b;
  b.Date("20070628")
      .Set("PCall", call)
      .Set("PBand", band)
      .Qso("070628", "1800", "OZ1AAA", "JO55XX", 101 * multiplier)
      .Claims(1, 101 * multiplier, 1, 101 * multiplier + 500, "OZ1AAA", multiplier);
  return b;
}

inline std::unique_ptr<TLog> LogOf(const EdiBuilder& b, int32_t year = 2007) {
  return std::make_unique<TLog>(b.Text(), "test.edi", year, kSettings);
}

}  // namespace loggrevy::test
