#include <gtest/gtest.h>

#include <sstream>

#include "core/cp1252.h"
#include "crosscheck_batch.h"
#include "model/import_session.h"
#include "results/writers.h"
#include "support/temp_dir.h"

namespace loggrevy {
namespace {

using test::EdiBuilder;

// A session of logs written to files, as both front ends import them.
struct TSessionBatch {
  explicit TSessionBatch(const std::vector<std::string>& texts) : Session(TLocalSettings{'.', 60}) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < texts.size(); ++i)
      paths.push_back(Dir.Write("log" + std::to_string(i) + ".edi", texts[i]));
    Session.ImportFiles(paths, 2007);
    for (TLog* log : Session.Logs()) log->UseOwnSum();
  }
  test::TempDir Dir;
  TImportSession Session;
};

std::string Station(std::string call, std::string locator, std::string band, std::vector<std::string> qsos,
                    std::string date = "20070605") {
  return test::EdiOf({std::move(call), std::move(locator), std::move(qsos), std::move(date), std::move(band)});
}

TEST(ResultsList, RanksByTotalWithSharedPlacesThenByCall) {
  // Three stations far apart: SM7 and SM2 score the same.
  const TSessionBatch batch({Station("SM5BBB", "JO89WP", "144 MHz", {"1800 SM2AAA KP15CR"}),
                             Station("SM2AAA", "KP15CR", "144 MHz", {"1800 SM5BBB JO89WP"}),
                             Station("SM7CCC", "JO65SQ", "144 MHz", {"1800 SM2AAA KP15CR", "1805 SM5BBB JO89WP"}),
                             Station("SM0DDD", "JO99BH", "144 MHz", {})});
  const auto lists = BuildResults(batch.Session, nullptr, ',');
  ASSERT_EQ(lists.size(), 1u);
  std::string ranking;
  for (const TResultRow& row : lists[0].Rows) ranking += std::to_string(row.Place) + " " + row.Call + "; ";
  EXPECT_EQ(ranking, "1 SM7CCC; 2 SM2AAA; 2 SM5BBB; 4 SM0DDD; ");
  EXPECT_FALSE(lists[0].Rows[0].TotalAfter);
  EXPECT_EQ(lists[0].Rows[0].BestDx, "SM2AAA 1209,5 km");
  EXPECT_EQ(lists[0].Rows[3].BestDx, "");
}

TEST(ResultsList, GroupRowsSumTheirMembersAndLeaveReplacedLogsOut) {
  // A Mikro evening (fourth Tuesday): SM7MIK on 10 and 24 GHz, the 10 GHz log sent twice.
  const std::string date = "20070626";
  const TSessionBatch batch({Station("SM7MIK", "JO65SQ", "10 GHz", {"1800 SM6AAA JO57AA"}, date),
                             Station("SM7MIK", "JO65SQ", "24 GHz", {"1800 SM6AAA JO57AA"}, date),
                             Station("SM7MIK", "JO65SQ", "10 GHz", {"1800 SM6AAA JO57AA", "1810 SM6BBB JO57BB"}, date),
                             Station("SM6AAA", "JO57AA", "10 GHz", {"1800 SM7MIK JO65SQ"}, date)});
  const TCrossCheck check(batch.Session.Logs(), {});
  const auto lists = BuildResults(batch.Session, &check, ',');
  ASSERT_EQ(lists.size(), 1u);
  ASSERT_EQ(lists[0].Rows.size(), 2u);
  const TResultRow& group = lists[0].Rows[0].Call == "SM7MIK" ? lists[0].Rows[0] : lists[0].Rows[1];
  const std::vector<TLog*>& logs = batch.Session.Logs();
  EXPECT_EQ(group.Logs, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(group.QSOs, 3);
  EXPECT_EQ(group.TotalScore, logs[1]->GetTotalScore() + logs[2]->GetTotalScore());
  EXPECT_EQ(group.TotalAfter, check.Log(1).After->Total + check.Log(2).After->Total);
  EXPECT_EQ(check.BatchLog(0).Role, TBatchRole::Replaced);
}

TEST(ResultsCsv, IsRfc4180WithOneHeaderRow) {
  // A locator with a quote and a comma makes the fields to quote.
  EdiBuilder quoted = EdiBuilder().Set("PCall", "SM5ABC").Set("PWWLo", "JO\"6,SD");
  quoted.Qso("070605", "1800", "SM6XYZ", "JO57AA", 1);
  const TSessionBatch batch({quoted.Text(), Station("SM6XYZ", "JO57AA", "144 MHz", {"1801 SM5ABC JO66SD"})});
  const TCrossCheck check(batch.Session.Logs(), {});
  std::ostringstream csv;
  WriteResultsCsv(csv, BuildResults(batch.Session, &check, ','));
  EXPECT_EQ(csv.str(),
            "Test,Plac.,Signal,Lokator,QSO,Rutor,Avståndspoäng,Rutbonus,Krävd totalpoäng,Erhållen totalpoäng,"
            "Efter korskontroll,Bästa DX,Klubb,Anm.\r\n"
            "20070605 : VHF,1,SM6XYZ,JO57AA,1,1,236,500,0,736,736,\"SM5ABC 235,4 km\",,"
            "Loggens information överensstämmer ej med testens regler\r\n"
            "20070605 : VHF,2,SM5ABC,\"JO\"\"6,SD\",1,1,1,500,0,501,501,\"SM6XYZ 0,0 km\",,"
            "Loggen innehåller allvarliga fel\r\n");
}

TEST(ResultsHtml, IsOneSelfContainedPageWithTheCaptionAsHeading) {
  const TSessionBatch batch({Station("SM5ABC", "JO<6SD", "144 MHz", {})});
  std::ostringstream html;
  WriteResultsHtml(html, BuildResults(batch.Session, nullptr, ','));
  const std::string page = html.str();
  EXPECT_NE(page.find("<h2>20070605 : VHF</h2>"), std::string::npos);
  EXPECT_NE(page.find("<title>Resultatlista 20070605 : VHF</title>"), std::string::npos);
  EXPECT_NE(page.find("JO&lt;6SD"), std::string::npos);
  EXPECT_NE(page.find("<th class=\"n\">Erhållen totalpoäng</th>"), std::string::npos);
  for (const char* external : {"<script", "src=", "href=", "@import", "url("}) {
    EXPECT_EQ(page.find(external), std::string::npos) << external;
  }
}

}  // namespace
}  // namespace loggrevy
