#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edi/reader_test_support.h"
#include "edi/reg1test.h"

namespace loggrevy {
namespace {

using test::Describe;
using test::DescribeQsos;
using test::Diags;
using test::MakeEdi;
using test::Read;
using test::TEdiParts;
using Strings = std::vector<std::string>;

std::unique_ptr<TReg1Test> ReadQsos(const Strings& qsos) {
  TEdiParts parts;
  parts.QsoTag = "[QSORecords;" + std::to_string(qsos.size()) + "]";
  parts.Qsos = qsos;
  return Read(MakeEdi(parts));
}

struct TQsoCase {
  std::string Line;
  // Status|Date|Time|Call|Mode|SentRST|SentNr|RcvdRST|RcvdNr|RcvdExch|RcvdWWL|Points|marks|validity
  std::string Record;
  std::string Diagnostic;  // on the line, empty for none
  uint8_t LogStatus;
};

TEST(ReaderQso, Fields) {
  const TQsoCase cases[] = {
      // Fourteen semicolons and an empty last field: field 15 is the appended blank.
      {"240604;1830;SM5XYZ;1;59;001;59;002;;JO99BM;42;N;N;;", "S0|240604|1830|SM5XYZ|1|59|1|59|2||JO99BM|42|NN  |valid",
       "", 0},
      {"240604;1830;SM5XYZ;1;59;001;59;002;;JO99BM;42;N;N;;D",
       "S0|240604|1830|SM5XYZ|1|59|1|59|2||JO99BM|42|NN D|invalid", "", 0},
      // Fifteen semicolons: field 15 is empty and field 16 is ignored.
      {"240604;1830;SM5XYZ;1;59;001;59;002;;JO99BM;42;N;N;;;D",
       "S0|240604|1830|SM5XYZ|1|59|1|59|2||JO99BM|42|NN \\0|valid", "", 0},
      // Thirteen semicolons: fields 1 to 14 are stored, the record is unreadable.
      {"240604;1830;SM5XYZ;1;59;001;59;002;;JO99BM;42;N;N;X",
       "S3|240604|1830|SM5XYZ|1|59|1|59|2||JO99BM|42|NNX\\0|valid", "Ej läsbar QSO-rad", 3},
      {"240604;1830;SM5XYZ;;59;;59;;;JO99BM;;N;N;;", "S0|240604|1830|SM5XYZ|0|59|0|59|0||JO99BM|0|NN  |invalid", "", 0},
      {"240604;1830;SM5XYZ;1;;001;;002;;;42;;;;", "S0|240604|1830|SM5XYZ|1||1||2|||42|    |valid", "", 0},
      {"240604;1830;SM5XYZ;1;59;001;59;002;;JO99BM;-5;N;N;;",
       "S0|240604|1830|SM5XYZ|1|59|1|59|2||JO99BM|0|NN  |invalid", "", 0},
      {"240604;1830;error;1;59;001;59;002;;JO99BM;42;N;N;;", "S0|240604|1830|ERROR|1|59|1|59|2||JO99BM|42|NN  |invalid",
       "", 0},
      {"240604;1830;Error ;1;59;001;59;002;;JO99BM;42;N;N;;", "S0|240604|1830|ERROR |1|59|1|59|2||JO99BM|42|NN  |valid",
       "", 0},
      {"240604;1830;sm5abcdefghijklm;1;59;001;59;002;;jo99bm;42;N;N;;",
       "S0|240604|1830|SM5ABCDEFGHIJK|1|59|1|59|2||JO99BM|42|NN  |valid", "", 0},
      {"2406041;18305;sm5\xE5\xE4;1;599x;001;59;002;abcdefgh;jo99bm12x;42;NX;NY;YZ;DE",
       "S0|240604|1830|SM5\xE5\xE4|1|599|1|59|2|abcdef|JO99BM12|42|NNYD|invalid", "", 0},
      {"240604;1830;SM5XYZ;+1;59; 001;59;-002;;JO99BM;+42;N;N;;",
       "S0|240604|1830|SM5XYZ|1|59|1|59|-2||JO99BM|42|NN  |valid", "", 0},
      {"240604;1830;SM5XYZ;1 ;59;001;59;002;;JO99BM;42;N;N;;",
       "S0|240604|1830|SM5XYZ|-1|59|1|59|2||JO99BM|42|NN  |valid", "Ogiltigt värde", 1},
      {"240604;1830;SM5XYZ;1;59;001;59;002;;JO99BM;4x2;N;N;;",
       "S0|240604|1830|SM5XYZ|1|59|1|59|2||JO99BM|0|NN  |invalid", "Ogiltigt värde", 1},
      {"240604;1830;SM5XYZ;1;59;001;59;99999999999;;JO99BM;42;N;N;;",
       "S0|240604|1830|SM5XYZ|1|59|1|59|-1||JO99BM|42|NN  |valid", "Ogiltigt värde", 1},
      // An invalid number and too few fields: the line shows the first
      // diagnostic, the record and the log are unreadable all the same.
      {"240604;1830;SM5XYZ;x", "S3|240604|1830|SM5XYZ|-1||0||0|||0|\\0\\0\\0\\0|invalid", "Ogiltigt värde", 3},
      // The last field carries the appended blank, so a number there is invalid.
      {"240604;1830;SM5XYZ;1;59;001", "S3|240604|1830|SM5XYZ|1|59|-1||0|||0|\\0\\0\\0\\0|invalid", "Ogiltigt värde", 3},
      {"240604", "S3|240604|||0||0||0|||0|\\0\\0\\0\\0|invalid", "Ej läsbar QSO-rad", 3},
      // A line of blanks is trimmed to nothing: one field, the appended blank.
      {"     ", "S3| |||0||0||0|||0|\\0\\0\\0\\0|invalid", "Ej läsbar QSO-rad", 3},
  };
  for (const auto& c : cases) {
    const auto edi = ReadQsos({c.Line});
    ASSERT_EQ(edi->QSOs.size(), 1u) << c.Line;
    EXPECT_EQ(Describe(edi->QSOs[0]), c.Record) << c.Line;
    EXPECT_EQ(Diags(*edi), c.Diagnostic.empty() ? Strings{} : Strings{c.Line + ": " + c.Diagnostic}) << c.Line;
    EXPECT_EQ(edi->Status, c.LogStatus) << c.Line;
  }
}

TEST(ReaderQso, BlanksAroundTheLineAreRemovedInsideKept) {
  const auto edi = ReadQsos({"   240604;1830; SM5XYZ ;1;59;001;59;002;;JO99BM;42;N;N;;   "});
  EXPECT_EQ(Describe(edi->QSOs.at(0)), "S0|240604|1830| SM5XYZ |1|59|1|59|2||JO99BM|42|NN  |valid");
}

TEST(ReaderQso, RepeatedInvalidNumbersAreReportedTwicePerField) {
  const Strings lines = {
      "240604;1830;SM5AAA;1;59;abc;59;001;;JO99BM;1;;;;", "240604;1831;SM5AAB;1;59;abd;59;002;;JO99BM;1;;;;",
      "240604;1832;SM5AAC;1;59;abe;59;003;;JO99BM;1;;;;", "240604;1833;SM5AAD;1;59;004;59;x;;JO99BM;1;;;;",
      "240604;1834;SM5AAE;m;59;005;59;005;;JO99BM;p;;;;", "240604;1835;SM5AAF;m;59;006;59;006;;JO99BM;1;;;;",
      "240604;1836;SM5AAG;m;59;007;59;007;;JO99BM;p;;;;", "240604;1837;SM5AAH;1;59;008;59;008;;JO99BM;p;;;;",
  };
  const auto edi = ReadQsos(lines);
  EXPECT_EQ(Diags(*edi), (Strings{
                             lines[0] + ": Ogiltigt värde", lines[1] + ": Ogiltigt värde (upprepas)",
                             lines[3] + ": Ogiltigt värde",  // each field counts on its own
                             lines[4] + ": Ogiltigt värde",  // mode; the points' first failure is dropped
                             lines[5] + ": Ogiltigt värde (upprepas)",
                             lines[6] + ": Ogiltigt värde (upprepas)",  // the points' second failure
                         }));
  EXPECT_EQ(edi->Status, 1);
  std::vector<int32_t> sentNr;
  for (const auto& q : edi->QSOs) sentNr.push_back(q.SentNr);
  EXPECT_EQ(sentNr, (std::vector<int32_t>{-1, -1, -1, 4, 5, 6, 7, 8}));
  std::vector<int32_t> points;
  for (const auto& q : edi->QSOs) points.push_back(q.Points);
  EXPECT_EQ(points, (std::vector<int32_t>{1, 1, 1, 1, 0, 1, 0, 0}));
  EXPECT_EQ(edi->QSOs[3].RcvdNr, -1);
  EXPECT_EQ(edi->QSOs[4].Mode, -1);
}

TEST(ReaderQso, RecordsInFileOrderIncludingUnreadableOnes) {
  const auto edi = ReadQsos({test::kQso1, "trasig rad", test::kQso2});
  EXPECT_EQ(DescribeQsos(*edi), (Strings{
                                    "S0|240604|1830|SM5XYZ|1|59|1|59|1||JO99BM|42|NN  |valid",
                                    "S3|trasig|||0||0||0|||0|\\0\\0\\0\\0|invalid",
                                    "S0|240604|1831|SM5ABD|1|59|2|59|2||JO89VU|1| N  |valid",
                                }));
  EXPECT_EQ(edi->QSOCount, 3);
  EXPECT_EQ(edi->Status, 3);
}

}  // namespace
}  // namespace loggrevy
