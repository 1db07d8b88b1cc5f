#pragma once

#include <QColor>
#include <QObject>

#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>

#include "crosscheck/crosscheck.h"

class QThread;
class QWidget;

namespace loggrevy {

class TImportSession;

// The colour a verdict is shown in: confirmed green, a proposed "Felaktig"
// red, the rest amber.
QColor VerdictColour(TVerdict verdict);

// The cross-check of the main window's batch that every window shows. It is
// run when the judge asks for it, run again when its options change or the
// batch changes, and tells the windows when the figures of its logs changed.
class TCrossCheckHub final : public QObject {
  Q_OBJECT

 public:
  explicit TCrossCheckHub(TImportSession& session, QObject* parent = nullptr);
  ~TCrossCheckHub() override;

  // The current cross-check, or nullptr before one is asked for.
  const TCrossCheck* Current() const { return Current_.get(); }
  const TCrossCheckOptions& Options() const { return Options_; }
  bool Running() const { return Running_; }

  // Cross-checks the batch as it stands. A large batch is checked beside the
  // event loop, with a progress dialog over progressParent.
  void Run(QWidget* progressParent);
  // Runs again with other options when there is a cross-check.
  void SetOptions(TCrossCheckOptions options, QWidget* progressParent);
  // Forgets the cross-check (before the batch changes); Resume runs it again
  // if there was one.
  void Suspend();
  void Resume(QWidget* progressParent);
  // Forgets it for good (the batch is being freed); a check that is running
  // is waited for, since it reads the logs.
  void Drop();

  // The log's index in the batch, if the cross-check knows it.
  std::optional<std::size_t> IndexOf(const TLog* log) const;
  // What applying the proposals to the logs would judge: QSOs and logs.
  struct TPending {
    int32_t Qsos = 0;
    int32_t Logs = 0;
  };
  TPending Pending(const std::vector<TLog*>& logs) const;
  // The batch's log at a cross-check index (the session's own, to be shown).
  TLog* LogAt(std::size_t index) const;
  // Applies the proposals to the logs; returns how many judgements were stored.
  int32_t Apply(const std::vector<TLog*>& logs);
  // The judge judged a QSO of the log.
  void LogJudged(const TLog* log);
  // Judgements or accepted figures of these logs were put back (undo, a
  // review opened); the windows are told even without a cross-check.
  void LogsJudged(const std::vector<TLog*>& logs);
  // The judge changed the accepted figures of a log on the detail page.
  void FiguresEdited() { emit FiguresChanged(); }

  // Batches of at least this many logs are checked beside the event loop.
  void SetBackgroundThreshold(std::size_t logs) { BackgroundThreshold_ = logs; }

 signals:
  // A new cross-check, or none any more.
  void Changed();
  // Judgements or accepted figures of some logs changed.
  void FiguresChanged();
  // Logs were imported or reloaded (with or without a cross-check).
  void BatchChanged();

 private:
  void Replace(std::unique_ptr<TCrossCheck> next);

  TImportSession& Session_;
  TCrossCheckOptions Options_;
  std::unique_ptr<TCrossCheck> Current_;
  std::unordered_map<const TLog*, std::size_t> Index_;
  bool Running_ = false;
  QThread* Thread_ = nullptr;
  bool Suspended_ = false;
  bool DroppedWhileRunning_ = false;
  std::size_t BackgroundThreshold_ = 20;
};

}  // namespace loggrevy
