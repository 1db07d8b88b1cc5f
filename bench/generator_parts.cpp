#include "bench/generator_parts.h"

#include <array>
#include <cmath>
#include <set>
#include <stdexcept>

#include "core/localtime.h"

namespace loggrevy::bench {
namespace {

// Swedish squares (all of them Swedish territory) weighted towards the south
// by repetition, and the squares of the neighbours that are heard on VHF.
constexpr std::string_view kSwedishSquares =
    "JO65 JO66 JO67 JO68 JO75 JO76 JO77 JO78 JO79 JO86 JO87 JO88 JO89 JO96 JO97 JO98 JO99 "
    "JO57 JO58 JO59 JO69 JO67 JO77 JO88 JO89 JO99 JP60 JP70 JP80 JP90 JP71 JP81 JP72 JP82 "
    "JP73 JP83 JP93 JP74 JP84 JP94 JP75 JP85 JP95 JP76 JP86 JP96 KP03 KP04 KP05 KP15 KP25";

constexpr std::array<TCountry, 11> kCountries{{
    {"SM", 40, true, kSwedishSquares},
    {"SA", 10, true, kSwedishSquares},
    {"SK", 4, true, kSwedishSquares},
    {"LA", 10, false, "JO38 JO48 JO49 JO59 JP20 JP30 JP40 JP50"},
    {"OH", 12, false, "KP01 KP02 KP10 KP11 KP20 KP21 KP30 KP31 KP40"},
    {"OZ", 8, false, "JO45 JO46 JO54 JO55 JO56 JO57"},
    {"ES", 4, false, "KO18 KO19 KO28 KO29 KO38 KO39"},
    {"YL", 2, false, "KO26 KO27 KO36 KO37"},
    {"LY", 2, false, "KO14 KO15 KO24 KO25"},
    {"SP", 4, false, "JO73 JO74 JO82 JO83 JO93 JO94 KO02 KO03"},
    {"DL", 4, false, "JO42 JO43 JO44 JO53 JO54 JO62 JO63 JO64"},
}};

}  // namespace

std::string_view SwedishSquares() { return kSwedishSquares; }

std::string_view PickSquare(TRandom& random, std::string_view squares) {
  const int count = static_cast<int>((squares.size() + 1) / 5);
  return squares.substr(static_cast<std::size_t>(random.Below(count)) * 5, 4);
}

std::string MakeLocator(TRandom& random, std::string_view square) {
  std::string locator(square);
  locator += static_cast<char>('A' + random.Below(24));
  locator += static_cast<char>('A' + random.Below(24));
  return locator;
}

const TCountry& PickCountry(TRandom& random) {
  int pick = random.Below(100);
  for (const TCountry& country : kCountries) {
    if (pick < country.Weight) return country;
    pick -= country.Weight;
  }
  return kCountries.front();
}

std::string MakeCall(TRandom& random, std::string_view prefix) {
  std::string call(prefix);
  call += static_cast<char>('0' + random.Below(8));
  const int letters = 2 + random.Below(2);
  for (int i = 0; i < letters; ++i) call += random.Letter();
  return call;
}

std::string TwoDigits(int value) {
  std::string text(2, '0');
  text[0] = static_cast<char>('0' + value / 10 % 10);
  text[1] = static_cast<char>('0' + value % 10);
  return text;
}

int TuesdayOfWeek(int year, int month, int week) {
  for (int day = (week - 1) * 7 + 1; day <= week * 7; ++day) {
    if (DayOfWeek(year, month, day) == 2) return day;
  }
  return 1;
}

const TBandRow& BandRow(const std::string& band) {
  const std::string normalised = NormaliseBand(band);
  for (const TBandRow& row : BandTable()) {
    if (row.Band == normalised) return row;
  }
  throw std::invalid_argument("unknown band " + band);
}

std::string WriteEdi(const TEdiLog& log) {
  const TBandRow& band = BandRow(log.Band);
  TLocatorPoint own{log.Locator};
  LocatorToLatLon(own);

  std::vector<int64_t> points(log.Qsos.size(), 0);
  std::vector<bool> newSquare(log.Qsos.size(), false);
  std::set<std::string> squares;
  int64_t claimedPoints = 0;
  int claimedQsos = 0;
  double best = -1.0;
  std::string bestCall;
  std::string bestLocator;
  for (std::size_t i = 0; i < log.Qsos.size(); ++i) {
    const TEdiQso& q = log.Qsos[i];
    if (q.Dupe) continue;
    TLocatorPoint partner{q.Locator};
    double km = 0.0;
    CalcQRB(partner, own, km);
    int64_t claimed = int64_t{QRBScoreKm(km)} * band.BandMultiplier;
    if (q.WrongClaim) claimed = claimed * 13 / 10 + 7;
    points[i] = claimed;
    newSquare[i] = squares.insert(q.Locator.substr(0, 4)).second;
    claimedPoints += claimed;
    ++claimedQsos;
    if (km > best) {
      best = km;
      bestCall = q.Call;
      bestLocator = q.Locator;
    }
  }

  const auto squareCount = static_cast<int64_t>(squares.size());
  std::string text;
  text.reserve(1200 + log.Qsos.size() * 52);
  const auto line = [&](std::string_view content) {
    text += content;
    text += "\r\n";
  };
  line("[REG1TEST;1]");
  line("TName=NAC " + log.Band);
  line("TDate=" + log.Date + ";" + log.Date);
  line("PCall=" + log.Call);
  line("PWWLo=" + log.Locator);
  line("PExch=");
  line("PAdr1=");
  line("PAdr2=");
  line("PSect=Single op");
  line("PBand=" + log.Band);
  line("PClub=SK" + std::string(1, log.Call[2]) + "AA");
  line("RName=Karin Lindqvist");
  line("RCall=" + log.Call);
  line("RAdr1=Storgatan 12");
  line("RAdr2=");
  line("RPoCo=753 20");
  line("RCity=G\xF6teborg");
  line("RCoun=Sverige");
  line("RPhon=018-123456");
  line("RHBBS=" + log.Call + "@example.se");
  line("MOpe1=");
  line("MOpe2=");
  line("STXEq=IC-9700");
  line("SPowe=100");
  line("SRXEq=IC-9700");
  line("SAnte=2 x 9 el. yagi");
  line("SAntH=10;50");
  line("CQSOs=" + std::to_string(claimedQsos) + ";" + std::to_string(band.BandMultiplier));
  line("CQSOP=" + std::to_string(claimedPoints));
  line("CWWLs=" + std::to_string(squareCount) + ";" + std::to_string(band.SquareBonus) + ";1");
  line("CWWLB=" + std::to_string(squareCount * band.SquareBonus));
  line("CExcs=0;0;0");
  line("CExcB=0");
  line("CDXCs=0;0;0");
  line("CDXCB=0");
  line("CToSc=" + std::to_string(claimedPoints + squareCount * band.SquareBonus));
  line("CODXC=" + bestCall + ";" + bestLocator + ";" + std::to_string(static_cast<int>(best)));
  line("[Remarks]");
  line("Tack f\xF6r testen! Bra f\xF6rh\xE5llanden mot OH.");
  line("[QSORecords;" + std::to_string(log.Qsos.size()) + "]");
  for (std::size_t i = 0; i < log.Qsos.size(); ++i) {
    const TEdiQso& q = log.Qsos[i];
    text += q.Date;
    text += ';';
    text += q.Time;
    text += ';';
    text += q.Call;
    text += q.Mode == 1 ? ";1;59;;59;;;" : ";2;599;;599;;;";
    text += q.Locator;
    text += ';';
    text += std::to_string(points[i]);
    text += ";;";
    text += newSquare[i] ? "N" : "";
    text += ";;";
    text += q.Dupe ? "D" : "";
    text += "\r\n";
  }
  line("[END; generated]");
  return text;
}

}  // namespace loggrevy::bench
