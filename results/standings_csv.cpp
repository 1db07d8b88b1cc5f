#include <ostream>

#include "core/cp1252.h"
#include "core/text.h"
#include "results/standings.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

void WriteNumber(std::ostream& out, int64_t value) {
  std::string text;
  AppendNumber(text, value);
  out << ',' << text;
}

void WritePoints(std::ostream& out, const std::vector<std::optional<int64_t>>& points) {
  for (const auto& value : points) {
    if (value) {
      WriteNumber(out, *value);
    } else {
      out << ',';
    }
  }
}

// The heading row and the captions row of a table.
template <std::size_t N>
void WriteHead(std::ostream& out, const std::string& heading, const std::string_view (&captions)[N],
               const TSeriesStandings& series) {
  WriteCsvField(out, heading);
  out << "\r\n";
  for (std::size_t c = 0; c < N; ++c) {
    if (c > 0) out << ',';
    WriteCsvField(out, captions[c]);
  }
  for (const std::string& contest : series.Contests) {
    out << ',';
    WriteCsvField(out, ContestColumnCaption(contest));
  }
  out << "\r\n";
}

}  // namespace

void WriteStandingsCsv(std::ostream& out, const std::vector<TSeriesStandings>& standings) {
  for (const TSeriesStandings& series : standings) {
    WriteHead(out, StandingsHeading(series), kStandingsColumns, series);
    for (const TStandingsRow& row : series.Rows) {
      std::string place;
      AppendNumber(place, row.Place);
      out << place << ',';
      WriteCsvField(out, row.Call);
      out << ',';
      WriteCsvField(out, row.Club);
      WriteNumber(out, row.Contests);
      WriteNumber(out, row.Total);
      WritePoints(out, row.Points);
      out << "\r\n";
    }
    WriteHead(out, ClubsHeading(series), kClubColumns, series);
    for (const TClubRow& row : series.Clubs) {
      std::string place;
      AppendNumber(place, row.Place);
      out << place << ',';
      WriteCsvField(out, row.Club);
      WriteNumber(out, row.Members);
      WriteNumber(out, row.Total);
      WritePoints(out, row.Points);
      out << "\r\n";
    }
  }
}

}  // namespace loggrevy
