#pragma once

// What both generators of logs share: their own random numbers, calls and
// locators around Scandinavia, the NAC evening of a band, and the EDI text
// of a log with the claims a logging program would compute.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "checker/contest.h"
#include "core/locator.h"

namespace loggrevy::bench {

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

// Swedish squares, weighted towards the south.
std::string_view SwedishSquares();
// A country of the stations heard on VHF, by weight (Sweden the most).
const TCountry& PickCountry(TRandom& random);
std::string_view PickSquare(TRandom& random, std::string_view squares);
// A six-character locator in the square.
std::string MakeLocator(TRandom& random, std::string_view square);
// The prefix, a digit and two or three letters.
std::string MakeCall(TRandom& random, std::string_view prefix);
std::string TwoDigits(int value);
// The Tuesday of the band's week (1..4) of the month: its evening.
int TuesdayOfWeek(int year, int month, int week);
// The checker's row of a band text such as "144 MHz".
const TBandRow& BandRow(const std::string& band);

struct TEdiQso {
  std::string Date;  // YYMMDD
  std::string Time;  // HHMM
  std::string Call;
  int Mode = 1;  // 1 SSB, 2 CW
  std::string Locator;
  bool WrongClaim = false;  // claims 30 % and 7 points too many
  bool Dupe = false;        // a repeated call, flagged "D" and claiming nothing
};

struct TEdiLog {
  std::string Band;  // PBand as written, e.g. "144 MHz"
  std::string Date;  // YYYYMMDD
  std::string Call;
  std::string Locator;
  std::vector<TEdiQso> Qsos;
};

// The complete EDI (REG1TEST version 1) text with CR LF line ends, claimed
// points, squares and best DX computed from the own and the logged locators.
std::string WriteEdi(const TEdiLog& log);

}  // namespace loggrevy::bench
