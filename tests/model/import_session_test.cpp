// Importing files into the outline: contest nodes in order, logs in import
// order, groups for Mikro and 28M, reloads in place.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "model/import_session.h"
#include "model_logs.h"
#include "support/temp_dir.h"

namespace loggrevy::test {
namespace {

std::vector<std::string> TextsOf(const std::vector<std::unique_ptr<TOutlineNode>>& nodes) {
  std::vector<std::string> texts;
  for (const auto& node : nodes) texts.push_back(Cp1252ToUtf8(node->Text));
  return texts;
}

// The outline as indented lines, for comparing a whole tree at once.
void Dump(const std::vector<std::unique_ptr<TOutlineNode>>& nodes, int depth, std::vector<std::string>& out) {
  for (const auto& node : nodes) {
    std::string line(static_cast<std::size_t>(depth) * 2, ' ');
    line += Cp1252ToUtf8(node->Text);
    if (node->Group() != nullptr) line += " [group]";
    if (node->Log() != nullptr) line += " [log]";
    out.push_back(line);
    Dump(node->Children, depth + 1, out);
  }
}

std::vector<std::string> Outline(const TImportSession& session) {
  std::vector<std::string> out;
  Dump(session.Contests(), 0, out);
  return out;
}

// 5 January 2006 is a Thursday of the first week, 10 January a Tuesday of
// the second.
EdiBuilder Log2006(const std::string& date, const std::string& call, const std::string& band) {
  EdiBuilder b;
  b.Date(date).Set("PCall", call).Set("PBand", band);
  return b;
}

TEST(ImportSession, OutlineOrder) {
  TempDir dir;
  EdiBuilder noCall = Log2006("20060106", "", "144 MHz");  // a Friday
  const std::vector<std::string> paths{
      dir.PathOf("missing.edi"),
      dir.Write("friday.edi", Log2006("20060106", "SM1AAA", "144 MHz").Text()),
      dir.Write("nocall.edi", noCall.Text()),
      dir.Write("uhf.edi", Log2006("20060110", "SM2BBB", "432 MHz").Text()),
      dir.Write("vhf1.edi", Log2006("20060105", "SM3CCC", "144 MHz").Text()),
      dir.Write("ten.edi", Log2006("20060105", "SM4DDD", "28MHz").Set("PSect", "A").Text()),
      dir.Write("vhf2.edi", Log2006("20060105", "SM0AAA", "144 MHz").Text()),
  };
  TImportSession session(kSettings);
  session.ImportFiles(paths, 2006);
  const std::vector<std::string> expected{
      "20060105 : 28M",    "  SM4DDD [group]",
      "    X [log]",  // no QSO: the section cannot be told
      "20060105 : VHF",    "  SM3CCC [log]",           "  SM0AAA [log]", "20060110 : UHF",
      "  SM2BBB [log]",    "Ej identifierad test",     "  SM1AAA [log]", "  " + paths[2] + " [log]",
      "Ej läsbar EDI-fil", "  " + paths[0] + " [log]",
  };
  EXPECT_EQ(expected, Outline(session));
  EXPECT_EQ(7u, session.Logs().size());
}

TEST(ImportSession, MikroBandsInOneGroupInImportOrder) {
  TempDir dir;
  EdiBuilder a = MikroLog("SM5ABC", "10 GHz", 5);
  a.Set("CToSc", "100");
  EdiBuilder b = MikroLog("SM5ABC", "24GHz", 6);
  b.Set("CToSc", "200");
  EdiBuilder c = MikroLog("SM5ABC", "2.3 GHz", 2);
  c.Set("CToSc", "300");
  TImportSession session(kSettings);
  session.ImportFiles({dir.Write("a.edi", a.Text()), dir.Write("b.edi", b.Text()), dir.Write("c.edi", c.Text())}, 2007);
  const std::vector<std::string> expected{"20070628 : Mikro", "  SM5ABC [group]", "    10 GHz [log]", "    24GHz [log]",
                                          "    2.3 GHz [log]"};
  EXPECT_EQ(expected, Outline(session));

  const TOutlineNode& groupNode = *session.Contests()[0]->Children[0];
  const TLogGroup* group = groupNode.Group();
  ASSERT_NE(nullptr, group);
  ASSERT_EQ(3u, group->LogCount());
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(&group->GetLog(i), groupNode.Children[i]->Log()) << i;
  EXPECT_EQ(600, group->GetClaimedScore());
  EXPECT_EQ(505 + 500 + 606 + 500 + 202 + 500, group->GetTotalScore());
}

TEST(ImportSession, PortableCallIsAnotherGroup) {
  TempDir dir;
  TImportSession session(kSettings);
  session.ImportFiles({dir.Write("p.edi", MikroLog("SM5ABC/P", "10GHz", 5).Text()),
                       dir.Write("f.edi", MikroLog("SM5ABC", "24GHz", 6).Text())},
                      2007);
  const std::vector<std::string> expected{"20070628 : Mikro", "  SM5ABC [group]", "    24GHz [log]",
                                          "  SM5ABC/P [group]", "    10GHz [log]"};
  EXPECT_EQ(expected, Outline(session));
}

TEST(ImportSession, TwentyEightMegahertzSectionsAsCorrected) {
  TempDir dir;
  EdiBuilder first;
  first.Set("PBand", "28MHz").Set("PSect", "a").Qso("070605", "1800", "OZ1AAA", "JO55XX", 101);
  EdiBuilder second;
  second.Set("PBand", "28MHz").Set("PSect", "c").Qso("070605", "1900", "OZ1AAA", "JO55XX", 101);
  TImportSession session(kSettings);
  session.ImportFiles({dir.Write("1.edi", first.Text()), dir.Write("2.edi", second.Text())}, 2007);
  const std::vector<std::string> expected{"20070605 : 28M", "  SM5ABC [group]", "    B [log]", "    c [log]"};
  EXPECT_EQ(expected, Outline(session));
}

TEST(ImportSession, ReloadKeepsItsNode) {
  TempDir dir;
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  TImportSession session(kSettings);
  session.ImportFiles({path}, 2007);
  TLog* log = session.Logs().front();
  log->Checker().SetPenalty(0, kPenaltyInvalid);
  log->UseOwnSum();

  EdiBuilder changed = WorkedExample();
  changed.Date("20070612").Set("PBand", "432 MHz").Set("PCall", "SM7ZZZ");
  dir.Write("log.edi", changed.Text());
  session.ImportFiles({path}, 2007);

  EXPECT_EQ((std::vector<std::string>{"20070605 : VHF", "  SM5ABC [log]"}), Outline(session));
  ASSERT_EQ(1u, session.Logs().size());
  EXPECT_EQ(log, session.Logs().front());
  EXPECT_EQ(log, session.Contests()[0]->Children[0]->Log());
  EXPECT_EQ("20070612 : UHF", log->GetCaption());
  EXPECT_EQ(kPenaltyNone, log->Checker().GetPenalty(0));
  EXPECT_FALSE(log->DxScoreChanged());
  EXPECT_FALSE(log->SquaresChanged());
}

TEST(ImportSession, GroupMemberReloadStaysInPlace) {
  TempDir dir;
  const std::string a = dir.Write("a.edi", MikroLog("SM5ABC", "10GHz", 5).Text());
  const std::string b = dir.Write("b.edi", MikroLog("SM5ABC", "24GHz", 6).Text());
  TImportSession session(kSettings);
  session.ImportFiles({a, b}, 2007);
  dir.Write("a.edi", MikroLog("SM9XYZ", "47GHz", 7).Text());
  session.ImportFiles({a}, 2007);
  const std::vector<std::string> expected{"20070628 : Mikro", "  SM5ABC [group]", "    10GHz [log]", "    24GHz [log]"};
  EXPECT_EQ(expected, Outline(session));
  EXPECT_EQ("SM9XYZ", session.Contests()[0]->Children[0]->Children[0]->Log()->Edi().PCall);
}

TEST(ImportSession, UnopenablePathIsANewLogEveryTime) {
  TempDir dir;
  const std::string missing = dir.PathOf("missing.edi");
  TImportSession session(kSettings);
  session.ImportFiles({missing, missing}, 2007);
  session.ImportFiles({missing}, 2007);
  EXPECT_EQ(3u, session.Logs().size());
  EXPECT_EQ((std::vector<std::string>{"Ej läsbar EDI-fil", "  " + missing + " [log]", "  " + missing + " [log]",
                                      "  " + missing + " [log]"}),
            Outline(session));
}

// A file that opened records its name, even when its content is unreadable.
TEST(ImportSession, UnreadableContentIsReloadedInPlace) {
  TempDir dir;
  const std::string path = dir.Write("bad.edi", "not an EDI file");
  TImportSession session(kSettings);
  session.ImportFiles({path, path}, 2007);
  ASSERT_EQ(1u, session.Logs().size());
  dir.Write("bad.edi", WorkedExample().Text());
  session.ImportFiles({path}, 2007);
  ASSERT_EQ(1u, session.Logs().size());
  EXPECT_EQ((std::vector<std::string>{"Ej läsbar EDI-fil", "  " + path + " [log]"}), Outline(session));
  EXPECT_EQ("20070605 : VHF", session.Logs()[0]->GetCaption());
}

// A folder is not a file that can be opened.
TEST(ImportSession, FolderIsUnreadable) {
  TempDir dir;
  TImportSession session(kSettings);
  const std::string folder = dir.PathOf("");
  session.ImportFiles({folder, folder}, 2007);
  EXPECT_EQ(2u, session.Logs().size());
  EXPECT_EQ(3, session.Logs()[0]->GetEdiStatus());
}

// A path that is read is compared as text: a differently spelt path to the
// same file is another log.
TEST(ImportSession, SameFileUnderAnotherSpellingIsASecondLog) {
  TempDir dir;
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  std::filesystem::create_symlink(path, dir.PathOf("LOG.edi"));
  TImportSession session(kSettings);
  session.ImportFiles({path, dir.PathOf("LOG.edi"), path}, 2007);
  ASSERT_EQ(2u, session.Logs().size());
  EXPECT_NE(session.Logs()[0], session.Logs()[1]);
  EXPECT_EQ((std::vector<std::string>{"20070605 : VHF", "  SM5ABC [log]", "  SM5ABC [log]"}), Outline(session));
}

TEST(ImportSession, ProgressAfterEveryPath) {
  TempDir dir;
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  TImportSession session(kSettings);
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  session.ImportFiles({path, path, dir.PathOf("x")}, 2007,
                      [&](std::size_t done, std::size_t total) { calls.emplace_back(done, total); });
  EXPECT_EQ((std::vector<std::pair<std::size_t, std::size_t>>{{1, 3}, {2, 3}, {3, 3}}), calls);
}

TEST(ImportSession, FindOrAddKeepsOrdinalOrder) {
  TImportSession session(kSettings);
  for (const char* caption : {"b", "Ej", "20060105 : VHF", "20060105 : 28M", "b", "a", "Ej l\xE4sbar EDI-fil"}) {
    session.FindOrAddContest(caption);
  }
  EXPECT_EQ((std::vector<std::string>{"20060105 : 28M", "20060105 : VHF", "Ej", "Ej läsbar EDI-fil", "a", "b"}),
            TextsOf(session.Contests()));
  TOutlineNode& contest = session.FindOrAddContest("a");
  TOutlineNode& g1 = session.FindOrAddGroup(contest, "SM5ABC/P");
  TOutlineNode& g2 = session.FindOrAddGroup(contest, "SM5ABC");
  EXPECT_EQ(&g1, &session.FindOrAddGroup(contest, "SM5ABC/P"));
  EXPECT_NE(&g1, &g2);
  EXPECT_EQ((std::vector<std::string>{"SM5ABC", "SM5ABC/P"}), TextsOf(contest.Children));
  ASSERT_NE(nullptr, g2.Group());
  EXPECT_EQ(0u, g2.Group()->LogCount());
  EXPECT_EQ(&contest, g2.Parent);
}

// Every reported node is at the reported place when it is reported, and every
// node of the tree is reported once.
TEST(ImportSession, NodeInsertedMatchesTheTree) {
  TempDir dir;
  TImportSession session(kSettings);
  std::vector<const TOutlineNode*> reported;
  session.SetNodeInserted([&](TOutlineNode* parent, std::size_t index, TOutlineNode& node) {
    const auto& siblings = parent != nullptr ? parent->Children : session.Contests();
    ASSERT_LT(index, siblings.size());
    EXPECT_EQ(&node, siblings[index].get()) << Cp1252ToUtf8(node.Text);
    EXPECT_EQ(parent, node.Parent);
    reported.push_back(&node);
  });
  session.ImportFiles(
      {dir.Write("1.edi", MikroLog("SM5ABC/P", "10GHz", 5).Text()), dir.Write("2.edi", WorkedExample().Text()),
       dir.Write("3.edi", MikroLog("SM5ABC", "24GHz", 6).Text()),
       dir.Write("4.edi", MikroLog("SM5ABC/P", "24GHz", 6).Text()), dir.PathOf("missing"),
       dir.Write("5.edi", Log2006("20060105", "SM3CCC", "144 MHz").Text())},
      2007);
  std::size_t count = 0;
  std::vector<const TOutlineNode*> pending;
  for (const auto& node : session.Contests()) pending.push_back(node.get());
  while (!pending.empty()) {
    const TOutlineNode* node = pending.back();
    pending.pop_back();
    ++count;
    EXPECT_EQ(1, std::count(reported.begin(), reported.end(), node)) << Cp1252ToUtf8(node->Text);
    for (const auto& child : node->Children) pending.push_back(child.get());
  }
  EXPECT_EQ(count, reported.size());
}

// What the front ends see of two imports into one session: every node-inserted
// and progress call in order, then the outline and every log.
std::vector<std::string> ImportTwice(std::size_t jobs, const std::vector<std::string>& first,
                                     const std::vector<std::string>& second, const std::function<void()>& between) {
  TImportSession session(kSettings);
  std::vector<std::string> seen;
  session.SetNodeInserted([&](TOutlineNode* parent, std::size_t index, TOutlineNode& node) {
    seen.push_back("node " + (parent != nullptr ? parent->Text : std::string("-")) + " " + std::to_string(index) + " " +
                   node.Text);
  });
  const auto progress = [&](std::size_t done, std::size_t total) {
    seen.push_back(std::to_string(done) + "/" + std::to_string(total));
  };
  session.ImportFiles(first, 2007, progress, jobs);
  session.Logs().front()->SetDxScore(1);  // a judgement a reload discards
  between();
  session.ImportFiles(second, 2007, progress, jobs);
  for (const std::string& line : Outline(session)) seen.push_back(line);
  for (const TLog* log : session.Logs()) {
    seen.push_back(log->Path() + " " + log->GetCaption() + " " + log->Edi().PCall + " " +
                   std::to_string(log->GetTotalScore()) + " " + std::to_string(log->DxScoreChanged()) + " " +
                   std::to_string(log->Checker().Messages().size()));
  }
  return seen;
}

// Read on several threads, filed in order: the same outline, logs, reloads
// and calls as one thread gives, for a path repeated in the batch, a known
// path (changed on disk meanwhile), an unopenable path twice and unreadable
// content twice.
TEST(ImportSession, ParallelImportIsTheSerialImport) {
  TempDir dir;
  const std::string worked = dir.Write("worked.edi", WorkedExample().Text());
  const std::string bad = dir.Write("bad.edi", "not an EDI file");
  const std::string missing = dir.PathOf("missing.edi");
  std::vector<std::string> first{dir.Write("m1.edi", MikroLog("SM5ABC", "10GHz", 5).Text()), missing, worked};
  for (int i = 0; i < 12; ++i) {
    first.push_back(dir.Write("v" + std::to_string(i) + ".edi",
                              Log2006(i % 2 == 0 ? "20060105" : "20060110", "SM" + std::to_string(i) + "AAA",
                                      i % 3 == 0 ? "432 MHz" : "144 MHz")
                                  .Text()));
  }
  for (const std::string& again : {worked, missing, bad, bad, dir.PathOf("m1.edi")}) first.push_back(again);
  const std::string later = dir.PathOf("later.edi");
  const std::vector<std::string> second{first[5], later, dir.PathOf("m1.edi"), missing, first[5], worked};
  const auto between = [&] {
    dir.Write("v2.edi", Log2006("20060105", "SM9ZZZ", "144 MHz").Text());
    dir.Write("m1.edi", MikroLog("SM5ABC", "24GHz", 6).Text());
    dir.Write("later.edi", MikroLog("SM5ABC", "47GHz", 7).Text());
  };
  ASSERT_EQ(dir.PathOf("v2.edi"), first[5]);
  const std::vector<std::string> serial = ImportTwice(1, first, second, between);
  for (const std::size_t jobs : {2U, 3U, 8U}) {
    dir.Write("v2.edi", Log2006("20060105", "SM2AAA", "144 MHz").Text());
    dir.Write("m1.edi", MikroLog("SM5ABC", "10GHz", 5).Text());
    std::filesystem::remove(later);
    EXPECT_EQ(serial, ImportTwice(jobs, first, second, between)) << jobs << " jobs";
  }
}

TEST(ImportSession, ClearFreesEverything) {
  TempDir dir;
  TImportSession session(kSettings);
  const std::string path = dir.Write("log.edi", WorkedExample().Text());
  session.ImportFiles({path}, 2007);
  session.Clear();
  EXPECT_TRUE(session.Contests().empty());
  EXPECT_TRUE(session.Logs().empty());
  session.ImportFiles({path}, 2007);
  EXPECT_EQ(1u, session.Logs().size());
}

}  // namespace
}  // namespace loggrevy::test
