#include "model/import_session.h"

#include "core/cp1252.h"

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
                                 const std::function<void(std::size_t, std::size_t)>& progress) {
  for (std::size_t done = 0; done < paths.size(); ++done) {
    const std::string& path = paths[done];
    // A path that was read before is read again in place; the outline keeps
    // the node where it is, even when the file now belongs elsewhere.
    if (const auto known = ByFileName_.find(path); known != ByFileName_.end()) {
      known->second->Reload();
      if (progress) progress(done + 1, paths.size());
      continue;
    }

    auto log = std::make_unique<TLog>(path, year, Settings_);
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
    if (progress) progress(done + 1, paths.size());
  }
}

void TImportSession::Clear() {
  ByFileName_.clear();
  Logs_.clear();
  Contests_.clear();
}

}  // namespace loggrevy
