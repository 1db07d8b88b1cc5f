#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace loggrevy {

// A Maidenhead locator with the centre of its six-character subsquare.
struct TLocatorPoint {
  std::string Locator;     // six or eight characters, e.g. JO65AB or JO65AB12
  double Longitude = 0.0;  // degrees, east positive
  double Latitude = 0.0;   // degrees, north positive
};

// True for exactly six or eight characters: A..R, A..R, 0..9, 0..9, A..X, A..X
// and, for eight, two more digits. Upper case only; nothing is trimmed.
bool IsValidLocator(std::string_view locator);

// Sets Longitude and Latitude from the first six characters of Locator. For a
// text that is not a valid locator the point is left at 0.0 / 0.0.
void LocatorToLatLon(TLocatorPoint& point);

// Great-circle distance in km from the partner to the own point. Converts the
// partner first (the caller fills only its Locator); the own point must
// already be converted. Evaluated in 80-bit extended precision.
void CalcQRB(TLocatorPoint& partner, const TLocatorPoint& own, double& distanceKm);

// The kilometres that are scored: the distance truncated, plus one.
int32_t QRBScoreKm(double distanceKm);

// A distance as the judge reads it: one decimal, with the decimal separator
// in force ("41,5").
std::string FormatDistanceKm(double distanceKm, char decimalSeparator);

// The distance of many partners from one own point, with the own point's sine
// and cosine computed once. Gives bit for bit the results of CalcQRB.
class TQrbCalculator {
 public:
  explicit TQrbCalculator(const TLocatorPoint& own);
  // Distance in km to a partner whose co-ordinates are already converted.
  double DistanceTo(const TLocatorPoint& partner) const;

 private:
  long double OwnLongitude_;
  long double OwnCos_;
  long double OwnSin_;
};

}  // namespace loggrevy
