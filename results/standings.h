#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/results_list.h"

namespace loggrevy {

// How the year's standings are made: the N best contests of each station
// count (0: all of them), and the points are either the accepted totals or
// normalised to 1000 for each contest's winner.
struct TStandingsOptions {
  int32_t Best = 9;
  bool Normalise = false;
};

// A station of the series. Points and Counted have one element per contest of
// the series; a contest without a row of the station has no points and is
// not counted.
struct TStandingsRow {
  int32_t Place = 0;
  std::string Station;  // the station key
  std::string Call;     // the call of its latest contest
  std::string Club;     // the latest club it gave, trimmed
  int32_t Contests = 0;
  int64_t Total = 0;  // the counted contests' points
  std::vector<std::optional<int64_t>> Points;
  std::vector<bool> Counted;
};

// A club of the club competition: every contest counts.
struct TClubRow {
  int32_t Place = 0;
  std::string Club;  // trimmed and upper-cased
  int32_t Members = 0;
  int64_t Total = 0;
  std::vector<std::optional<int64_t>> Points;
};

// The standings of one series: the contests of one kind in one year.
// Texts are Windows-1252.
struct TSeriesStandings {
  std::string Year;  // "2026"
  std::string Kind;  // "VHF"
  int32_t Best = 9;
  bool Normalised = false;
  std::vector<std::string> Contests;  // the contest captions in date order
  std::vector<TStandingsRow> Rows;    // ranked
  std::vector<TClubRow> Clubs;        // ranked
};

// The standings of every series among the results lists (those with a dated
// caption), ordered by year and then by contest kind. Rows are ranked by total,
// highest first; equal totals share a place and are listed by station key
// (clubs by club text).
std::vector<TSeriesStandings> BuildStandings(const std::vector<TResultList>& lists, TStandingsOptions options);

// The points of a contest's row: the total, never below 0; normalised, 1000
// times the points over the winner's, rounded half up (0 when the winner has 0).
int64_t NormalisedPoints(int64_t points, int64_t winner);

// "Årsresultat 2026 VHF, bästa 9 tester" (", alla tester" for all), with
// ", normaliserat" when normalised.
std::string StandingsHeading(const TSeriesStandings& series);
// "Klubbtävling 2026 VHF", with ", normaliserat" when normalised.
std::string ClubsHeading(const TSeriesStandings& series);
// The column caption of a contest: its date as "2026-01-05" (the caption's
// text before " : " when that is not eight digits).
std::string ContestColumnCaption(std::string_view caption);

// The captions of the columns before the contests' ones.
inline constexpr std::string_view kStandingsColumns[] = {"Plac.", "Signal", "Klubb", "Tester", "Summa"};
inline constexpr std::string_view kClubColumns[] = {"Plac.", "Klubb", "Medlemmar", "Summa"};

// The writers of the standings that both front ends use. All write UTF-8;
// none checks the stream (the caller does).

// For an 80-column terminal: a heading line, then per series its table and
// its clubs' table; contest columns that do not fit beside the station's
// figures go to further blocks of the table that repeat the place and the
// call. An uncounted contest's points stand in parentheses.
void WriteStandingsText(std::ostream& out, const std::vector<TSeriesStandings>& standings);

// RFC 4180 as the results lists: per table a row holding only its heading, a
// row of column captions, then its rows; no empty rows.
void WriteStandingsCsv(std::ostream& out, const std::vector<TSeriesStandings>& standings);

// One self-contained page (no script, no external file) with both tables of
// every series, that reads well printed and on a phone.
void WriteStandingsHtml(std::ostream& out, const std::vector<TSeriesStandings>& standings);

// An Excel workbook (the bytes of an .xlsx file): a sheet per series with its
// table and, below it, the clubs'; figures as numbers, captions in bold.
// Nothing when the temporary file it is made in cannot be written.
std::optional<std::string> StandingsXlsx(const std::vector<TSeriesStandings>& standings);

// The JSON array of the standings, compact, as the batch checker writes its
// member "standings".
std::string StandingsJson(const std::vector<TSeriesStandings>& standings);

}  // namespace loggrevy
