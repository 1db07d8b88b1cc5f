#include "model/import_session.h"

#include <optional>
#include <unordered_set>

#include "core/cp1252.h"
#include "model/ordered_work.h"

namespace loggrevy {
namespace {

// Where a node with this text belongs among ordered siblings: the sibling with
// the same text, or the first one that sorts after it (ordinal comparison).
struct TPlace {
  std::size_t Index;
  bool Found;
};

TPlace FindPlace(const std::vector<std::unique_ptr<TOutlineNode>>& siblings, std::string_view text) {
  for (std::size_t i = 0; i < siblings.size(); ++i) {
    const int order = std::string_view(siblings[i]->Text).compare(text);
    if (order == 0) return {i, true};
    if (order > 0) return {i, false};
  }
  return {siblings.size(), false};
}

}  // namespace

TImportSession::TImportSession(TLocalSettings settings) : Settings_(settings) {}

TOutlineNode& TImportSession::AddChild(TOutlineNode* parent, std::size_t index, std::string text) {
  auto& siblings = parent != nullptr ? parent->Children : Contests_;
  auto node = std::make_unique<TOutlineNode>();
  node->Text = std::move(text);
  node->Parent = parent;
  TOutlineNode& added = **siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(index), std::move(node));
  return added;
}

TOutlineNode& TImportSession::FindOrAddContest(std::string_view caption) {
  const TPlace place = FindPlace(Contests_, caption);
  if (place.Found) return *Contests_[place.Index];
  TOutlineNode& node = AddChild(nullptr, place.Index, std::string(caption));
  if (NodeInserted_) NodeInserted_(nullptr, place.Index, node);
  return node;
}

TOutlineNode& TImportSession::FindOrAddGroup(TOutlineNode& contest, std::string_view call) {
  const TPlace place = FindPlace(contest.Children, call);
  if (place.Found) return *contest.Children[place.Index];
  TOutlineNode& node = AddChild(&contest, place.Index, std::string(call));
  node.Owned = std::make_unique<TLogGroup>();
  node.Entry = node.Owned.get();
  if (NodeInserted_) NodeInserted_(&contest, place.Index, node);
  return node;
}

void TImportSession::ImportFiles(const std::vector<std::string>& paths, int32_t year,
                                 const std::function<void(std::size_t, std::size_t)>& progress, std::size_t jobs,
                                 const TLogRead& logRead) {
  // The ordered import tells first and later mentions of a path apart, which
  // the hook needs even on one thread.
  if ((jobs > 1 && paths.size() > 1) || logRead.Log) {
    ImportInParallel(paths, year, progress, jobs, logRead);
    return;
  }
  for (std::size_t done = 0; done < paths.size(); ++done) {
    ImportOne(paths[done], year, nullptr);
    if (progress) progress(done + 1, paths.size());
  }
}

void TImportSession::ImportOne(const std::string& path, int32_t year, std::unique_ptr<TLog> fresh) {
  // A path that was read before is read again in place; the outline keeps
  // the node where it is, even when the file now belongs elsewhere.
  if (const auto known = ByFileName_.find(path); known != ByFileName_.end()) {
    known->second->Reload();
    return;
  }
  FileNewLog(path, fresh ? std::move(fresh) : std::make_unique<TLog>(path, year, Settings_));
}

std::unique_ptr<TLog> TImportSession::ReadNewLog(const std::string& path, int32_t year, std::size_t index,
                                                 const TLogRead& logRead) const {
  if (!logRead.Log) return std::make_unique<TLog>(path, year, Settings_);
  std::optional<std::string> bytes = ReadEdiFileBytes(path);
  if (logRead.Bytes) logRead.Bytes(index, bytes ? &*bytes : nullptr);
  auto log = bytes ? TLog::Taking(std::move(*bytes), path, year, Settings_)
                   : std::make_unique<TLog>(path, year, Settings_);
  if (!logRead.Log(index, *log)) return nullptr;
  return log;
}

void TImportSession::FileNewLog(const std::string& path, std::unique_ptr<TLog> log) {
  TLog* created = log.get();
  Logs_.push_back(created);
  // A path that could not be opened records no file name: importing it
  // again makes another log.
  if (!created->Edi().FileName.empty()) ByFileName_[created->Edi().FileName] = created;

  TOutlineNode& contest = FindOrAddContest(created->GetCaption());
  const TContestKind kind = created->Checker().Kind();
  const TReg1Test& edi = created->Edi();
  TOutlineNode* parent = &contest;
  std::string text;
  if (edi.Status == 3 || (kind == TContestKind::None && edi.PCall.empty())) {
    text = Utf8ToCp1252(path);
  } else if (kind == TContestKind::Mikro || kind == TContestKind::M28) {
    parent = &FindOrAddGroup(contest, edi.PCall);
    text = kind == TContestKind::Mikro ? edi.PBand : edi.PSect;
  } else {
    text = edi.PCall;
  }
  TOutlineNode& node = AddChild(parent, parent->Children.size(), std::move(text));
  node.Entry = created;
  if (TLogGroup* group = parent->Group()) {
    group->Add(std::move(log));
  } else {
    node.Owned = std::move(log);
  }
  if (NodeInserted_) NodeInserted_(parent, parent->Children.size() - 1, node);
}

// The threads only read: the first mention of a path not known yet reads a
// new log, the first mention of a known path reloads its log (which nothing
// else touches meanwhile). Which it is, is decided before they start. Every
// later mention is left to the filing, which does what the serial import
// does there: a reload when an earlier mention opened the file, another new
// log when none did.
void TImportSession::ImportInParallel(const std::vector<std::string>& paths, int32_t year,
                                      const std::function<void(std::size_t, std::size_t)>& progress, std::size_t jobs,
                                      const TLogRead& logRead) {
  std::vector<TLog*> reloads(paths.size(), nullptr);
  std::vector<bool> firstMention(paths.size(), false);
  std::unordered_set<std::string_view> seen;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!seen.insert(paths[i]).second) continue;
    firstMention[i] = true;
    if (const auto known = ByFileName_.find(paths[i]); known != ByFileName_.end()) reloads[i] = known->second;
  }
  std::vector<std::unique_ptr<TLog>> fresh(paths.size());
  std::vector<uint8_t> dropped(paths.size(), 0);
  RunInOrder(
      paths.size(), jobs, paths.size(),
      [&](std::size_t i) {
        if (!firstMention[i]) return;
        if (reloads[i] != nullptr) {
          reloads[i]->Reload();
        } else {
          fresh[i] = ReadNewLog(paths[i], year, i, logRead);
          dropped[i] = fresh[i] == nullptr;
        }
      },
      [&](std::size_t i) {
        if (fresh[i]) {
          FileNewLog(paths[i], std::move(fresh[i]));
        } else if (reloads[i] == nullptr && dropped[i] == 0) {
          ImportOne(paths[i], year, nullptr);
        }
        if (progress) progress(i + 1, paths.size());
      });
}

void TImportSession::Clear() {
  ByFileName_.clear();
  Logs_.clear();
  Contests_.clear();
}

}  // namespace loggrevy
