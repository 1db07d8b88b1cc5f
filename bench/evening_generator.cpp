#include "bench/evening_generator.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <stdexcept>
#include <unordered_set>

#include "bench/generator_parts.h"

namespace loggrevy::bench {
namespace {

constexpr int kEveningMinutes = 240;
constexpr int kClockOffMinutes = 60;
constexpr int kFirstHourUtc = 17;

// Southern and central Sweden, where every QSO between two Swedish stations
// stays well below the checker's "very long" distance.
constexpr std::string_view kSwedishSquares =
    "JO57 JO58 JO59 JO65 JO66 JO67 JO68 JO69 JO75 JO76 JO77 JO78 JO79 JO86 JO87 JO88 JO89 JO99 JP60 JP70 JP80";

struct TStation {
  std::string Call;
  std::string Locator;
  int ClockMinutes = 0;  // added to every time the station logs
};

// One QSO as one log holds it: the partner is a station, unless the log got
// its call or locator wrong (then Altered names the text it logged).
struct TPlanned {
  int32_t Minute;
  int32_t Partner;
  int32_t Altered;  // index of the logged call and locator, or -1
  int8_t Mode;
};

class TEveningPlan {
 public:
  explicit TEveningPlan(const TEveningOptions& options)
      : Options_(options),
        Random_(options.Seed * 0x2545F4914F6CDD1Dull + 29),
        Logs_(static_cast<std::size_t>(options.Logs)) {}

  TEvening Make() {
    const int senders = Options_.Logs;
    for (int i = 0; i < senders; ++i) Stations_.push_back(NewStation(true));
    // Enough stations without a log that each of them is worked by several.
    const int others = Options_.QsosPerLog + senders / 2;
    for (int i = 0; i < others; ++i) Stations_.push_back(NewStation(false));
    SetClocks();
    WorkEachOther();
    WorkTheOthers(others);
    return Write();
  }

 private:
  std::string NewCall(std::string_view prefix) {
    for (;;) {
      std::string call = MakeCall(Random_, prefix);
      if (Used_.insert(call).second) return call;
    }
  }

  // The stations that send a log are Swedish; the others come from anywhere.
  TStation NewStation(bool swedish) {
    const TCountry* country = &PickCountry(Random_);
    while (swedish && !country->Swedish) country = &PickCountry(Random_);
    TStation station;
    station.Call = NewCall(country->Prefix);
    station.Locator = MakeLocator(Random_, PickSquare(Random_, country->Swedish ? kSwedishSquares : country->Squares));
    return station;
  }

  void SetClocks() {
    const int senders = Options_.Logs;
    if (Options_.ClockOffPerMille <= 0 || senders == 0) return;
    const int count = std::max(1, senders * Options_.ClockOffPerMille / 1000);
    for (int i = 0; i < count; ++i)
      Stations_[static_cast<std::size_t>(i * senders / count)].ClockMinutes = kClockOffMinutes;
    Injected_.ClockOffStations = count;
  }

  void Add(int log, int minute, int partner, int8_t mode, int32_t altered = -1) {
    const int clock = Stations_[static_cast<std::size_t>(log)].ClockMinutes;
    Logs_[static_cast<std::size_t>(log)].push_back({std::max(0, minute) + clock, partner, altered, mode});
  }

  int32_t BustedCall(const TStation& station) {
    const std::string& call = station.Call;
    const std::size_t digit = call.find_first_of("0123456789");
    for (;;) {
      std::string busted = call;
      const std::size_t at =
          digit + 1 + static_cast<std::size_t>(Random_.Below(static_cast<int>(call.size() - digit - 1)));
      const char letter = Random_.Letter();
      if (letter == call[at]) continue;
      busted[at] = letter;
      if (Used_.count(busted) != 0) continue;
      Altered_.push_back({busted, station.Locator});
      return static_cast<int32_t>(Altered_.size() - 1);
    }
  }

  int32_t BustedLocator(const TStation& station) {
    std::string locator = station.Locator;
    const char was = locator[5];
    locator[5] = static_cast<char>('A' + (was - 'A' + 1 + Random_.Below(23)) % 24);
    Altered_.push_back({station.Call, locator});
    return static_cast<int32_t>(Altered_.size() - 1);
  }

  // The stations that send a log, shuffled, work each other along a
  // circulant graph: each works the ones a few fixed offsets away, so no
  // pair meets twice and all have the same number of partners.
  void WorkEachOther() {
    const int n = Options_.Logs;
    if (n < 2) return;
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    for (int i = n - 1; i > 0; --i)
      std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(Random_.Below(i + 1))]);
    std::vector<int> offsets(static_cast<std::size_t>(n / 2));
    std::iota(offsets.begin(), offsets.end(), 1);
    const int wanted = std::min(Options_.QsosPerLog * 9 / 10, n - 1);
    const std::size_t count = std::min(offsets.size(), static_cast<std::size_t>((wanted + 1) / 2));
    for (std::size_t i = 0; i < count; ++i) {
      std::swap(offsets[i], offsets[i + static_cast<std::size_t>(Random_.Below(static_cast<int>(offsets.size() - i)))]);
    }
    offsets.resize(count);
    for (const int offset : offsets) {
      // With an even count the offset n / 2 meets each pair from both ends.
      const int last = n % 2 == 0 && offset == n / 2 ? n / 2 : n;
      for (int i = 0; i < last; ++i)
        WorkPair(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>((i + offset) % n)]);
    }
  }

  void WorkPair(int a, int b) {
    const int minute = Random_.Below(kEveningMinutes);
    const int jitter = Random_.Below(3) - 1;
    const auto mode = static_cast<int8_t>(Random_.Below(10) < 6 ? 1 : 2);
    int error = Random_.Below(1000);
    const bool first = Random_.Below(2) == 0;
    const int wrong = first ? a : b;
    const int right = first ? b : a;
    if (error < Options_.MissingPerMille) {
      Add(wrong, minute, right, mode);
      ++Injected_.Missing;
      return;
    }
    error -= Options_.MissingPerMille;
    int32_t altered = -1;
    if (error < Options_.BustedCallPerMille) {
      altered = BustedCall(Stations_[static_cast<std::size_t>(right)]);
      ++Injected_.BustedCalls;
    } else if (error - Options_.BustedCallPerMille < Options_.BustedLocatorPerMille) {
      altered = BustedLocator(Stations_[static_cast<std::size_t>(right)]);
      ++Injected_.BustedLocators;
    }
    Add(wrong, minute, right, mode, altered);
    Add(right, minute + jitter, wrong, mode);
  }

  // The rest of each log: distinct stations that send no log, now and then
  // one that nobody else works.
  void WorkTheOthers(int others) {
    const auto first = static_cast<std::size_t>(Options_.Logs);
    std::vector<bool> worked(static_cast<std::size_t>(others));
    for (int log = 0; log < Options_.Logs; ++log) {
      const int wanted = Options_.QsosPerLog - static_cast<int>(Logs_[static_cast<std::size_t>(log)].size());
      std::fill(worked.begin(), worked.end(), false);
      for (int i = 0; i < wanted; ++i) {
        const int minute = Random_.Below(kEveningMinutes);
        const auto mode = static_cast<int8_t>(Random_.Below(10) < 6 ? 1 : 2);
        if (Random_.PerMille(Options_.UniquePerMille)) {
          Stations_.push_back(NewStation(false));
          Add(log, minute, static_cast<int>(Stations_.size() - 1), mode);
          ++Injected_.Uniques;
          continue;
        }
        int other = Random_.Below(others);
        while (worked[static_cast<std::size_t>(other)]) other = Random_.Below(others);
        worked[static_cast<std::size_t>(other)] = true;
        Add(log, minute, static_cast<int>(first) + other, mode);
      }
    }
  }

  TEvening Write() {
    const TBandRow& band = BandRow(Options_.Band);
    const std::string date = std::to_string(Options_.Year) + TwoDigits(Options_.Month) +
                             TwoDigits(TuesdayOfWeek(Options_.Year, Options_.Month, band.Week));
    TEvening evening;
    evening.Injected = Injected_;
    evening.Texts.reserve(Logs_.size());
    for (std::size_t log = 0; log < Logs_.size(); ++log) {
      std::vector<TPlanned>& planned = Logs_[log];
      std::stable_sort(planned.begin(), planned.end(),
                       [](const TPlanned& a, const TPlanned& b) { return a.Minute < b.Minute; });
      TEdiLog edi;
      edi.Band = Options_.Band;
      edi.Date = date;
      edi.Call = Stations_[log].Call;
      edi.Locator = Stations_[log].Locator;
      edi.Qsos.reserve(planned.size());
      for (const TPlanned& p : planned) {
        const TStation& partner = Stations_[static_cast<std::size_t>(p.Partner)];
        TEdiQso q;
        q.Date = date.substr(2);
        q.Time = TwoDigits(kFirstHourUtc + p.Minute / 60) + TwoDigits(p.Minute % 60);
        q.Mode = p.Mode;
        q.Call = p.Altered < 0 ? partner.Call : Altered_[static_cast<std::size_t>(p.Altered)].first;
        q.Locator = p.Altered < 0 ? partner.Locator : Altered_[static_cast<std::size_t>(p.Altered)].second;
        edi.Qsos.push_back(std::move(q));
      }
      evening.Texts.push_back(WriteEdi(edi));
      std::vector<TPlanned>().swap(planned);
    }
    return evening;
  }

  const TEveningOptions& Options_;
  TRandom Random_;
  std::vector<TStation> Stations_;  // the senders first, in log order
  std::unordered_set<std::string> Used_;
  std::vector<std::vector<TPlanned>> Logs_;
  std::vector<std::pair<std::string, std::string>> Altered_;
  TEveningErrors Injected_;
};

}  // namespace

TEvening GenerateEvening(const TEveningOptions& options) {
  if (options.Logs < 0 || options.QsosPerLog < 0) throw std::invalid_argument("negative count");
  return TEveningPlan(options).Make();
}

std::vector<std::string> WriteEvening(const std::string& dir, const TEvening& evening) {
  std::vector<std::string> paths;
  paths.reserve(evening.Texts.size());
  for (std::size_t i = 0; i < evening.Texts.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "log-%04zu.edi", i);
    const std::string path = (std::filesystem::path(dir) / name).string();
    std::ofstream file(path, std::ios::binary);
    file << evening.Texts[i];
    if (!file) throw std::runtime_error("cannot write " + path);
    paths.push_back(path);
  }
  return paths;
}

}  // namespace loggrevy::bench
