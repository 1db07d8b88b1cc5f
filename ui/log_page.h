#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace loggrevy {

class TClickLabel;
class TEntry;
class TLog;

// The detail page "Log" of the main window: the shown log's or group's claimed
// figures beside the accepted ones, and red labels for its problems. The main
// window hands it what to show; the page only borrows it.
class TLogPage final : public QWidget {
  Q_OBJECT

 public:
  explicit TLogPage(QWidget* parent = nullptr);

  // Fills the page from a log, or from a group (its first member's fields,
  // its sums). A log also becomes the one spdSumLog acts on; a group leaves
  // none.
  void Show(TEntry& entry);
  // Lets go of the shown entry (before the logs are freed).
  void Release();
  void SetSumEnabled(bool on);
  // Tab goes from before to the credits button, then through the fields the
  // judge may change, top to bottom.
  void ChainTabOrder(QWidget* before);

  // spdSumLog, and every judgement in the log view: the shown log adopts the
  // checker's figures.
  void spdSumLogClick();
  // Shows the accepted figures of the entry anew (after judgements made elsewhere).
  void ShowAcceptedFigures(const TEntry& entry);

 signals:
  void EdiErrorsClicked();
  void LogErrorsClicked();
  void CreditsClicked();

 private:
  QLineEdit* AddField(const char* labelName, const QString& caption, const char* name, int x, int y, int width,
                      bool readOnly);
  void FillLogPage(const TLog& log);
  void txtCallExit();
  void ShowDistanceFields(bool on);
  void SetMaskedNumber(QLineEdit* edit, int64_t value, int digits);
  void SetEditable(QLineEdit* edit, bool editable);
  void ClearPage();

  TLog* SumLog_ = nullptr;

  QLineEdit* txtDate_ = nullptr;
  QLineEdit* txtContest_ = nullptr;
  QLineEdit* txtUsedCall_ = nullptr;
  QLineEdit* txtCall_ = nullptr;
  QLineEdit* txtLocator_ = nullptr;
  QLineEdit* txtClaimedDxScore_ = nullptr;
  QLineEdit* txtDxScore_ = nullptr;
  QLineEdit* txtWorkedSquares_ = nullptr;
  QLineEdit* txtApprovedSquares_ = nullptr;
  QLineEdit* txtSquareBonus_ = nullptr;
  QLineEdit* txtClaimed_ = nullptr;
  QLineEdit* txtScore_ = nullptr;
  QLineEdit* txtClub_ = nullptr;
  QToolButton* spdSumLog_ = nullptr;
  QPushButton* btnCredits_ = nullptr;
  TClickLabel* lblEDIErrors_ = nullptr;
  TClickLabel* lblLogErrors_ = nullptr;
  QLabel* lblLogComments_ = nullptr;
  std::vector<QWidget*> DistanceWidgets_;  // the five labels and fields a group hides
};

}  // namespace loggrevy
