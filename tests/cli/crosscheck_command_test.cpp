#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/check_command.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

const TSystemDefaults kDefaults{2026, 60, ','};

struct TRun {
  int Status;
  std::string Out;
  std::string Err;
};

TRun RunEvening(std::vector<std::string> args) {
  std::vector<std::string> evening;
  for (const auto& entry : fs::directory_iterator(std::string(LOGGREVY_SAMPLES_DIR) + "/nac-evening")) {
    evening.push_back(entry.path().string());
  }
  std::sort(evening.begin(), evening.end());
  args.insert(args.end(), evening.begin(), evening.end());
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCheckCommand(args, out, err, kDefaults);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Keys(const json& object) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.push_back(key);
  return keys;
}

TEST(CrossCheckCommand, JsonMembersFollowLogsInTheirShape) {
  const TRun run = RunEvening({"--json", "--crosscheck", "--results", "json"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const json doc = json::parse(run.Out);
  EXPECT_EQ(Keys(doc), (std::vector<std::string>{"year", "utc_offset_minutes", "decimal_separator", "outline", "logs",
                                                 "crosscheck", "results"}));
  const json& check = doc["crosscheck"];
  EXPECT_EQ(Keys(check), (std::vector<std::string>{"time_tolerance_minutes", "compare_serials", "groups", "logs"}));
  EXPECT_EQ(check["groups"].dump(),
            R"([{"date":"20261201","band":"144MHZ","logs":[0,1,2,3,4,5,6,7],"unreadable":[8]}])");
  ASSERT_EQ(check["logs"].size(), doc["logs"].size());
  EXPECT_TRUE(check["logs"][8].is_null());
  const json& log = check["logs"][1];  // SM0PLN
  EXPECT_EQ(Keys(log), (std::vector<std::string>{"group", "station", "replaced_by", "clock_offset_minutes",
                                                 "clock_pairs", "partner_records", "partner_records_lost", "counts",
                                                 "ScoreAfter", "SquaresAfter", "TotalAfter", "QSOs"}));
  EXPECT_EQ(log["counts"].dump(),
            R"({"confirmed":5,"confirmed-partner-busted":0,"confirmed-partner-time":1,"busted-call":1,)"
            R"("probable-busted-call":0,"busted-locator":0,"busted-serial":0,"time-mismatch":0,"not-in-log":0,)"
            R"("partner-unreadable":0,"no-log":1,"unique":0,"own-call":0,"unverifiable":0})");
  EXPECT_EQ(log["partner_records"], 7);
  EXPECT_EQ(log["partner_records_lost"], 1);
  EXPECT_EQ(log["QSOs"][2].dump(),
            R"({"verdict":"busted-call","text":"Fel signal, rätt signal SM6WQX","other_log":6,"other_qso":3,)"
            R"("delta_minutes":-1,"proposed_penalty":1})");
  EXPECT_EQ(log["QSOs"][7].dump(),
            R"({"verdict":"no-log","text":"Ingen logg från motstationen","other_log":-1,"other_qso":0,)"
            R"("delta_minutes":null,"proposed_penalty":0})");
  EXPECT_EQ(check["logs"][0]["clock_offset_minutes"], 60);
  EXPECT_EQ(check["logs"][0]["partner_records_lost"], 0);  // OH1TSK, an hour fast, costs only itself

  const json& results = doc["results"];
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0]["caption"], "20261201 : VHF");
  const json& first = results[0]["rows"][0];
  EXPECT_EQ(Keys(first),
            (std::vector<std::string>{"Place", "logs", "Call", "Locator", "QSOs", "Squares", "DxScore", "SquareBonus",
                                      "ClaimedScore", "TotalScore", "TotalAfter", "BestDx", "Club", "Notes"}));
  EXPECT_EQ(first["Call"], "SM2NRE");
  EXPECT_EQ(first["BestDx"], "SM7HJM 1209,5 km");
}

TEST(CrossCheckCommand, WithoutItsOptionsTheDocumentIsAsBefore) {
  const TRun plain = RunEvening({"--json"});
  EXPECT_EQ(Keys(json::parse(plain.Out)).back(), "logs");
  const TRun results = RunEvening({"--results", "json"});
  const json doc = json::parse(results.Out);
  EXPECT_EQ(Keys(doc).back(), "results");
  EXPECT_TRUE(doc["results"][0]["rows"][0]["TotalAfter"].is_null());
}

TEST(CrossCheckCommand, ApplyLowersTheAcceptedTotals) {
  const json doc = json::parse(RunEvening({"--json", "--apply-crosscheck"}).Out);
  const json& sm0pln = doc["logs"][1];
  EXPECT_EQ(sm0pln["entry"]["TotalScore"], doc["crosscheck"]["logs"][1]["TotalAfter"]);
  EXPECT_EQ(sm0pln["check"]["QSOs"][2]["penalty"], 1);
  EXPECT_EQ(sm0pln["check"]["QSOs"][0]["penalty"], 0);
}

TEST(CrossCheckCommand, BadOptionValuesAreUsageErrors) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--time-tolerance", "-1"},
                                               {"--time-tolerance", "1441"},
                                               {"--time-tolerance=1e1"},
                                               {"--results", "xml"},
                                               {"--results"},
                                               {"--ubn", ""}}) {
    std::ostringstream out;
    std::ostringstream err;
    std::vector<std::string> full = args;
    full.push_back("x.edi");
    EXPECT_EQ(RunCheckCommand(full, out, err, kDefaults), kExitUsage) << args[0];
    EXPECT_EQ(out.str(), "");
  }
}

TEST(CrossCheckCommand, UbnWritesAReportPerStationIntoANewFolderOnly) {
  const fs::path dir = fs::temp_directory_path() / ("loggrevy-ubn-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const fs::path input = fs::path(LOGGREVY_SAMPLES_DIR) / "nac-evening" / "sm0pln.edi";
  const auto inputTime = fs::last_write_time(input);
  const TRun run = RunEvening({"--ubn", dir.string(), "--apply-crosscheck"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(fs::exists(dir / "SM0PLN.txt"));
  EXPECT_TRUE(fs::exists(dir / "SM7XUL.txt"));
  std::ifstream file(dir / "SM0PLN.txt");
  const std::string report((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(report.find("Kontrollrapport"), std::string::npos);
  EXPECT_NE(report.find("QSO 3 1847 SM6WQY: Fel signal, rätt signal SM6WQX (SM6WQX 1848 SM0PLN JO99BH)"),
            std::string::npos);

  const auto before = fs::last_write_time(dir / "SM0PLN.txt");
  const TRun again = RunEvening({"--ubn", dir.string()});
  EXPECT_EQ(again.Status, kExitUsage);
  EXPECT_EQ(again.Out, "");
  EXPECT_NE(again.Err.find("exists already"), std::string::npos);
  EXPECT_EQ(fs::last_write_time(dir / "SM0PLN.txt"), before);
  EXPECT_EQ(fs::last_write_time(input), inputTime);
  fs::remove_all(dir);
}

TEST(CrossCheckCommand, AFailedWriteIsReportedWithExitStatusOne) {
  std::ofstream full("/dev/full");
  if (!full) GTEST_SKIP() << "no /dev/full";
  std::ostringstream err;
  std::vector<std::string> args{"--crosscheck", std::string(LOGGREVY_SAMPLES_DIR) + "/nac-evening/sm0pln.edi"};
  EXPECT_EQ(RunCheckCommand(args, full, err, kDefaults), kExitWriteError);
  EXPECT_EQ(err.str().rfind("loggrevy-check: write error: ", 0), 0u) << err.str();

  const fs::path parent = fs::temp_directory_path() / "loggrevy-no-such-folder" / "ubn";
  std::ostringstream out;
  std::ostringstream err2;
  args.insert(args.begin(), {"--ubn", parent.string()});
  EXPECT_EQ(RunCheckCommand(args, out, err2, kDefaults), kExitWriteError);
  EXPECT_NE(err2.str().find("write error"), std::string::npos);
}

}  // namespace
}  // namespace loggrevy
