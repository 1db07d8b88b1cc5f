#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace loggrevy::bench {

// One NAC evening as its participants log it. The same options give the same
// bytes on every machine.
struct TEveningOptions {
  int Logs = 100;        // stations that send a log
  int QsosPerLog = 300;  // about; a QSO missing from a log makes it one less
  uint64_t Seed = 1;
  // "144 MHz", "432 MHz", "1,3 GHz" or "10 GHz": the evening of that band in
  // the month given, on its Tuesday, 17:00 to 21:00 UTC.
  std::string Band = "144 MHz";
  int Year = 2026;
  int Month = 11;
  // Of the QSOs between two stations that send a log (per mille): one side
  // did not log it, one side logged the call one letter off, one side logged
  // the locator one subsquare letter off.
  int MissingPerMille = 20;
  int BustedCallPerMille = 10;
  int BustedLocatorPerMille = 10;
  // Of the QSOs with stations that send no log: a call nobody else works.
  int UniquePerMille = 5;
  // Stations whose clock is an hour fast (at least one when not zero).
  int ClockOffPerMille = 10;
};

// What was put in, to set beside the verdicts of the cross-check.
struct TEveningErrors {
  int Missing = 0;
  int BustedCalls = 0;
  int BustedLocators = 0;
  int Uniques = 0;
  int ClockOffStations = 0;
};

struct TEvening {
  std::vector<std::string> Texts;  // one EDI text (CR LF, Windows-1252) per log
  TEveningErrors Injected;
};

// The stations that send a log work each other (both log the QSO, a minute
// apart at most, with the other's call and locator): nine QSOs in ten where
// there are enough of them, every other one in a small evening. The rest
// are with stations that send no log but that several of them work. Each
// log's claims are what a logging program would compute from what it logged.
TEvening GenerateEvening(const TEveningOptions& options);

// Writes the texts to dir as log-NNNN.edi and returns the paths.
std::vector<std::string> WriteEvening(const std::string& dir, const TEvening& evening);

}  // namespace loggrevy::bench
