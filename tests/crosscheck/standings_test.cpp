#include <gtest/gtest.h>

#include <sstream>

#include "results/standings.h"

namespace loggrevy {
namespace {

struct TRowSpec {
  std::string Call;
  int64_t Total;
  std::string Club;
};

TResultList List(std::string caption, const std::vector<TRowSpec>& rows) {
  TResultList list{std::move(caption), {}};
  for (const TRowSpec& given : rows) {
    TResultRow row;
    row.Call = given.Call;
    row.TotalScore = given.Total;
    row.Club = given.Club;
    list.Rows.push_back(std::move(row));
  }
  return list;
}

// "place station call club contests total [points...]" per row, an uncounted
// contest's points in parentheses, "-" where the station has no row; then the
// clubs as "place club members total [points...]".
std::string Describe(const TSeriesStandings& series) {
  std::string text;
  const auto points = [&](const std::vector<std::optional<int64_t>>& values, const std::vector<bool>* counted) {
    text += " [";
    for (std::size_t c = 0; c < values.size(); ++c) {
      if (c > 0) text += ' ';
      if (!values[c]) {
        text += '-';
      } else if (counted != nullptr && !(*counted)[c]) {
        text += '(' + std::to_string(*values[c]) + ')';
      } else {
        text += std::to_string(*values[c]);
      }
    }
    text += ']';
  };
  for (const TStandingsRow& row : series.Rows) {
    text += std::to_string(row.Place) + ' ' + row.Station + ' ' + row.Call + " '" + row.Club + "' " +
            std::to_string(row.Contests) + ' ' + std::to_string(row.Total);
    points(row.Points, &row.Counted);
    text += "; ";
  }
  text += "| ";
  for (const TClubRow& club : series.Clubs) {
    text += std::to_string(club.Place) + ' ' + club.Club + ' ' + std::to_string(club.Members) + ' ' +
            std::to_string(club.Total);
    points(club.Points, nullptr);
    text += "; ";
  }
  return text;
}

struct TCase {
  const char* Name;
  std::vector<TResultList> Lists;
  TStandingsOptions Options;
  std::string Expected;
};

TEST(Standings, RulesOfASeries) {
  const std::string a = "20260106 : VHF", b = "20260203 : VHF", c = "20260303 : VHF";
  const std::vector<TCase> cases{
      {"the best N; on equal points the earlier contest counts",
       {List(a, {{"SM5AAA", 100, ""}}), List(b, {{"SM5AAA", 100, ""}}), List(c, {{"SM5AAA", 50, ""}})},
       {1, false},
       "1 SM5AAA SM5AAA '' 3 100 [100 (100) (50)]; | "},
      {"N = 0 counts all",
       {List(a, {{"SM5AAA", 100, ""}}), List(b, {{"SM5AAA", 100, ""}}), List(c, {{"SM5AAA", 50, ""}})},
       {0, false},
       "1 SM5AAA SM5AAA '' 3 250 [100 100 50]; | "},
      {"fewer contests than N all count",
       {List(a, {{"SM5AAA", 100, ""}}), List(c, {{"SM5AAA", 50, ""}})},
       {9, false},
       "1 SM5AAA SM5AAA '' 2 150 [100 50]; | "},
      {"a negative total is 0 points and still a contest",
       {List(a, {{"SM5AAA", 10, "SK5AA"}, {"SM6BBB", -40, "SK5AA"}})},
       {9, false},
       "1 SM5AAA SM5AAA 'SK5AA' 1 10 [10]; 2 SM6BBB SM6BBB 'SK5AA' 1 0 [0]; | 1 SK5AA 2 10 [10]; "},
      {"normalised: 1000 for the winner, half up; a winner with 0 gives every row 0",
       {List(a, {{"SM5AAA", 2000, ""}, {"SM6BBB", 3, ""}, {"SM7CCC", 1, ""}, {"SM2DDD", 0, ""}}),
        List(b, {{"SM5AAA", 0, ""}, {"SM6BBB", -5, ""}}), List(c, {{"SM7CCC", 3, ""}, {"SM2DDD", 2, ""}})},
       {9, true},
       "1 SM7CCC SM7CCC '' 2 1001 [1 - 1000]; 2 SM5AAA SM5AAA '' 2 1000 [1000 0 -]; "
       "3 SM2DDD SM2DDD '' 2 667 [0 - 667]; 4 SM6BBB SM6BBB '' 2 2 [2 0 -]; | "},
      {"equal totals share a place and are listed by station key",
       {List(a, {{"SM7CCC", 50, ""}, {"SM5AAA", 100, ""}, {"SM6BBB", 50, ""}, {"SM0DDD", 10, ""}})},
       {9, false},
       "1 SM5AAA SM5AAA '' 1 100 [100]; 2 SM6BBB SM6BBB '' 1 50 [50]; 2 SM7CCC SM7CCC '' 1 50 [50]; "
       "4 SM0DDD SM0DDD '' 1 10 [10]; | "},
      {"the latest call and the latest club given; clubs in any case and blanks are one",
       {List(a, {{"SM5AAA", 10, " sk5aa "}}), List(b, {{"sm5aaa/p", 20, "SK5AA"}}),
        List(c, {{"SM5AAA/P", 30, " \t"}, {"SM6BBB", 5, "Sk5aA"}})},
       {9, false},
       "1 SM5AAA SM5AAA/P 'SK5AA' 3 60 [10 20 30]; 2 SM6BBB SM6BBB 'Sk5aA' 1 5 [- - 5]; | "
       "1 SK5AA 2 35 [10 20 5]; "},
      {"two rows of one station: the higher counts, the other nowhere, not for its club",
       {List(a,
             {{"SM5AAA", 300, "SK5AA"}, {"SM5AAA/P", 300, "SK6BB"}, {"SM5AAA/M", 100, "SK7CC"}, {"", 900, "SK5AA"}})},
       {9, false},
       "1 SM5AAA SM5AAA 'SK5AA' 1 300 [300]; | 1 SK5AA 1 300 [300]; "},
      {"members counted once, those with 0 points too; every contest counts for a club",
       {List(a, {{"SM5AAA", 100, "SK5AA"}, {"SM6BBB", 0, "SK5AA"}}), List(b, {{"SM5AAA", 200, "sk5aa"}}),
        List(c, {{"SM7CCC", 300, "SK7CC"}})},
       {1, false},
       "1 SM7CCC SM7CCC 'SK7CC' 1 300 [- - 300]; 2 SM5AAA SM5AAA 'sk5aa' 2 200 [(100) 200 -]; "
       "3 SM6BBB SM6BBB 'SK5AA' 1 0 [0 - -]; | 1 SK5AA 2 300 [100 200 -]; 1 SK7CC 1 300 [- - 300]; "},
  };
  for (const TCase& test : cases) {
    const std::vector<TSeriesStandings> standings = BuildStandings(test.Lists, test.Options);
    ASSERT_EQ(standings.size(), 1u) << test.Name;
    EXPECT_EQ(Describe(standings[0]), test.Expected) << test.Name;
  }
}

TEST(Standings, SeriesByYearThenKindNumberAndContestsByDate) {
  const std::vector<TResultList> lists{List("20270105 : VHF", {}),       List("20260203 : UHF", {}),
                                       List("Ej identifierad test", {}), List("20260113 : UHF", {}),
                                       List("20260105 : 28M", {}),       List("Ej l\xE4sbar EDI-fil", {}),
                                       List("20260126 : Mikro", {}),     List("20260106 : VHF", {})};
  std::string order;
  for (const TSeriesStandings& series : BuildStandings(lists, {})) {
    order += series.Year + ' ' + series.Kind + ':';
    for (const std::string& contest : series.Contests) order += ' ' + ContestColumnCaption(contest);
    order += "; ";
  }
  EXPECT_EQ(order,
            "2026 VHF: 2026-01-06; 2026 UHF: 2026-01-13 2026-02-03; 2026 Mikro: 2026-01-26; 2026 28M: 2026-01-05; "
            "2027 VHF: 2027-01-05; ");
}

TEST(Standings, NormalisedPointsAtTheirBounds) {
  const struct {
    int64_t Points, Winner, Expected;
  } cases[] = {{1, 2000, 1},
               {3, 2000, 2},
               {1, 2001, 0},
               {2000, 2000, 1000},
               {0, 0, 0},
               {5, 0, 0},
               {-7, 10, 0},
               {1, 3, 333},
               {2, 3, 667},
               {INT64_MAX, INT64_MAX, 1000},
               {INT64_MAX / 2, INT64_MAX, 500}};
  for (const auto& c : cases) {
    EXPECT_EQ(NormalisedPoints(c.Points, c.Winner), c.Expected) << c.Points << " of " << c.Winner;
  }
}

TEST(Standings, HeadingsAndEmptyStandings) {
  TSeriesStandings series;
  series.Year = "2026";
  series.Kind = "VHF";
  series.Best = 0;
  series.Normalised = true;
  EXPECT_EQ(StandingsHeading(series), "\xC5rsresultat 2026 VHF, alla tester, normaliserat");
  EXPECT_EQ(ClubsHeading(series), "Klubbt\xE4vling 2026 VHF, normaliserat");
  series.Best = 2;
  series.Normalised = false;
  EXPECT_EQ(StandingsHeading(series), "\xC5rsresultat 2026 VHF, b\xE4sta 2 tester");
  EXPECT_EQ(ClubsHeading(series), "Klubbt\xE4vling 2026 VHF");

  std::ostringstream text, csv;
  WriteStandingsText(text, {});
  WriteStandingsCsv(csv, {});
  EXPECT_EQ(text.str(), "\xC3\x85rsresultat och klubbt\xC3\xA4vling\n");
  EXPECT_EQ(csv.str(), "");
  EXPECT_EQ(StandingsJson({}), "[]");
}

TEST(Standings, TextWrapsTheContestsOfALongSeriesIntoBlocks) {
  // The first block holds the station's figures and the contests that fit in
  // 80 columns; the next one repeats place and call.
  std::vector<TResultList> lists;
  for (int month = 1; month <= 7; ++month) {
    lists.push_back(
        List("20260" + std::to_string(month) + "05 : VHF", {{"SM5AAA", 100000 + month, "SK5AA"}, {"SM6BBB", 5, ""}}));
  }
  std::ostringstream out;
  WriteStandingsText(out, BuildStandings(lists, {2, false}));
  EXPECT_EQ(out.str(),
            "\xC3\x85rsresultat och klubbt\xC3\xA4vling\n"
            "\n"
            "\xC3\x85rsresultat 2026 VHF, b\xC3\xA4sta 2 tester\n"
            "Plac. Signal Klubb Tester  Summa 2026-01-05 2026-02-05 2026-03-05 2026-04-05\n"
            "----------------------------------------------------------------------------\n"
            "    1 SM5AAA SK5AA      7 200013   (100001)   (100002)   (100003)   (100004)\n"
            "    2 SM6BBB            7     10          5          5        (5)        (5)\n"
            "\n"
            "Plac. Signal 2026-05-05 2026-06-05 2026-07-05\n"
            "---------------------------------------------\n"
            "    1 SM5AAA   (100005)     100006     100007\n"
            "    2 SM6BBB        (5)        (5)        (5)\n"
            "\n"
            "Klubbt\xC3\xA4vling 2026 VHF\n"
            "Plac. Klubb Medlemmar  Summa 2026-01-05 2026-02-05 2026-03-05 2026-04-05\n"
            "------------------------------------------------------------------------\n"
            "    1 SK5AA         1 700028     100001     100002     100003     100004\n"
            "\n"
            "Plac. Klubb 2026-05-05 2026-06-05 2026-07-05\n"
            "--------------------------------------------\n"
            "    1 SK5AA     100005     100006     100007\n");
}

}  // namespace
}  // namespace loggrevy
