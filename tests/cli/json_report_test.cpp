// The batch checker writes its JSON document as it goes; these tests hold it
// to the document that nlohmann builds and dumps, byte for byte.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

#include <unistd.h>

#include "cli/json_writer.h"
#include "cli/reports.h"
#include "core/cp1252.h"
#include "json_reference.h"
#include "test_paths.h"

namespace loggrevy {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

// Both texts around their first difference, so a failure shows where.
void ExpectSameBytes(const std::string& streamed, const std::string& tree) {
  const auto mismatch = std::mismatch(streamed.begin(), streamed.end(), tree.begin(), tree.end());
  const auto at = static_cast<std::size_t>(mismatch.first - streamed.begin());
  const std::size_t from = at < 80 ? 0 : at - 80;
  EXPECT_EQ(streamed.substr(from, 160), tree.substr(from, 160)) << "first difference at byte " << at;
  EXPECT_EQ(streamed.size(), tree.size());
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> files;
  std::error_code error;
  if (!fs::is_directory(dir, error)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// parse: also compare the parsed documents (slow for large batches).
void ExpectSameReports(const std::vector<std::string>& files, const TReportSettings& settings, bool parse = true) {
  TImportSession session({settings.DecimalSeparator, settings.UtcOffsetMinutes});
  session.ImportFiles(files, settings.Year);
  std::ostringstream streamed;
  WriteJsonReport(streamed, session, settings);
  std::ostringstream tree;
  testing::WriteJsonReportFromTree(tree, session, settings);
  ExpectSameBytes(streamed.str(), tree.str());
  if (parse) {
    EXPECT_EQ(json::parse(streamed.str()), json::parse(tree.str()));
  }
}

TEST(JsonReport, SamplesGiveTheDocumentOfTheTree) {
  std::vector<std::string> files = FilesIn(LOGGREVY_SAMPLES_DIR);
  ASSERT_FALSE(files.empty());
  files.push_back(files.front());  // a reload
  files.push_back(std::string(LOGGREVY_SAMPLES_DIR) + "/missing.edi");
  ExpectSameReports(files, {2026, 60, ','});
  ExpectSameReports(files, {2021, 120, '.'});
}

TEST(JsonReport, TestDataAndCorpusGiveTheDocumentOfTheTree) {
  std::vector<std::string> files = FilesIn(LOGGREVY_TEST_DATA_DIR);
  const std::vector<std::string> corpus = FilesIn(LOGGREVY_CORPUS_DIR);
  files.insert(files.end(), corpus.begin(), corpus.end());
  ASSERT_FALSE(files.empty());
  ExpectSameReports(files, {2026, 60, ','}, false);
}

// Texts with every kind of character, and paths that are not UTF-8.
TEST(JsonReport, AwkwardTextsAndPathsGiveTheDocumentOfTheTree) {
  const fs::path dir = fs::temp_directory_path() / ("loggrevy-json-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string log =
      "[REG1TEST;1]\r\nTName=Tab\there \"quoted\" back\\slash \x01\x1F\x7F\x80\x81\x9D\xE5\xFF\r\n"
      "TDate=20261103;20261103\r\nPCall=SM5\xC5\xC4\r\nPWWLo=JO89VU\r\nPBand=144 MHz\r\n"
      "[Remarks]\r\nG{teborg \x94 \x1A\r\n[QSORecords;2]\r\n"
      "261103;1802;SM5BXQ;1;59;;59;;;JP90AA;14;\x01;\";\\;\x80\r\n"
      "261103;1806;sm4klt;x;59;;59;;;jp70tm;158;;N;\r\n";
  log += std::string("\0 nul\r\n", 7);
  std::vector<std::string> files;
  for (const std::string& name : {std::string("plain.edi"), std::string("g\xC3\xB6teborg.edi"),
                                  std::string("l\xF6s\xE9.edi"), std::string("tab\tquote\".edi")}) {
    std::ofstream((dir / name).string(), std::ios::binary) << log;
    files.push_back((dir / name).string());
  }
  files.push_back((dir / "missing\x01\xFF\xC3.edi").string());
  ExpectSameReports(files, {2026, 60, ','});
  fs::remove_all(dir);
}

std::string Streamed(const std::function<void(TJsonWriter&)>& write) {
  std::ostringstream out;
  {
    TJsonWriter writer(out);
    write(writer);
  }
  return out.str();
}

TEST(JsonWriter, NumbersAreWrittenAsNlohmannWritesThem) {
  const std::vector<double> values{0.0,
                                   -0.0,
                                   1.0,
                                   123.0,
                                   0.1,
                                   1e-7,
                                   123456789012.5,
                                   1e300,
                                   -2.5e-300,
                                   5e-324,
                                   41.52,
                                   6371.2906818547540815,
                                   std::numeric_limits<double>::max(),
                                   std::nan(""),
                                   std::numeric_limits<double>::infinity()};
  json tree = json::array();
  for (const double value : values) tree.push_back(value);
  tree.push_back(std::numeric_limits<int64_t>::min());
  tree.push_back(std::numeric_limits<int64_t>::max());
  tree.push_back(uint8_t{255});
  tree.push_back(true);
  const std::string streamed = Streamed([&](TJsonWriter& writer) {
    writer.BeginArray();
    for (const double value : values) writer.Double(value);
    writer.Int(std::numeric_limits<int64_t>::min());
    writer.Int(std::numeric_limits<int64_t>::max());
    writer.Unsigned(255);
    writer.Bool(true);
    writer.EndArray();
  });
  EXPECT_EQ(streamed, tree.dump());
}

TEST(JsonWriter, EveryWindows1252CharacterIsEscapedAsNlohmannEscapesIt) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const json tree = {
      {"all", Cp1252ToUtf8(all)}, {"empty", ""}, {"nested", {{"a", json::array()}, {"b", json::object()}}}};
  const std::string streamed = Streamed([&](TJsonWriter& writer) {
    writer.BeginObject();
    writer.Key("all").Cp1252(all);
    writer.Key("empty").Cp1252("");
    writer.Key("nested").BeginObject();
    writer.Key("a").BeginArray();
    writer.EndArray();
    writer.Key("b").BeginObject();
    writer.EndObject();
    writer.EndObject();
    writer.EndObject();
  });
  EXPECT_EQ(streamed, tree.dump());
}

}  // namespace
}  // namespace loggrevy
