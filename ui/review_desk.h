#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/review_file.h"
#include "ui/review_dialogs.h"
#include "ui/undo_judgements.h"

class QAction;
class QLockFile;
class QTimer;

namespace loggrevy {

class TCrossCheckHub;
class TfrmImport;

// The main window's review: the file the judge's work is saved to, its lock,
// the undo steps of the judge's decisions, the unsaved mark in the caption,
// and the recovery copy kept while there are unsaved decisions.
class TReviewDesk final : public QObject {
  Q_OBJECT

 public:
  TReviewDesk(TfrmImport& window, TImportSession& session, TCrossCheckHub& hub);
  ~TReviewDesk() override;

  void SetDialogs(std::unique_ptr<IReviewDialogs> dialogs) { Dialogs_ = std::move(dialogs); }
  // The folder of recovery copies; none are kept without one.
  void SetRecoveryFolder(const QString& folder) { RecoveryFolder_ = folder; }

  const QString& ReviewPath() const { return ReviewPath_; }
  bool ReadOnly() const { return ReadOnly_; }
  // Judgements made since the last save (or since opening).
  bool Dirty() const { return DirtyOutsideStack_ || !Stack_.isClean(); }
  QUndoStack& UndoStack() { return Stack_; }
  QString RecoveryPath() const;

  // "Öppna granskning…": asks for a file and opens it.
  void OpenChosen();
  // Opens a review file: asks to add to or replace logs already imported.
  bool Open(const QString& path);
  // "Spara granskning" / "Spara granskning som…".
  bool Save();
  bool SaveAs();
  // Asks "Spara ändringarna i granskningen?" when there are unsaved
  // judgements; true when the window may close.
  bool ConfirmClose();
  // A clean close: the recovery copy and the lock go.
  void Closed();
  // At start: offers the recovery copy of a program that ended without
  // closing; true when restored.
  bool OfferRecovery();
  // Writes the recovery copy now (it is written a second after a change).
  void WriteRecovery();

  // The batch changed under the window (an import): the steps of the logs as
  // they were can no longer be undone.
  void LogsImported();
  // Compares the logs with their last known decisions and makes one undo
  // step of what changed.
  void RecordChanges();

 signals:
  void CaptionChanged();

 private:
  bool SaveTo(const QString& path);
  bool Restore(const TReview& review, const std::string& reviewPath, bool replace);
  void RememberStates();
  void Shown(const std::vector<TLog*>& logs, const std::vector<TJudgedState>& states);
  void UpdateCaption();
  void ScheduleRecovery();
  std::unique_ptr<QLockFile> Lock(const QString& path, bool& heldByOther);
  TReviewCrossCheck CrossCheckSettings() const;

  TfrmImport& Window_;
  TImportSession& Session_;
  TCrossCheckHub& Hub_;
  std::unique_ptr<IReviewDialogs> Dialogs_;
  QString BaseCaption_;
  QString ReviewPath_;
  bool ReadOnly_ = false;
  std::unique_ptr<QLockFile> Lock_;
  TReviewKept Kept_;
  QUndoStack Stack_;
  bool DirtyOutsideStack_ = false;
  bool Closed_ = false;
  bool Restoring_ = false;
  std::unordered_map<const TLog*, TJudgedState> Known_;
  QString RecoveryFolder_;
  QTimer* RecoveryTimer_ = nullptr;
  std::unordered_map<std::string, std::string> Hashes_;
};

// True for a name that ends in ".loggrevy".
bool IsReviewFileName(const QString& path);

}  // namespace loggrevy
