#pragma once

#include <QString>

class QWidget;

namespace loggrevy {

enum class TSaveChangesAnswer { Save, Discard, Cancel };
enum class TAddOrReplaceAnswer { Add, Replace, Cancel };

// The questions of opening, saving and recovering a review. The main window
// is handed one, so tests answer without modal dialogs.
class IReviewDialogs {
 public:
  virtual ~IReviewDialogs() = default;
  // An existing review file; empty when cancelled.
  virtual QString ChooseReviewToOpen(QWidget* parent, const QString& folder) = 0;
  // The file to save to; empty when cancelled.
  virtual QString ChooseReviewToSave(QWidget* parent, const QString& suggested) = 0;
  // "Spara ändringarna i granskningen?"
  virtual TSaveChangesAnswer AskSaveChanges(QWidget* parent) = 0;
  // Opening a review while logs are imported.
  virtual TAddOrReplaceAnswer AskAddOrReplace(QWidget* parent) = 0;
  // The unsaved work of a program that ended without closing; true: restore it.
  virtual bool AskRestore(QWidget* parent, const QString& text) = 0;
  // Another program holds the review; true: open it read-only.
  virtual bool AskReadOnly(QWidget* parent, const QString& text) = 0;
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text) = 0;
};

class TSystemReviewDialogs final : public IReviewDialogs {
 public:
  QString ChooseReviewToOpen(QWidget* parent, const QString& folder) override;
  QString ChooseReviewToSave(QWidget* parent, const QString& suggested) override;
  TSaveChangesAnswer AskSaveChanges(QWidget* parent) override;
  TAddOrReplaceAnswer AskAddOrReplace(QWidget* parent) override;
  bool AskRestore(QWidget* parent, const QString& text) override;
  bool AskReadOnly(QWidget* parent, const QString& text) override;
  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace loggrevy
