#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/check_command.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;  // keeps the order of the fields as written

const TSystemDefaults kDefaults{2026, 60, ','};

struct TRun {
  int Status;
  std::string Out;
  std::string Err;
};

TRun RunCommand(const std::vector<std::string>& args, const TSystemDefaults& defaults = kDefaults) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCheckCommand(args, out, err, defaults);
  return {status, out.str(), err.str()};
}

std::string Sample(const std::string& name) { return std::string(LOGGREVY_SAMPLES_DIR) + "/" + name; }

// A fresh folder for files a test writes, removed afterwards.
class TempDir {
 public:
  TempDir()
      : Path_(fs::temp_directory_path() /
              ("loggrevy-cli-" + std::to_string(::getpid()) + "-" + std::to_string(Counter_++))) {
    fs::create_directories(Path_);
  }
  ~TempDir() { fs::remove_all(Path_); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const fs::path file = Path_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }
  std::string Path() const { return Path_.string(); }

 private:
  static inline int Counter_ = 0;
  fs::path Path_;
};

// A complete, clean 144 MHz log of the first Tuesday of November 2026, with
// the best-DX distance written with the given separator.
std::string Log144(const std::string& call, const std::string& distance = "41,5") {
  return "[REG1TEST;1]\r\n"
         "TName=NAC 144\r\nTDate=20261103;20261103\r\nPCall=" +
         call +
         "\r\nPWWLo=JO89VU\r\nPExch=\r\n"
         "PAdr1=\r\nPAdr2=\r\nPSect=\r\nPBand=144 MHz\r\nPClub=\r\nRName=Britt H\xE4ll\r\nRCall=" +
         call +
         "\r\n"
         "RAdr1=\r\nRAdr2=\r\nRPoCo=\r\nRCity=\r\nRCoun=\r\nRPhon=\r\nRHBBS=\r\nMOpe1=\r\nMOpe2=\r\n"
         "STXEq=\r\nSPowe=\r\nSRXEq=\r\nSAnte=\r\nSAntH=10;50\r\nCQSOs=1;1\r\nCQSOP=42\r\nCWWLs=1;500;1\r\n"
         "CWWLB=500\r\nCExcs=0;0;0\r\nCExcB=0\r\nCDXCs=0;0;0\r\nCDXCB=0\r\nCToSc=542\r\nCODXC=SM5AAA;JO99BM;" +
         distance + "\r\n[Remarks]\r\n[QSORecords;1]\r\n261103;1805;SM5AAA;1;59;;59;;;JO99BM;42;;N;;\r\n[END;]\r\n";
}

TEST(CheckCommandUsage, BadUsageExitsTwoWithOneLineOnStandardError) {
  const std::vector<std::vector<std::string>> cases{
      {},
      {"--json"},
      {"--bogus", "x.edi"},
      {"--year", "20x6", "x.edi"},
      {"--year", "12345", "x.edi"},
      {"--year"},
      {"--utc-offset", "5000", "x.edi"},
      {"--utc-offset", "sixty", "x.edi"},
      {"--decimal-separator", ",,", "x.edi"},
      {"--decimal-separator", "5", "x.edi"},
      {"--decimal-separator=", "x.edi"},
  };
  for (const auto& args : cases) {
    const TRun run = RunCommand(args);
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    EXPECT_EQ(run.Err.rfind("loggrevy-check: ", 0), 0u) << run.Err;
  }
}

TEST(CheckCommandUsage, HelpAndVersionExitZero) {
  for (const std::string option : {"-h", "--help"}) {
    const TRun run = RunCommand({option});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("Usage: loggrevy-check"), std::string::npos);
  }
  const TRun version = RunCommand({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out.rfind("loggrevy-check 1.7.0", 0), 0u) << version.Out;
}

// Any number of threads gives the same bytes; what is not a number of
// threads from 1 to 1024 is bad usage.
TEST(CheckCommandJobs, ReportsAreTheSameForEveryNumberOfThreads) {
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--jobs", "0", "x.edi"},
                                              {"--jobs=-2", "x.edi"},
                                              {"--jobs", "1025", "x.edi"},
                                              {"--jobs", "two", "x.edi"},
                                              {"--jobs=", "x.edi"},
                                              {"x.edi", "--jobs"}}) {
    const TRun run = RunCommand(bad);
    SCOPED_TRACE(::testing::PrintToString(bad));
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    EXPECT_EQ(run.Err.rfind("loggrevy-check: ", 0), 0u) << run.Err;
    EXPECT_NE(run.Err.find("--jobs"), std::string::npos) << run.Err;
  }
  const TempDir dir;
  const std::string a = dir.Write("a.edi", Log144("SM5ABC"));
  const std::string missing = dir.Path() + "/missing.edi";
  std::vector<std::string> files{a, missing, dir.Write("b.edi", Log144("SM6XYZ", "41.5")), a, missing};
  for (const auto& entry : fs::directory_iterator(LOGGREVY_SAMPLES_DIR)) files.push_back(entry.path().string());
  std::sort(files.begin() + 5, files.end());
  for (const std::string format : {"--year=2026", "--json"}) {
    std::vector<std::string> args{format, "--jobs", "1"};
    args.insert(args.end(), files.begin(), files.end());
    const TRun serial = RunCommand(args);
    ASSERT_EQ(serial.Status, 0);
    for (const std::string jobs : {"2", "3", "8", "1024"}) {
      args[2] = jobs;
      const TRun run = RunCommand(args);
      EXPECT_EQ(run.Status, 0);
      EXPECT_TRUE(run.Out == serial.Out) << format << " --jobs " << jobs;
    }
    TSystemDefaults cores = kDefaults;
    cores.Jobs = 2;
    args.erase(args.begin() + 1, args.begin() + 3);
    EXPECT_TRUE(RunCommand(args, cores).Out == serial.Out) << format << " on the default threads";
  }
}

// Every file under dir and its folders, in name order; none without dir.
std::vector<std::string> FilesUnder(const std::string& dir) {
  std::vector<std::string> files;
  std::error_code error;
  if (!fs::is_directory(dir, error)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Two threads write what one writes, byte for byte, with the same notes and
// exit status: the report, the JSON document and the cross-check.
void ExpectTwoThreadsWriteWhatOneWrites(const std::vector<std::string>& files) {
  for (const std::vector<std::string>& options : {std::vector<std::string>{},
                                                  {"--json"},
                                                  {"--crosscheck"},
                                                  {"--crosscheck", "--json"}}) {
    std::vector<std::string> args{"--jobs", "1"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), files.begin(), files.end());
    const TRun one = RunCommand(args);
    args[1] = "2";
    const TRun two = RunCommand(args);
    SCOPED_TRACE(::testing::PrintToString(options));
    EXPECT_FALSE(one.Out.empty());
    EXPECT_EQ(two.Status, one.Status);
    EXPECT_TRUE(two.Out == one.Out);
    EXPECT_EQ(two.Err, one.Err);
  }
}

TEST(CheckCommandJobs, TwoThreadsWriteWhatOneWritesOnTheSamplesAndTheirEvening) {
  const std::vector<std::string> files = FilesUnder(LOGGREVY_SAMPLES_DIR);
  ASSERT_GT(std::count_if(files.begin(), files.end(),
                          [](const std::string& file) { return file.find("/nac-evening/") != std::string::npos; }),
            1);
  ExpectTwoThreadsWriteWhatOneWrites(files);
}

TEST(CheckCommandJobs, TwoThreadsWriteWhatOneWritesOnTheRealLogs) {
  const std::vector<std::string> files = FilesUnder(std::string(LOGGREVY_CORPUS_DIR) + "/real");
  if (files.empty()) GTEST_SKIP() << "no real logs at " << LOGGREVY_CORPUS_DIR;
  ExpectTwoThreadsWriteWhatOneWrites(files);
}

TEST(CheckCommandBatch, FolderIsSkippedWithANoteAndFilesAreStillImported) {
  const TempDir dir;
  const std::string file = dir.Write("a.edi", Log144("SM5ABC"));
  const TRun run = RunCommand({"--json", dir.Path(), file});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Err, "loggrevy-check: skipping folder " + dir.Path() + "\n");
  const json doc = json::parse(run.Out);
  ASSERT_EQ(doc["logs"].size(), 1u);
  EXPECT_EQ(doc["logs"][0]["file"], file);
}

TEST(CheckCommandBatch, SamePathTwiceIsOneLogButAnUnopenablePathIsANewLogEachTime) {
  const TempDir dir;
  const std::string file = dir.Write("a.edi", Log144("SM5ABC"));
  const std::string missing = dir.Path() + "/missing.edi";
  const json doc = json::parse(RunCommand({"--json", file, missing, file, missing}).Out);
  ASSERT_EQ(doc["logs"].size(), 3u);
  EXPECT_EQ(doc["logs"][0]["file"], file);
  EXPECT_EQ(doc["logs"][1]["file"], missing);
  EXPECT_EQ(doc["logs"][2]["file"], missing);
  EXPECT_EQ(doc["logs"][1]["edi"]["FileName"], "");
  ASSERT_EQ(doc["outline"].size(), 2u);
  EXPECT_EQ(doc["outline"][0]["text"], "20261103 : VHF");
  EXPECT_EQ(doc["outline"][0]["children"].size(), 1u);
  EXPECT_EQ(doc["outline"][1]["text"], "Ej läsbar EDI-fil");
  EXPECT_EQ(doc["outline"][1]["children"].size(), 2u);
  EXPECT_EQ(doc["outline"][1]["children"][1]["log"], 2);
}

TEST(CheckCommandBatch, EveryPathThatCannotBeOpenedGetsANoteWithTheReasonAndStaysAnUnreadableLog) {
  const TempDir dir;
  const std::string file = dir.Write("a.edi", Log144("SM5ABC"));
  const std::string missing = dir.Path() + "/missing.edi";
  const std::string notAFolder = file + "/b.edi";
  const std::vector<std::string> args{missing, dir.Path(), file, notAFolder, missing};
  const TRun run = RunCommand(args);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Err, "loggrevy-check: kan inte öppna " + missing + ": No such file or directory\n" +
                         "loggrevy-check: skipping folder " + dir.Path() + "\n" + "loggrevy-check: kan inte öppna " +
                         notAFolder + ": Not a directory\n" + "loggrevy-check: kan inte öppna " + missing +
                         ": No such file or directory\n");
  const json doc = json::parse(RunCommand({"--json", missing, file, notAFolder, missing}).Out);
  ASSERT_EQ(doc["logs"].size(), 4u);
  for (const std::size_t unreadable : {0u, 2u, 3u}) EXPECT_EQ(doc["logs"][unreadable]["edi"]["Status"], 3);
  EXPECT_EQ(doc["logs"][1]["edi"]["Status"], 0);
}

TEST(CheckCommandJson, DocumentHoldsTheOptionsAndEveryFieldOfALog) {
  const TempDir dir;
  const std::string file = dir.Write("a.edi", Log144("SM5ABC"));
  const json doc = json::parse(RunCommand({"--json", "--year", "2026", "--utc-offset=120", file}).Out);
  EXPECT_EQ(doc["year"], 2026);
  EXPECT_EQ(doc["utc_offset_minutes"], 120);
  EXPECT_EQ(doc["decimal_separator"], ",");
  const json& log = doc["logs"][0];
  EXPECT_EQ(log["caption"], "20261103 : VHF");

  const json& entry = log["entry"];
  EXPECT_EQ(entry["Call"], "SM5ABC");
  EXPECT_EQ(entry["DxScore"], 42);
  EXPECT_EQ(entry["Squares"], 1);
  EXPECT_EQ(entry["SquareBonus"], 500);
  EXPECT_EQ(entry["ClaimedScore"], 542);
  EXPECT_EQ(entry["TotalScore"], 542);
  EXPECT_EQ(entry["Club"], "");
  EXPECT_EQ(entry["EdiStatus"], 0);
  EXPECT_EQ(entry["CheckStatus"], 0);
  EXPECT_EQ(entry["HasRemarks"], false);

  const json& edi = log["edi"];
  EXPECT_EQ(edi["Status"], 0);
  EXPECT_EQ(edi["ReadFinished"], true);
  EXPECT_EQ(edi["FileName"], file);
  EXPECT_EQ(edi["QSOCount"], 1);
  EXPECT_EQ(edi["KeywordSeen"], json(std::vector<bool>(36, true)));
  EXPECT_EQ(edi["header"].size(), 47u);
  EXPECT_EQ(edi["header"].begin().key(), "TName");
  EXPECT_EQ(edi["header"]["RName"], "Britt Häll");
  EXPECT_EQ(edi["header"]["CQSOsBandMult"], 1);
  EXPECT_EQ(edi["header"]["CODXCDistance"], 41.5);
  EXPECT_EQ(edi["Diagnostics"].size(), 1u);
  EXPECT_EQ(edi["Diagnostics"][0], json({{"text", ""}, {"LineRef", 0}}));
  EXPECT_EQ(edi["Lines"][0], json({{"text", "[REG1TEST;1]"}, {"DiagnosticRef", 0}}));
  const json& qso = edi["QSOs"][0];
  EXPECT_EQ(qso["Call"], "SM5AAA");
  EXPECT_EQ(qso["RcvdWWL"], "JO99BM");
  EXPECT_EQ(qso["SentNr"], 0);
  EXPECT_EQ(qso["NewWWL"], "N");
  EXPECT_EQ(qso["NewExch"], " ");
  EXPECT_EQ(qso["Dupe"], " ");
  EXPECT_EQ(qso["Valid"], true);

  const json& check = log["check"];
  EXPECT_EQ(check["Checked"], true);
  EXPECT_EQ(check["Kind"], 1);
  EXPECT_EQ(check["KindName"], "VHF");
  EXPECT_EQ(check["Score"], 42);
  EXPECT_EQ(check["SquareCount"], 1);
  EXPECT_EQ(check["ValidQsoCount"], 1);
  EXPECT_EQ(check["BestDxCalls"], "\rSM5AAA\r");
  EXPECT_EQ(check["BandMultiplier"], 1);
  EXPECT_EQ(check["SquareBonus"], 500);
  EXPECT_EQ(check["OwnLocation"]["Locator"], "JO89VU");
  EXPECT_EQ(check["Messages"], json::array());
  ASSERT_EQ(check["QSOs"].size(), 1u);
  EXPECT_EQ(check["QSOs"][0]["points"], 42);
  EXPECT_EQ(check["QSOs"][0]["penalty"], 0);
  const double distance = check["QSOs"][0]["distance"];
  EXPECT_NEAR(distance, 41.52, 0.005);
}

TEST(CheckCommandJson, DecimalSeparatorDecidesHowTheClaimedBestDxIsRead) {
  const TempDir dir;
  const std::string comma = dir.Write("comma.edi", Log144("SM5ABC", "41,5"));
  const std::string point = dir.Write("point.edi", Log144("SM5ABD", "41.5"));
  const json withComma = json::parse(RunCommand({"--json", "--decimal-separator", ",", comma, point}).Out);
  EXPECT_EQ(withComma["logs"][0]["edi"]["header"]["CODXCDistance"], 41.5);
  EXPECT_EQ(withComma["logs"][1]["edi"]["header"]["CODXCDistance"], -1.0);
  EXPECT_EQ(withComma["logs"][1]["edi"]["Status"], 1);
  const json withPoint = json::parse(RunCommand({"--json", "--decimal-separator=.", comma, point}).Out);
  EXPECT_EQ(withPoint["decimal_separator"], ".");
  EXPECT_EQ(withPoint["logs"][0]["edi"]["header"]["CODXCDistance"], -1.0);
  EXPECT_EQ(withPoint["logs"][1]["edi"]["header"]["CODXCDistance"], 41.5);
}

TEST(CheckCommandJson, DefaultsComeFromTheSystemValuesHandedIn) {
  const TempDir dir;
  const std::string file = dir.Write("a.edi", Log144("SM5ABC"));
  const json doc = json::parse(RunCommand({"--json", file}, {2027, -300, '.'}).Out);
  EXPECT_EQ(doc["year"], 2027);
  EXPECT_EQ(doc["utc_offset_minutes"], -300);
  EXPECT_EQ(doc["decimal_separator"], ".");
  EXPECT_EQ(doc["logs"][0]["check"]["Messages"][0]["text"], "Loggen anger felaktigt år");
}

TEST(CheckCommandJson, SampleBatchFollowsTheOutlineOrder) {
  if (!fs::exists(Sample("sm5qrv-144.edi"))) GTEST_SKIP() << "no samples";
  std::vector<std::string> args{"--json", "--year", "2026", "--utc-offset", "60"};
  for (const auto& entry : fs::directory_iterator(LOGGREVY_SAMPLES_DIR)) args.push_back(entry.path().string());
  std::sort(args.begin() + 5, args.end());
  const TRun run = RunCommand(args);
  ASSERT_EQ(run.Status, 0);
  const json doc = json::parse(run.Out);
  std::vector<std::string> contests;
  for (const json& node : doc["outline"]) contests.push_back(node["text"]);
  EXPECT_EQ(contests, (std::vector<std::string>{"20261004 : Kvartalstest", "20261103 : VHF", "20261105 : 28M",
                                                "20261110 : UHF", "20261124 : Mikro", "Ej läsbar EDI-fil"}));
  // The Mikro station is one group with its three bands in import order.
  const json& mikro = doc["outline"][4]["children"];
  ASSERT_EQ(mikro.size(), 1u);
  EXPECT_EQ(mikro[0]["text"], "SM7MIK");
  std::vector<std::string> bands;
  int64_t total = 0;
  for (const json& member : mikro[0]["children"]) {
    bands.push_back(member["text"]);
    total += doc["logs"][member["log"].get<std::size_t>()]["entry"]["TotalScore"].get<int64_t>();
  }
  EXPECT_EQ(bands, (std::vector<std::string>{"10 GHz", "24 GHz", "2.3 GHz"}));
  EXPECT_EQ(mikro[0]["group"]["TotalScore"], total);
  // The 28 MHz station's two sections, in Swedish winter time.
  std::vector<std::string> sections;
  for (const json& member : doc["outline"][2]["children"][0]["children"]) sections.push_back(member["text"]);
  EXPECT_EQ(sections, (std::vector<std::string>{"A", "B"}));
}

TEST(CheckCommandText, ReportNamesContestsLogsAndProblems) {
  const TempDir dir;
  const std::string good = dir.Write("a.edi", Log144("SM5ABC", "41.5"));
  const std::string cut = dir.Write("cut.edi", "[REG1TEST;1]\r\nTName=x\r\n");
  const TRun run = RunCommand({"--decimal-separator", ".", good, cut});
  EXPECT_EQ(run.Status, 0);
  const std::string& out = run.Out;
  const auto at = [&](const std::string& text) { return out.find(text); };
  ASSERT_NE(at("20261103 : VHF\n  SM5ABC  krävd 542  erhållen 542  EDI 0  kontroll 0\n"), std::string::npos) << out;
  EXPECT_NE(at("bästa DX: krävd SM5AAA JO99BM 41.5 km, beräknad 41.5 km"), std::string::npos) << out;
  ASSERT_NE(at("Ej läsbar EDI-fil\n  " + cut), std::string::npos) << out;
  EXPECT_NE(at("EDI filen innehåller fel."), std::string::npos) << out;
  EXPECT_NE(at("fil: EDI-loggen ej komplett"), std::string::npos) << out;
  EXPECT_EQ(at("Nyckelordet"), std::string::npos) << "a log cut off before its QSOs is not checked for keywords";
  EXPECT_LT(at("20261103 : VHF"), at("Ej läsbar EDI-fil"));
}

}  // namespace
}  // namespace loggrevy
