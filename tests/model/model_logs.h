#pragma once

#include <string>

#include "model/implog.h"
#include "support/edi_builder.h"

namespace loggrevy::test {

inline constexpr TLocalSettings kSettings{',', 120};

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
