#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "crosscheck_batch.h"
#include "model/import_session.h"
#include "support/temp_dir.h"

namespace loggrevy {
namespace {

using test::EdiOf;
using test::TStation;

// Whatever a batch holds, every log gets the verdicts the rules prescribe.
TEST(BadBatches, EveryOddLogGetsItsPrescribedPlace) {
  test::TempDir dir;
  const TStation partner{"SM6XYZ", "JO57AA", {"1801 SM5ABC JO66SD", "1802 SM5ABC JO66SD"}};
  std::string noCall = EdiOf({"", "JO66SD", {"1800 SM6XYZ JO57AA"}});
  std::string noQsos = EdiOf({"SM5NOQ", "JO66SD", {}});
  std::string badTimes = EdiOf({"SM5ABC", "JO66SD", {"1800 SM6XYZ JO57AA", "1801 SM6XYZ JO57AA"}});
  badTimes.replace(badTimes.find("070605;1800"), 11, "070605;18.0")
      .replace(badTimes.find("070605;1801"), 11, "070699;1801");
  const std::vector<std::string> paths{
      dir.Write("nocall.edi", noCall),
      dir.Write("noqsos.edi", noQsos),
      dir.Write("badtimes.edi", badTimes),
      dir.Write("partner.edi", EdiOf(partner)),
      dir.Write("again.edi", EdiOf(partner)),
      dir.PathOf("missing.edi"),
      dir.PathOf("missing.edi"),
      dir.Write("partner.edi", EdiOf(partner)),
  };
  TImportSession session(TLocalSettings{',', 60});
  session.ImportFiles(paths, 2007);
  ASSERT_EQ(session.Logs().size(), 7u);  // partner.edi twice is one log
  const TCrossCheck check(session.Logs(), {});
  const auto role = [&](std::size_t log) { return check.BatchLog(log).Role; };
  EXPECT_EQ(role(0), TBatchRole::Absent);
  EXPECT_EQ(role(1), TBatchRole::Active);
  EXPECT_TRUE(check.Log(1).Qsos.empty());
  EXPECT_EQ(check.Log(1).After->Score, 0);
  EXPECT_EQ(check.Log(2).Counts[static_cast<std::size_t>(TVerdict::Unverifiable)], 2);
  EXPECT_EQ(role(3), TBatchRole::Replaced);  // the same station's log again, from another file
  EXPECT_EQ(check.BatchLog(3).ReplacedBy, 4);
  EXPECT_EQ(check.Log(4).Counts[static_cast<std::size_t>(TVerdict::NotInLog)], 2);
  EXPECT_EQ(role(5), TBatchRole::Absent);  // unopenable paths: unreadable logs without a call
  EXPECT_EQ(role(6), TBatchRole::Absent);
}

// Two logs of half a million QSOs each, all in the same few minutes:
// every record finds its partner, in time that grows with the records.
TEST(BadBatches, AMillionQsosBetweenTwoLogs) {
  constexpr int kQsos = 500'000;
  std::string a = EdiOf({"SM5ABC", "JO66SD", {}});
  std::string b = EdiOf({"SM6XYZ", "JO57AA", {}});
  const auto fill = [](std::string& text, std::string_view call, std::string_view locator) {
    std::string lines;
    for (int i = 0; i < kQsos; ++i) {
      lines += "070605;18" + std::to_string(10 + i % 5) + ";" + std::string(call) + ";1;59;;59;;;" +
               std::string(locator) + ";1;;;;\r\n";
    }
    const std::size_t at = text.find("[QSORecords;0]\r\n");
    text.replace(at, 16, "[QSORecords;" + std::to_string(kQsos) + "]\r\n" + lines);
  };
  fill(a, "SM6XYZ", "JO57AA");
  fill(b, "SM5ABC", "JO66SD");
  const test::TBatch batch({a, b});
  EXPECT_EQ(batch.Check->Log(0).Counts[static_cast<std::size_t>(TVerdict::Confirmed)], kQsos);
  EXPECT_EQ(batch.Check->Log(1).Counts[static_cast<std::size_t>(TVerdict::Confirmed)], kQsos);
  EXPECT_EQ(batch.Check->Log(0).Qsos[7].OtherQso, 8);
  EXPECT_EQ(batch.Check->Log(0).ClockOffsetMinutes, 0);
}

}  // namespace
}  // namespace loggrevy
