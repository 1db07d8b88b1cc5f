#include "core/locator.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace loggrevy {
namespace {

constexpr long double kDegToRad = 0.017453292519943295769L;
// The nearest 80-bit value to 20016 / pi: one degree of arc is 111.2 km.
constexpr long double kEarthRadiusKm = 6371.2906818547540815L;

bool InRange(char c, char low, char high) { return c >= low && c <= high; }

bool IsValidSubsquare(std::string_view six) {
  return six.size() == 6 && InRange(six[0], 'A', 'R') && InRange(six[1], 'A', 'R') && InRange(six[2], '0', '9') &&
         InRange(six[3], '0', '9') && InRange(six[4], 'A', 'X') && InRange(six[5], 'A', 'X');
}

// The last term of each co-ordinate, (letter + 0.5) / 12 for the longitude and
// (letter + 0.5) / 24 for the latitude, for the 24 subsquare letters: the same
// extended-precision quotients the expression gives, divided once.
constexpr std::array<long double, 24> SubsquareTerms(int divisor) {
  std::array<long double, 24> terms{};
  for (int letter = 0; letter < 24; ++letter) terms[static_cast<std::size_t>(letter)] = (letter + 0.5L) / divisor;
  return terms;
}

constexpr std::array<long double, 24> kLongitudeTerms = SubsquareTerms(12);
constexpr std::array<long double, 24> kLatitudeTerms = SubsquareTerms(24);

// The cosine and sine of every latitude a six-character locator can give (18
// fields x 10 squares x 24 subsquares), computed as DistanceTo computes them,
// so that a partner's latitude costs no trigonometry of its own.
struct TLatitudeRow {
  double Latitude;
  long double Cos;
  long double Sin;
};
constexpr std::size_t kLatitudeRows = 18 * 10 * 24;

// The row of a latitude: (latitude + 90) x 24 is the row number and a half.
std::size_t LatitudeRow(double latitude) {
  const double place = (latitude + 90.0) * 24.0;
  return place >= 0.0 && place < static_cast<double>(kLatitudeRows) ? static_cast<std::size_t>(place) : 0;
}

const std::array<TLatitudeRow, kLatitudeRows>& LatitudeTable() {
  static const std::array<TLatitudeRow, kLatitudeRows> table = [] {
    std::array<TLatitudeRow, kLatitudeRows> rows{};
    for (std::size_t field = 0; field < 18; ++field) {
      for (std::size_t square = 0; square < 10; ++square) {
        for (std::size_t letter = 0; letter < 24; ++letter) {
          const auto latitude = static_cast<double>(static_cast<long double>(field) * 10 - 90 +
                                                    static_cast<long double>(square) + kLatitudeTerms[letter]);
          const long double phi = static_cast<long double>(latitude) * kDegToRad;
          rows[LatitudeRow(latitude)] = {latitude, cosl(phi), sinl(phi)};
        }
      }
    }
    return rows;
  }();
  return table;
}

}  // namespace

bool IsValidLocator(std::string_view loc) {
  if (loc.size() != 6 && loc.size() != 8) return false;
  if (!IsValidSubsquare(loc.substr(0, 6))) return false;
  return loc.size() == 6 || (InRange(loc[6], '0', '9') && InRange(loc[7], '0', '9'));
}

void LocatorToLatLon(TLocatorPoint& point) {
  const std::string_view six = std::string_view(point.Locator).substr(0, 6);
  if (!IsValidSubsquare(six)) {
    point.Longitude = 0.0;
    point.Latitude = 0.0;
    return;
  }
  const auto code = [&](std::size_t i) { return static_cast<long double>(static_cast<unsigned char>(six[i])); };
  // Each co-ordinate is one extended-precision expression, stored as a double.
  const auto letter = [&](std::size_t i) { return static_cast<std::size_t>(six[i] - 'A'); };
  point.Longitude = static_cast<double>((code(0) - 'A') * 20 - 180 + (code(2) - '0') * 2 + kLongitudeTerms[letter(4)]);
  point.Latitude = static_cast<double>((code(1) - 'A') * 10 - 90 + (code(3) - '0') + kLatitudeTerms[letter(5)]);
}

TQrbCalculator::TQrbCalculator(const TLocatorPoint& own)
    : OwnLongitude_(static_cast<long double>(own.Longitude) * kDegToRad),
      OwnCos_(cosl(static_cast<long double>(own.Latitude) * kDegToRad)),
      OwnSin_(sinl(static_cast<long double>(own.Latitude) * kDegToRad)) {}

double TQrbCalculator::DistanceTo(const TLocatorPoint& partner) const {
  const long double lambdaP = static_cast<long double>(partner.Longitude) * kDegToRad;
  const TLatitudeRow& row = LatitudeTable()[LatitudeRow(partner.Latitude)];
  long double cosP;
  long double sinP;
  if (row.Latitude == partner.Latitude) {
    cosP = row.Cos;
    sinP = row.Sin;
  } else {
    const long double phiP = static_cast<long double>(partner.Latitude) * kDegToRad;
    cosP = cosl(phiP);
    sinP = sinl(phiP);
  }
  long double c = cosl(OwnLongitude_ - lambdaP) * OwnCos_ * cosP + OwnSin_ * sinP;
  if (c > 1.0L) return 0.0;
  // Nearly antipodal points can round below -1; the arc is then half a circle.
  if (c < -1.0L) c = -1.0L;
  const double sigma = static_cast<double>(atan2l(sqrtl(1.0L - c * c), c));
  return static_cast<double>(static_cast<long double>(sigma) * kEarthRadiusKm);
}

void CalcQRB(TLocatorPoint& partner, const TLocatorPoint& own, double& distanceKm) {
  LocatorToLatLon(partner);
  distanceKm = TQrbCalculator(own).DistanceTo(partner);
}

// The conversion truncates towards zero by itself; no call to trunc needed.
int32_t QRBScoreKm(double distanceKm) { return static_cast<int32_t>(distanceKm) + 1; }

std::string FormatDistanceKm(double distanceKm, char decimalSeparator) {
  char text[64];
  std::snprintf(text, sizeof text, "%1.1f", distanceKm);
  std::string result(text);
  for (char& c : result) {
    if (c == '.') c = decimalSeparator;
  }
  return result;
}

}  // namespace loggrevy
