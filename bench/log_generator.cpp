#include "bench/log_generator.h"

#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "bench/generator_parts.h"
#include "core/cp1252.h"

namespace loggrevy::bench {

std::string GenerateLog(const TLogOptions& options) {
  TRandom random(options.Seed * 0x100000001B3ull + 17);
  const TBandRow& band = BandRow(options.Band);
  const int day = TuesdayOfWeek(options.Year, options.Month, band.Week);
  TEdiLog log;
  log.Band = options.Band;
  log.Date = std::to_string(options.Year) + TwoDigits(options.Month) + TwoDigits(day);
  const std::string qsoDate = log.Date.substr(2);

  log.Call = MakeCall(random, random.Below(4) == 0 ? "SA" : "SM");
  TLocatorPoint own{MakeLocator(random, PickSquare(random, SwedishSquares()))};
  LocatorToLatLon(own);
  log.Locator = own.Locator;

  std::vector<TEdiQso>& qsos = log.Qsos;
  qsos.reserve(static_cast<std::size_t>(options.QsoCount));
  for (int i = 0; i < options.QsoCount; ++i) {
    TEdiQso q;
    const int minute = options.QsoCount > 1 ? i * 239 / (options.QsoCount - 1) : 0;
    q.Date = qsoDate;
    q.Time = TwoDigits(18 + minute / 60) + TwoDigits(minute % 60);
    q.Mode = random.Below(10) < 6 ? 1 : 2;
    if (!qsos.empty() && random.PerMille(options.FlaggedDupePerMille)) {
      const TEdiQso& earlier = qsos[static_cast<std::size_t>(random.Below(static_cast<int>(qsos.size())))];
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
    q.WrongClaim = random.PerMille(options.WrongClaimPerMille);
    qsos.push_back(q);
  }
  return WriteEdi(log);
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
