#include "core/locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

namespace loggrevy {
namespace {

struct TValidityCase {
  const char* Locator;
  bool Valid;
};

TEST(Locator, Syntax) {
  const TValidityCase cases[] = {
      {"JO65AB", true},   {"JO65AB12", true},  {"AA00AA", true},     {"RR99XX", true},    {"JO65AX99", true},
      {"JO65AB1", false}, {"JO65", false},     {"JO65A", false},     {"jo65ab", false},   {"JO65ab", false},
      {"SS00AA", false},  {"JO65AY", false},   {"JO65AB123", false}, {"", false},         {" JO65AB", false},
      {"JO65AB ", false}, {"JO6AAB", false},   {"J065AB", false},    {"JO65AB1A", false}, {"JOA5AB", false},
      {"JO65A B", false}, {"JO65AB 1", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidLocator(c.Locator), c.Valid) << c.Locator;
  }
}

TEST(Locator, CentreOfSubsquare) {
  TLocatorPoint point{"JO65AB"};
  LocatorToLatLon(point);
  EXPECT_DOUBLE_EQ(point.Longitude, 12.0 + 1.0 / 24.0);
  EXPECT_EQ(point.Latitude, 55.0625);

  // The two extra digits of an eight-character locator do not move the point.
  TLocatorPoint eight{"JO65AB12"};
  LocatorToLatLon(eight);
  EXPECT_EQ(eight.Longitude, point.Longitude);
  EXPECT_EQ(eight.Latitude, point.Latitude);

  TLocatorPoint corner{"AA00AA"};
  LocatorToLatLon(corner);
  EXPECT_DOUBLE_EQ(corner.Longitude, -180.0 + 1.0 / 24.0);
  EXPECT_DOUBLE_EQ(corner.Latitude, -90.0 + 1.0 / 48.0);
}

struct TDistanceCase {
  const char* Partner;
  const char* Own;
  double Km;
  int32_t Scored;
};

double Distance(const std::string& partnerLocator, const std::string& ownLocator) {
  TLocatorPoint own{ownLocator};
  LocatorToLatLon(own);
  TLocatorPoint partner{partnerLocator};
  double km = -1.0;
  CalcQRB(partner, own, km);
  return km;
}

TEST(Locator, DistanceAndScoredKilometres) {
  const TDistanceCase cases[] = {
      {"JO65AB", "JO65AB", 0.0, 1},        {"JO65AB12", "JO65AB", 0.0, 1}, {"JO99BM", "JO89VU", 41.52, 42},
      {"KP03BE", "JO65AA", 1016.90, 1017}, {"JO65AB", "JO65AA", 4.63, 5},  {"JO65AA", "JO65AB", 4.63, 5},
  };
  for (const auto& c : cases) {
    const double km = Distance(c.Partner, c.Own);
    EXPECT_NEAR(km, c.Km, 0.005) << c.Partner << " - " << c.Own;
    EXPECT_EQ(QRBScoreKm(km), c.Scored) << c.Partner << " - " << c.Own;
  }
}

TEST(Locator, CalcQrbConvertsThePartner) {
  TLocatorPoint own{"JO65AA"};
  LocatorToLatLon(own);
  TLocatorPoint partner{"JO65AB"};
  double km = 0.0;
  CalcQRB(partner, own, km);
  EXPECT_EQ(partner.Latitude, 55.0625);
}

// These pairs lie within rounding of a whole kilometre: the formula evaluated
// in double precision only would score one kilometre less (JN65AA) or more
// (JP66AG). The scores below are those of the extended-precision evaluation.
TEST(Locator, ExtendedPrecisionDecidesTheWholeKilometre) {
  EXPECT_EQ(QRBScoreKm(Distance("JN65AA", "JO65AA")), 1113);
  EXPECT_EQ(QRBScoreKm(Distance("JP66AG", "JO65AA")), 1251);
  EXPECT_EQ(QRBScoreKm(Distance("JN61AG", "JO65AA")), 1530);
}

TEST(Locator, CalculatorMatchesCalcQrbBitForBit) {
  const char* owns[] = {"JO65AA", "JO89VU", "KP03BE", "AA00AA"};
  const char* partners[] = {"JO65AA", "JO99BM", "JN65AA", "JP66AG", "IO91WM", "RR99XX", "KP03BE12"};
  for (const char* ownText : owns) {
    TLocatorPoint own{ownText};
    LocatorToLatLon(own);
    const TQrbCalculator calculator(own);
    for (const char* partnerText : partners) {
      TLocatorPoint partner{partnerText};
      double km = 0.0;
      CalcQRB(partner, own, km);
      EXPECT_EQ(calculator.DistanceTo(partner), km) << partnerText << " - " << ownText;
    }
  }
}

// The distance written out with a trigonometric call per latitude, as the
// calculator kept no table.
double DirectDistance(const TLocatorPoint& own, const TLocatorPoint& partner) {
  constexpr long double kDegToRad = 0.017453292519943295769L;
  const long double ownPhi = static_cast<long double>(own.Latitude) * kDegToRad;
  const long double phi = static_cast<long double>(partner.Latitude) * kDegToRad;
  long double c = cosl(static_cast<long double>(own.Longitude) * kDegToRad -
                       static_cast<long double>(partner.Longitude) * kDegToRad) *
                      cosl(ownPhi) * cosl(phi) +
                  sinl(ownPhi) * sinl(phi);
  if (c > 1.0L) return 0.0;
  if (c < -1.0L) c = -1.0L;
  const double sigma = static_cast<double>(atan2l(sqrtl(1.0L - c * c), c));
  return static_cast<double>(static_cast<long double>(sigma) * 6371.2906818547540815L);
}

// Every latitude a locator can give, from the table and from its own
// trigonometry, to the bit; and a latitude no locator gives.
TEST(Locator, LatitudeTableGivesTheDistanceToTheBit) {
  TLocatorPoint own{"JO89VU"};
  LocatorToLatLon(own);
  const TQrbCalculator qrb(own);
  int differing = 0;
  std::string locator = "JA00AA";
  for (char field = 'A'; field <= 'R'; ++field) {
    for (char square = '0'; square <= '9'; ++square) {
      for (char letter = 'A'; letter <= 'X'; ++letter) {
        locator[1] = field;
        locator[3] = square;
        locator[5] = letter;
        TLocatorPoint partner{locator};
        LocatorToLatLon(partner);
        const double distance = qrb.DistanceTo(partner);
        const double direct = DirectDistance(own, partner);
        if (std::memcmp(&distance, &direct, sizeof distance) != 0) ++differing;
      }
    }
  }
  EXPECT_EQ(differing, 0);
  TLocatorPoint between{"JO99BM"};
  LocatorToLatLon(between);
  between.Latitude += 1e-9;
  EXPECT_EQ(qrb.DistanceTo(between), DirectDistance(own, between));
}

TEST(Locator, ScoredKilometres) {
  const std::pair<double, int32_t> cases[] = {
      {0.0, 1}, {0.999, 1}, {1.0, 2}, {41.52, 42}, {42.0, 43}, {41.999999999999993, 42}, {20016.0, 20017},
  };
  for (const auto& [km, scored] : cases) EXPECT_EQ(QRBScoreKm(km), scored) << km;
}

TEST(Locator, AntipodeIsHalfAGreatCircle) {
  // AD64AX is the exact antipode of JO65AA; a cosine rounded below -1 must
  // not turn into a missing distance.
  const double km = Distance("AD64AX", "JO65AA");
  EXPECT_NEAR(km, 20016.0, 0.001);
}

TEST(Locator, DistanceIsShownWithOneDecimalAndTheSeparatorInForce) {
  const std::tuple<double, char, std::string> cases[] = {
      {41.52, ',', "41,5"},     {41.52, '.', "41.5"},      {0.0, ',', "0,0"},
      {1016.96, ',', "1017,0"}, {20016.0, '.', "20016.0"},
  };
  for (const auto& [km, separator, text] : cases) EXPECT_EQ(FormatDistanceKm(km, separator), text) << km;
}

}  // namespace
}  // namespace loggrevy
