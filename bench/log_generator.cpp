#include "bench/log_generator.h"

#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

#include "checker/contest.h"
#include "core/cp1252.h"
#include "core/localtime.h"
#include "core/locator.h"

namespace loggrevy::bench {
namespace {

// splitmix64: small, fast and the same everywhere (the standard library's
// distributions are not).
class TRandom {
 public:
  explicit TRandom(uint64_t seed) : State_(seed) {}
  uint64_t Next() {
    uint64_t z = (State_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  bool PerMille(int share) { return Below(1000) < share; }
  char Letter() { return static_cast<char>('A' + Below(26)); }
  char Digit() { return static_cast<char>('0' + Below(10)); }

 private:
  uint64_t State_;
};

struct TCountry {
  std::string_view Prefix;
  int Weight;
  bool Swedish;
  std::string_view Squares;  // four-character squares, blank-separated
};

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

// The Tuesday of the band's week (1..4) of the month: its evening.
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

struct TQso {
  std::string Call;
  std::string Locator;
  int Mode;
  int Minute;
  int64_t Points;  // claimed
  bool NewSquare;
  bool Dupe;
};

}  // namespace

std::string GenerateLog(const TLogOptions& options) {
  TRandom random(options.Seed * 0x100000001B3ull + 17);
  const TBandRow& band = BandRow(options.Band);
  const int day = TuesdayOfWeek(options.Year, options.Month, band.Week);
  const std::string date = std::to_string(options.Year) + TwoDigits(options.Month) + TwoDigits(day);
  const std::string qsoDate = date.substr(2);

  const std::string ownCall = MakeCall(random, random.Below(4) == 0 ? "SA" : "SM");
  TLocatorPoint own{MakeLocator(random, PickSquare(random, kSwedishSquares))};
  LocatorToLatLon(own);

  std::vector<TQso> qsos;
  qsos.reserve(static_cast<std::size_t>(options.QsoCount));
  std::set<std::string> squares;
  int64_t claimedPoints = 0;
  int claimedQsos = 0;
  double best = -1.0;
  std::string bestCall;
  std::string bestLocator;
  for (int i = 0; i < options.QsoCount; ++i) {
    TQso q{};
    q.Minute = options.QsoCount > 1 ? i * 239 / (options.QsoCount - 1) : 0;
    q.Mode = random.Below(10) < 6 ? 1 : 2;
    if (!qsos.empty() && random.PerMille(options.FlaggedDupePerMille)) {
      const TQso& earlier = qsos[static_cast<std::size_t>(random.Below(static_cast<int>(qsos.size())))];
      q.Call = earlier.Call;
      q.Locator = earlier.Locator;
      q.Dupe = true;
      qsos.push_back(q);
      continue;
    }
    const TCountry& country = PickCountry(random);
    q.Call = MakeCall(random, country.Prefix);
    // Swedish stations are mostly within a few hundred kilometres.
    std::string_view square = PickSquare(random, country.Squares);
    for (int tries = 0; country.Swedish && tries < 4; ++tries) {
      TLocatorPoint probe{MakeLocator(random, square)};
      LocatorToLatLon(probe);
      if (std::abs(probe.Latitude - own.Latitude) < 4.0) break;
      square = PickSquare(random, country.Squares);
    }
    q.Locator = MakeLocator(random, square);
    TLocatorPoint partner{q.Locator};
    double km = 0.0;
    CalcQRB(partner, own, km);
    int64_t points = int64_t{QRBScoreKm(km)} * band.BandMultiplier;
    if (random.PerMille(options.WrongClaimPerMille)) points = points * 13 / 10 + 7;
    q.Points = points;
    q.NewSquare = squares.insert(q.Locator.substr(0, 4)).second;
    claimedPoints += points;
    ++claimedQsos;
    if (km > best) {
      best = km;
      bestCall = q.Call;
      bestLocator = q.Locator;
    }
    qsos.push_back(q);
  }

  const auto squareCount = static_cast<int64_t>(squares.size());
  std::string text;
  text.reserve(1200 + qsos.size() * 52);
  const auto line = [&](std::string_view content) {
    text += content;
    text += "\r\n";
  };
  line("[REG1TEST;1]");
  line("TName=NAC " + options.Band);
  line("TDate=" + date + ";" + date);
  line("PCall=" + ownCall);
  line("PWWLo=" + own.Locator);
  line("PExch=");
  line("PAdr1=");
  line("PAdr2=");
  line("PSect=Single op");
  line("PBand=" + options.Band);
  line("PClub=SK" + std::string(1, ownCall[2]) + "AA");
  line("RName=Karin Lindqvist");
  line("RCall=" + ownCall);
  line("RAdr1=Storgatan 12");
  line("RAdr2=");
  line("RPoCo=753 20");
  line("RCity=G\xF6teborg");
  line("RCoun=Sverige");
  line("RPhon=018-123456");
  line("RHBBS=" + ownCall + "@example.se");
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
  line("[QSORecords;" + std::to_string(qsos.size()) + "]");
  for (const TQso& q : qsos) {
    const int hour = 18 + q.Minute / 60;
    text += qsoDate;
    text += ';';
    text += TwoDigits(hour) + TwoDigits(q.Minute % 60);
    text += ';';
    text += q.Call;
    text += q.Mode == 1 ? ";1;59;;59;;;" : ";2;599;;599;;;";
    text += q.Locator;
    text += ';';
    text += std::to_string(q.Dupe ? 0 : q.Points);
    text += ";;";
    text += q.NewSquare ? "N" : "";
    text += ";;";
    text += q.Dupe ? "D" : "";
    text += "\r\n";
  }
  line("[END; generated]");
  return text;
}

std::string ToUtf16(std::string_view cp1252) {
  std::string bytes("\xFF\xFE", 2);
  bytes.reserve(2 + cp1252.size() * 2);
  for (const char c : cp1252) {
    const char32_t unit = Cp1252ToUnicode(c);
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

TLogOptions BatchLogOptions(int index, int qsoCount, uint64_t seed) {
  // Mostly the 144 and 432 MHz evenings, some 1.3 GHz, and a few microwave
  // logs, which the outline files in groups per call.
  static constexpr std::array<std::string_view, 20> kBands{
      "144 MHz", "144 MHz", "144 MHz", "144 MHz", "144 MHz", "144 MHz", "144 MHz", "144 MHz", "144 MHz", "144 MHz",
      "432 MHz", "432 MHz", "432 MHz", "432 MHz", "432 MHz", "1,3 GHz", "1,3 GHz", "1,3 GHz", "10 GHz",  "2,3 GHz"};
  TLogOptions options;
  options.QsoCount = qsoCount;
  options.Seed = seed * 1000003u + static_cast<uint64_t>(index);
  options.Band = std::string(kBands[static_cast<std::size_t>(index) % kBands.size()]);
  options.Month = 1 + index / static_cast<int>(kBands.size()) % 12;
  return options;
}

std::vector<std::string> WriteBatch(const std::string& dir, int count, int qsoCount, uint64_t seed) {
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "log-%04d.edi", i);
    const std::string path = (std::filesystem::path(dir) / name).string();
    std::ofstream file(path, std::ios::binary);
    file << GenerateLog(BatchLogOptions(i, qsoCount, seed));
    if (!file) throw std::runtime_error("cannot write " + path);
    paths.push_back(path);
  }
  return paths;
}

std::string MakeTempDir(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  return pattern;
}

void RemoveDir(const std::string& dir) {
  std::error_code error;
  std::filesystem::remove_all(dir, error);
}

}  // namespace loggrevy::bench
