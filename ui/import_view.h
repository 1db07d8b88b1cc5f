#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

class QAction;
class QListWidget;
class QMenu;
class QSplitter;

namespace loggrevy {

class TCrossCheck;
class TLog;
class TNacChecker;
class TReg1Test;
class TXStrGrid;

// The distance of a QSO as the grid shows it: one decimal, the given separator.
QString FormatDistance(double km, char decimalSeparator);
// A number in the general format of up to 15 significant digits: 523, 612,299987792969, 1E20.
QString FormatGeneral(double value, char decimalSeparator);
// "" for a counted QSO, "-100%", "-1000%", or "?" for an unknown judgement.
QString PenaltyText(uint8_t penalty);

// pbHead: the log's header drawn as a printed contest form.
class THeadBox final : public QWidget {
  Q_OBJECT

 public:
  THeadBox(char decimalSeparator, QWidget* parent);
  void SetEdi(const TReg1Test* edi);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TReg1Test* Edi_ = nullptr;
  char DecimalSeparator_;
};

// The log view "Aktuell Log": header form, QSO grid with the computed
// distances and points, the checker's messages, and the judge's verdict per
// QSO from the context menu. It only borrows the log's reader and checker.
class TfrmImportView final : public QWidget {
  Q_OBJECT

 public:
  TfrmImportView(char decimalSeparator, QWidget* parent = nullptr);

  // Shows a log, or (nullptr) clears the view. The log must outlive the
  // hand-over: the owner hands nullptr before freeing or reloading it.
  void SetLog(TLog* log);
  // After a cross-check, the log's verdicts show in one more column,
  // "Korskontroll"; nullptr takes it away again.
  void SetCrossCheck(const TCrossCheck* crossCheck);
  // Rewrites the judgement cells (after judgements made elsewhere).
  void RefreshJudgements();
  // Makes the QSO with this 1-based number the current row.
  void ShowQso(int qso);
  bool HasVerdictColumn() const { return !Verdicts_.empty(); }

  const TReg1Test* Edi() const { return Edi_; }
  const TNacChecker* Checker() const { return Checker_; }

  TXStrGrid& Grid() const { return *grdQSOs_; }
  QListWidget& MessageList() const { return *lbLogErrors_; }
  QMenu& PopupMenu() const { return *PopupMenu1_; }
  int ClickRow() const { return ClickRow_; }

  // What a right-button press on the grid does: remember the cell (row 0 for
  // the header, -1 outside the cells), then prepare the menu.
  void grdQSOsMouseDown(int col, int row);
  void PopupMenu1Popup();
  void lbLogErrorsClick(int row);

 signals:
  // After every judgement, with the menu item as sender.
  void JudgementChanged(QObject* sender);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();
  void Clear();
  void WriteJudgedCells(int row);
  void OnSetPunishment(QAction* item, uint8_t penalty);
  void ShowMenu(const QPoint& globalPos);

  void ShowVerdictColumn(bool on);

  TLog* Log_ = nullptr;
  TReg1Test* Edi_ = nullptr;
  TNacChecker* Checker_ = nullptr;
  const TCrossCheck* CrossCheck_ = nullptr;
  std::vector<uint8_t> Verdicts_;  // TVerdict per grid row, while the column shows
  int ClickRow_ = -1;
  int ClickCol_ = -1;
  char DecimalSeparator_;

  THeadBox* pbHead_;
  TXStrGrid* grdQSOs_;
  QListWidget* lbLogErrors_;
  QWidget* Panel2_;
  QSplitter* Splitter1_;
  QMenu* PopupMenu1_;
  QAction* itmCall_;
  QAction* itmQSOOk_;
  QAction* itmQSOInvalid_;
  QAction* itmQSODuplicate_;
};

}  // namespace loggrevy
