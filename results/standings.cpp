#include "results/standings.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "checker/contest.h"
#include "core/text.h"
#include "crosscheck/keys.h"

namespace loggrevy {
namespace {

constexpr std::string_view kKindSeparator = " : ";

// The kind's number (VHF 1 ... 28M 7); a kind the checker does not name
// after them.
int KindOrder(std::string_view kind) {
  for (int k = 1; k <= 7; ++k) {
    if (KindName(static_cast<TContestKind>(k)) == kind) return k;
  }
  return 8;
}

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// The rows of a contest that count: one per station key, the higher points
// when a station has two (the first on a tie).
struct TContestRow {
  const TResultRow* Row;
  std::string Station;
  int64_t Points;
};

std::vector<TContestRow> CountingRows(const TResultList& list, bool normalise) {
  std::vector<TContestRow> rows;
  std::unordered_map<std::string, std::size_t> byStation;
  for (const TResultRow& row : list.Rows) {
    std::string station = StationKey(row.Call);
    if (station.empty()) continue;
    const int64_t points = std::max<int64_t>(row.TotalScore, 0);
    const auto [found, added] = byStation.try_emplace(station, rows.size());
    if (added) {
      rows.push_back({&row, std::move(station), points});
    } else if (points > rows[found->second].Points) {
      rows[found->second].Row = &row;
      rows[found->second].Points = points;
    }
  }
  if (normalise) {
    int64_t winner = 0;
    for (const TContestRow& row : rows) winner = std::max(winner, row.Points);
    for (TContestRow& row : rows) row.Points = NormalisedPoints(row.Points, winner);
  }
  return rows;
}

// Places by total, highest first; equal totals share a place. The rows are
// already in ranking order.
template <typename TRow>
void Rank(std::vector<TRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].Place = i > 0 && rows[i].Total == rows[i - 1].Total ? rows[i - 1].Place : static_cast<int32_t>(i + 1);
  }
}

TSeriesStandings SeriesOf(std::string year, std::string kind, std::vector<const TResultList*> contests,
                          TStandingsOptions options) {
  TSeriesStandings series;
  series.Year = std::move(year);
  series.Kind = std::move(kind);
  series.Best = options.Best;
  series.Normalised = options.Normalise;
  std::stable_sort(contests.begin(), contests.end(),
                   [](const TResultList* a, const TResultList* b) { return a->Caption < b->Caption; });
  const std::size_t count = contests.size();
  for (const TResultList* list : contests) series.Contests.push_back(list->Caption);

  std::map<std::string, TStandingsRow> stations;  // by key, in ordinal order
  struct TClub {
    TClubRow Row;
    std::set<std::string> Members;
  };
  std::map<std::string, TClub> clubs;
  for (std::size_t c = 0; c < count; ++c) {
    for (TContestRow& entry : CountingRows(*contests[c], options.Normalise)) {
      TStandingsRow& station = stations[entry.Station];
      if (station.Points.empty()) {
        station.Station = entry.Station;
        station.Points.resize(count);
        station.Counted.resize(count);
      }
      station.Points[c] = entry.Points;
      ++station.Contests;
      // The contests come in date order: the latest call and club stay.
      station.Call = entry.Row->Call;
      const std::string_view club = TrimControls(entry.Row->Club);
      if (!club.empty()) station.Club = club;
      if (club.empty()) continue;
      std::string name = UpperCaseAscii(club);
      TClub& team = clubs[name];
      if (team.Row.Points.empty()) {
        team.Row.Club = std::move(name);
        team.Row.Points.resize(count);
      }
      team.Row.Points[c] = team.Row.Points[c].value_or(0) + entry.Points;
      team.Row.Total += entry.Points;
      team.Members.insert(entry.Station);
    }
  }

  for (auto& [key, station] : stations) {
    std::vector<std::size_t> order;
    for (std::size_t c = 0; c < count; ++c) {
      if (station.Points[c]) order.push_back(c);
    }
    // The most points first; on equal points the earlier contest.
    std::stable_sort(order.begin(), order.end(),
                     [&points = station.Points](std::size_t a, std::size_t b) { return *points[a] > *points[b]; });
    if (options.Best > 0 && order.size() > static_cast<std::size_t>(options.Best))
      order.resize(static_cast<std::size_t>(options.Best));
    for (const std::size_t c : order) {
      station.Counted[c] = true;
      station.Total += *station.Points[c];
    }
    series.Rows.push_back(std::move(station));
  }
  std::stable_sort(series.Rows.begin(), series.Rows.end(),
                   [](const TStandingsRow& a, const TStandingsRow& b) { return a.Total > b.Total; });
  Rank(series.Rows);

  for (auto& [name, club] : clubs) {
    club.Row.Members = static_cast<int32_t>(club.Members.size());
    series.Clubs.push_back(std::move(club.Row));
  }
  std::stable_sort(series.Clubs.begin(), series.Clubs.end(),
                   [](const TClubRow& a, const TClubRow& b) { return a.Total > b.Total; });
  Rank(series.Clubs);
  return series;
}

}  // namespace

int64_t NormalisedPoints(int64_t points, int64_t winner) {
  if (winner <= 0) return 0;
  // 1000 times a total read from a crafted file need not fit 64 bits.
  __extension__ using TWide = __int128;
  const TWide scaled = TWide{1000} * std::max<int64_t>(points, 0) + winner / 2;
  return static_cast<int64_t>(scaled / winner);
}

std::vector<TSeriesStandings> BuildStandings(const std::vector<TResultList>& lists, TStandingsOptions options) {
  // Year, kind number and kind text; the map keeps the series in order.
  std::map<std::tuple<std::string, int, std::string>, std::vector<const TResultList*>> series;
  for (const TResultList& list : lists) {
    if (!IsDatedCaption(list.Caption)) continue;
    const std::size_t separator = list.Caption.rfind(kKindSeparator);
    std::string kind =
        separator == std::string::npos ? std::string() : list.Caption.substr(separator + kKindSeparator.size());
    const int order = KindOrder(kind);
    series[{list.Caption.substr(0, 4), order, std::move(kind)}].push_back(&list);
  }
  std::vector<TSeriesStandings> standings;
  for (auto& [key, contests] : series) {
    standings.push_back(SeriesOf(std::get<0>(key), std::get<2>(key), std::move(contests), options));
  }
  return standings;
}

std::string StandingsHeading(const TSeriesStandings& series) {
  std::string heading = "\xC5rsresultat " + series.Year + ' ' + series.Kind;
  if (series.Best == 0) {
    heading += ", alla tester";
  } else {
    heading += ", b\xE4sta ";
    AppendNumber(heading, series.Best);
    heading += " tester";
  }
  if (series.Normalised) heading += ", normaliserat";
  return heading;
}

std::string ClubsHeading(const TSeriesStandings& series) {
  std::string heading = "Klubbt\xE4vling " + series.Year + ' ' + series.Kind;
  if (series.Normalised) heading += ", normaliserat";
  return heading;
}

std::string ContestColumnCaption(std::string_view caption) {
  const std::string_view date = caption.substr(0, caption.find(kKindSeparator));
  if (date.size() != 8 || date.find_first_not_of("0123456789") != std::string_view::npos) return std::string(date);
  std::string text(date.substr(0, 4));
  text += '-';
  text += date.substr(4, 2);
  text += '-';
  text += date.substr(6, 2);
  return text;
}

}  // namespace loggrevy
