#include <gtest/gtest.h>
#include <unistd.h>
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

std::vector<std::string> SeasonFiles() {
  std::vector<std::string> files;
  const fs::path season = fs::path(LOGGREVY_SAMPLES_DIR) / "season";
  if (!fs::exists(season)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(season)) {
    if (entry.path().extension() == ".edi") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TRun Check(std::vector<std::string> args, const std::vector<std::string>& files) {
  args.insert(args.end(), files.begin(), files.end());
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCheckCommand(args, out, err, kDefaults);
  return {status, out.str(), err.str()};
}

TEST(StandingsCommand, TheSampleSeasonAsCsv) {
  const std::vector<std::string> files = SeasonFiles();
  if (files.empty()) GTEST_SKIP() << "no sample season";
  const TRun run = Check({"--year", "2026", "--apply-crosscheck", "--standings", "csv", "--best", "2"}, files);
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "\"\xC3\x85rsresultat 2026 VHF, b\xC3\xA4sta 2 tester\"\r\n"
            "Plac.,Signal,Klubb,Tester,Summa,2026-01-06,2026-02-03,2026-03-03\r\n"
            "1,SM7QRC,SK7QRV,3,12780,6181,4520,6599\r\n"
            "2,SM7QRJ,SK0QRV,2,11573,,5628,5945\r\n"
            "3,OH1QRH,,2,10621,4823,,5798\r\n"
            "4,SM5QRB,SK0QRV,3,10559,4525,5057,5502\r\n"
            "5,SM0QRA,SK0QRV,3,9803,4593,5042,4761\r\n"
            "6,SM6QRD,SK7QRV,2,9684,4614,,5070\r\n"
            "7,SM4QRE,,2,9253,3868,5385,\r\n"
            "8,SM1QRI,SK0QRV,2,8833,,4638,4195\r\n"
            "9,SM3QRF,,2,8774,3720,,5054\r\n"
            "10,SM2QRG,,1,6661,,6661,\r\n"
            "Klubbt\xC3\xA4vling 2026 VHF\r\n"
            "Plac.,Klubb,Medlemmar,Summa,2026-01-06,2026-02-03,2026-03-03\r\n"
            "1,SK0QRV,4,44258,9118,14737,20403\r\n"
            "2,SK7QRV,3,32612,10795,10148,11669\r\n"
            "\"\xC3\x85rsresultat 2026 UHF, b\xC3\xA4sta 2 tester\"\r\n"
            "Plac.,Signal,Klubb,Tester,Summa,2026-01-13\r\n"
            "1,SM7QRJ,SK7QRV,1,4041,4041\r\n"
            "2,SM1QRI,SK0QRV,1,3920,3920\r\n"
            "3,SM5QRB,SK0QRV,1,3845,3845\r\n"
            "4,SM0QRA,SK0QRV,1,3798,3798\r\n"
            "5,SM7QRC,SK7QRV,1,3468,3468\r\n"
            "6,SM4QRE,,1,3166,3166\r\n"
            "Klubbt\xC3\xA4vling 2026 UHF\r\n"
            "Plac.,Klubb,Medlemmar,Summa,2026-01-13\r\n"
            "1,SK0QRV,3,11563,11563\r\n"
            "2,SK7QRV,2,7509,7509\r\n");
}

TEST(StandingsCommand, JsonMemberFollowsResultsAndBestOrNormaliseImplyText) {
  const std::vector<std::string> files = SeasonFiles();
  if (files.empty()) GTEST_SKIP() << "no sample season";
  const TRun run = Check({"--crosscheck", "--standings", "json", "--normalise", "--best", "0"}, files);
  ASSERT_EQ(run.Status, 0) << run.Err;
  const json doc = json::parse(run.Out);
  std::vector<std::string> keys;
  for (const auto& [key, value] : doc.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"year", "utc_offset_minutes", "decimal_separator", "outline", "logs",
                                            "crosscheck", "results", "standings"}));
  const json& vhf = doc["standings"][0];
  EXPECT_EQ(vhf["contests"].dump(), R"(["20260106 : VHF","20260203 : VHF","20260303 : VHF"])");
  EXPECT_EQ(vhf["rows"][0].dump(),
            R"({"Place":1,"Station":"SM7QRC","Call":"SM7QRC","Club":"SK7QRV","Contests":3,"Total":2679,)"
            R"("Points":[1000,679,1000],"Counted":[true,true,true]})");
  EXPECT_EQ(vhf["clubs"][1].dump(), R"({"Place":2,"Club":"SK7QRV","Members":3,"Total":5038,)"
                                    R"("Points":[1746,1524,1768]})");
  EXPECT_EQ(doc["standings"][1]["kind"], "UHF");
  EXPECT_EQ(doc["standings"][1]["best"], 0);
  EXPECT_EQ(doc["standings"][1]["normalised"], true);

  const TRun text = Check({"--normalise"}, files);
  EXPECT_EQ(
      text.Out.substr(0, text.Out.find('\n', text.Out.find('\n') + 2)),
      "\xC3\x85rsresultat och klubbt\xC3\xA4vling\n\n\xC3\x85rsresultat 2026 VHF, b\xC3\xA4sta 9 tester, normaliserat");
  const TRun best = Check({"--best=0"}, files);
  EXPECT_NE(best.Out.find("\xC3\x85rsresultat 2026 UHF, alla tester\n"), std::string::npos) << best.Out;
}

TEST(StandingsCommand, ABatchWithoutADatedContestHasEmptyStandings) {
  const std::vector<std::string> missing{"no-such-log.edi"};
  const TRun text = Check({"--standings", "text"}, missing);
  EXPECT_EQ(text.Status, 0);
  EXPECT_EQ(text.Out, "\xC3\x85rsresultat och klubbt\xC3\xA4vling\n");
  const TRun doc = Check({"--standings", "json"}, missing);
  EXPECT_EQ(doc.Status, 0);
  EXPECT_EQ(json::parse(doc.Out)["standings"].dump(), "[]");
}

TEST(StandingsCommand, BadValuesAreOneLineUsageErrors) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--best", "100"},
                                               {"--best", "-1"},
                                               {"--best", "x"},
                                               {"--best", " 9"},
                                               {"--best="},
                                               {"--standings", "pdf"},
                                               {"--standings", "xlsx"},
                                               {"--output", "out.xlsx"},
                                               {"--standings", "csv", "--output", "out.xlsx"}}) {
    const TRun run = Check(args, {"x.edi"});
    EXPECT_EQ(run.Status, kExitUsage) << args[0];
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
  }
}

TEST(StandingsCommand, XlsxIsWrittenToTheOutputFileOrTheFailureReported) {
  const std::vector<std::string> files = SeasonFiles();
  if (files.empty()) GTEST_SKIP() << "no sample season";
  const fs::path file = fs::temp_directory_path() / ("loggrevy-standings-" + std::to_string(::getpid()) + ".xlsx");
  std::ofstream(file) << "old";
  const TRun run = Check({"--standings", "xlsx", "--output", file.string()}, files);
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "");
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(0, 2), "PK");  // a zip archive, as every workbook
  EXPECT_GT(bytes.size(), 2000u);
  fs::remove(file);

  const fs::path nowhere = fs::temp_directory_path() / "loggrevy-no-such-folder" / "standings.xlsx";
  const TRun failed = Check({"--standings", "xlsx", "--output", nowhere.string()}, files);
  EXPECT_EQ(failed.Status, kExitWriteError);
  EXPECT_EQ(failed.Err.rfind("loggrevy-check: write error: ", 0), 0u) << failed.Err;
}

}  // namespace
}  // namespace loggrevy
