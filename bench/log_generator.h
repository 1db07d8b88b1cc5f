#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loggrevy::bench {

// What one generated log looks like. The same options give the same bytes on
// every machine: the generator uses its own random numbers.
struct TLogOptions {
  int QsoCount = 300;
  uint64_t Seed = 1;
  // "144 MHz", "432 MHz", "1,3 GHz" or "10 GHz": the NAC evening of that band
  // in the month given, on its Tuesday.
  std::string Band = "144 MHz";
  int Year = 2026;
  int Month = 11;
  // Share of QSO lines whose claimed points are off (per mille). Zero makes
  // a log whose every claim is what the checker computes.
  int WrongClaimPerMille = 10;
  // Share of QSO lines that repeat an earlier call flagged "D" (per mille).
  int FlaggedDupePerMille = 10;
};

// A complete EDI (REG1TEST version 1) log with CR LF line ends: a Swedish
// station working Swedish and neighbouring stations on valid locators around
// Scandinavia; claimed figures as a logging program would compute them.
std::string GenerateLog(const TLogOptions& options);

// The same text as a UTF-16 little-endian file with a byte-order mark.
std::string ToUtf16(std::string_view cp1252);

// A batch of count logs of qsoCount QSOs each, written to dir as
// log-NNNN.edi; bands and months vary from log to log. Returns the paths.
std::vector<std::string> WriteBatch(const std::string& dir, int count, int qsoCount, uint64_t seed);

// The options of log number index of a batch (as WriteBatch uses them).
TLogOptions BatchLogOptions(int index, int qsoCount, uint64_t seed);

// A fresh folder under the system's temporary folder.
std::string MakeTempDir(const std::string& prefix);
// Removes a folder made by MakeTempDir with everything in it.
void RemoveDir(const std::string& dir);

}  // namespace loggrevy::bench
