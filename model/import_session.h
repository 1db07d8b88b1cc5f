#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/entry.h"
#include "model/implog.h"
#include "model/loggroup.h"

namespace loggrevy {

// A node of the outline: a contest (level 1, no entry), a log or a group
// (level 2), or a log of a group (level 3).
struct TOutlineNode {
  std::string Text;         // Windows-1252
  TEntry* Entry = nullptr;  // carried; owned by this node or, on level 3, by the group
  std::unique_ptr<TEntry> Owned;
  TOutlineNode* Parent = nullptr;
  std::vector<std::unique_ptr<TOutlineNode>> Children;

  TLog* Log() const { return dynamic_cast<TLog*>(Entry); }
  TLogGroup* Group() const { return dynamic_cast<TLogGroup*>(Entry); }
};

// The imported logs filed under their contests, as both front ends show them.
// Contest nodes and groups are in ascending ordinal order of their texts, logs
// in import order. A path that was read before is reloaded in place.
class TImportSession {
 public:
  explicit TImportSession(TLocalSettings settings);
  TImportSession(const TImportSession&) = delete;
  TImportSession& operator=(const TImportSession&) = delete;

  // Told of every node as it is inserted: its parent (nullptr for a contest),
  // its position among the parent's children, and the node.
  using TNodeInserted = std::function<void(TOutlineNode* parent, std::size_t index, TOutlineNode& node)>;
  void SetNodeInserted(TNodeInserted handler) { NodeInserted_ = std::move(handler); }

  // Told on the thread that reads it of each log read fresh for a path (not
  // of a reload, nor of a later mention of the same path), by the path's
  // index in the batch: Bytes of the file's bytes as read (nullptr when they
  // could not be read), then Log of the log read from them and checked,
  // before it is filed. What Log does to the log is done before anyone else
  // sees it; when it returns false, the log is dropped instead of filed.
  struct TLogRead {
    std::function<void(std::size_t index, const std::string* bytes)> Bytes;
    std::function<bool(std::size_t index, TLog& log)> Log;
  };

  // Imports the paths in order; year is the expected contest year of the
  // batch. progress(done, total) is called after each path. With jobs > 1 the
  // files are read and checked on that many threads, the calling thread among
  // them, and filed on the calling thread in order as they are ready: the
  // outline, the logs, the node-inserted and progress calls are those of
  // jobs = 1. logRead, when given, is told of every log read fresh.
  void ImportFiles(const std::vector<std::string>& paths, int32_t year,
                   const std::function<void(std::size_t, std::size_t)>& progress = {}, std::size_t jobs = 1,
                   const TLogRead& logRead = {});

  // The contest node with this caption, inserted in order when missing.
  TOutlineNode& FindOrAddContest(std::string_view caption);
  // The group node of call under a contest, created with an empty group.
  TOutlineNode& FindOrAddGroup(TOutlineNode& contest, std::string_view call);

  const std::vector<std::unique_ptr<TOutlineNode>>& Contests() const { return Contests_; }
  // Every log created, in order of creation (a reload keeps its place).
  const std::vector<TLog*>& Logs() const { return Logs_; }
  // Frees every log and node.
  void Clear();

  const TLocalSettings& Settings() const { return Settings_; }

 private:
  TOutlineNode& AddChild(TOutlineNode* parent, std::size_t index, std::string text);
  // Imports one path read before the others of its batch were filed: a known
  // path is reloaded, any other one filed as a new log (read now when fresh
  // is empty).
  void ImportOne(const std::string& path, int32_t year, std::unique_ptr<TLog> fresh);
  void FileNewLog(const std::string& path, std::unique_ptr<TLog> log);
  void ImportInParallel(const std::vector<std::string>& paths, int32_t year,
                        const std::function<void(std::size_t, std::size_t)>& progress, std::size_t jobs,
                        const TLogRead& logRead);
  std::unique_ptr<TLog> ReadNewLog(const std::string& path, int32_t year, std::size_t index,
                                   const TLogRead& logRead) const;

  TLocalSettings Settings_;
  std::vector<std::unique_ptr<TOutlineNode>> Contests_;
  std::vector<TLog*> Logs_;
  std::unordered_map<std::string, TLog*> ByFileName_;
  TNodeInserted NodeInserted_;
};

}  // namespace loggrevy
