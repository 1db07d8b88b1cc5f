#include <gtest/gtest.h>

#include <sstream>

#include "core/cp1252.h"
#include "crosscheck_batch.h"
#include "results/check_report_files.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

using test::TStation;

std::string ReportOf(const test::TBatch& batch, std::size_t log) {
  std::ostringstream out;
  WriteCheckReport(out, *batch.Check, log);
  return out.str();
}

TEST(CheckReport, NamesTheFileOnlyAndTellsTheJudgesJudgementsFromProposals) {
  std::vector<std::string> texts = test::TBatch::Texts({
      {"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AB", "1805 SM7CCC JO65AA", "1810 SM2QQQ KP15AA"}},
      {"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD"}},
      {"SM7CCC", "JO65AA", {"1805 SM5ABC JO66SD"}},
  });
  test::TBatch batch(std::vector<std::string>{});
  for (std::size_t i = 0; i < texts.size(); ++i) {
    batch.Owned.push_back(
        std::make_unique<TLog>(texts[i], "/home/domare/test/log" + std::to_string(i) + ".edi", 2007, TLocalSettings{}));
    batch.Logs.push_back(batch.Owned.back().get());
  }
  // The judge rules the confirmed QSO 2 invalid; the proposal on QSO 1 stays one.
  batch.Logs[0]->Checker().SetPenalty(1, kPenaltyInvalid);
  batch.Check = std::make_unique<TCrossCheck>(batch.Logs, TCrossCheckOptions{});
  const std::string report = ReportOf(batch, 0);
  EXPECT_NE(report.find("Fil:      log0.edi\n"), std::string::npos) << report;
  EXPECT_EQ(report.find("/home/domare"), std::string::npos) << report;
  for (const char* line : {
           "Domarens bedömningar: 1 QSO (ogiltiga 1, dubbletter 0); förslag som inte är bedömda: 1 QSO\n",
           "  QSO 1 1800 SM6XYZ: Fel lokator, rätt lokator JO57AA (SM6XYZ 1801 SM5ABC JO66SD) - förslag: ogiltig "
           "(-100%), inte bedömd\n",
           "  QSO 2 1805 SM7CCC: Bekräftad (SM7CCC 1805 SM5ABC JO66SD) - bedömd: ogiltig (-100%)\n",
           "  QSO 3 1810 SM2QQQ: Unik signal, ingen annan har loggat den\n",
       }) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\nin\n" << report;
  }
  // A station's reports as files: the name from its key, its logs in order.
  const auto files = CheckReportFiles(*batch.Check);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files.at("SM5ABC.txt"), ReportOf(batch, 0));
}

TEST(Evidence, ShowsTheOtherRecordsDateOnlyWhenTheDatesDiffer) {
  const test::TBatch batch(std::vector<TStation>{
      {"SM5AAA", "JO66SD", {"1800 SM6BBB JO57AA", "1810 SM7CCC JO65AA"}, "20070605"},
      {"SM6BBB", "JO57AA", {"1801 SM5AAA JO66SD"}, "20070606"},
      {"SM7CCC", "JO65AA", {"1811 SM5AAA JO66SD"}, "20070605"},
  });
  EXPECT_EQ(EvidenceText(*batch.Check, 0, 0), "SM6BBB 070606 1801 SM5AAA JO66SD");
  EXPECT_EQ(EvidenceText(*batch.Check, 0, 1), "SM7CCC 1811 SM5AAA JO66SD");
  EXPECT_EQ(Cp1252ToUtf8(VerdictLine(*batch.Check, 0, 0)),
            "QSO 1 1800 SM6BBB: Tidsfel, 1441 min från motstationens logg (SM6BBB 070606 1801 SM5AAA JO66SD)");
}

}  // namespace
}  // namespace loggrevy
