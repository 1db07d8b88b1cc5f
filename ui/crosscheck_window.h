#pragma once

#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace loggrevy {

class IDialogs;
class TCrossCheckHub;
class TLog;
class TQsoFilter;
class TTableModel;
struct TOutlineNode;

// The logs of a contest node in outline order, group members included.
std::vector<TLog*> ContestLogs(const TOutlineNode& contest);

// frmCrossCheck: the cross-check of one contest. Above, its logs with their
// verdict counts, clock and figures after; below, the QSOs of the selected log
// with their verdicts and the partner's record. The proposals can be applied
// to one log or to all, and the options run the cross-check again. Both tables
// sort by any column; the window follows the contest's logs as they change.
class TfrmCrossCheck final : public QWidget {
  Q_OBJECT

 public:
  TfrmCrossCheck(TCrossCheckHub& hub, const TOutlineNode& contest, IDialogs& dialogs, QWidget* parent);
  ~TfrmCrossCheck() override;

  const TOutlineNode& Contest() const { return Contest_; }
  QTableView& LogTable() const { return *tblLogs_; }
  QTableView& QsoTable() const { return *tblQsos_; }
  // The log of the selected row, or nullptr.
  TLog* SelectedLog() const;
  void SelectLog(const TLog* log);
  // The 0-based position of the selected QSO in its log, or -1.
  int SelectedQso() const;
  void SelectQso(int position);
  void OpenPartner();
  void SaveAllReports();

 signals:
  // Double-click on a QSO: show it in the log view (1-based number).
  void OpenQso(TLog* log, int qso);
  void ReportRequested(TLog* log);

 private:
  void Refresh();
  void FillLogs();
  void FillQsos();
  void QsoSelected();
  void OptionsEdited();
  void ApplySelected();
  void ApplyAll();

  TCrossCheckHub& Hub_;
  const TOutlineNode& Contest_;
  IDialogs& Dialogs_;
  std::vector<TLog*> Logs_;
  bool Filling_ = false;

  QSpinBox* spnTimeTolerance_;
  QCheckBox* chkCompareSerials_;
  QPushButton* btnApply_;
  QPushButton* btnApplyAll_;
  QPushButton* btnReport_;
  QPushButton* btnSaveReports_;
  QPushButton* btnOpenPartner_;
  QCheckBox* chkUnconfirmedOnly_;
  QLabel* lblState_;
  QTableView* tblLogs_;
  QTableView* tblQsos_;
  TTableModel* LogModel_;
  TTableModel* QsoModel_;
  QSortFilterProxyModel* LogSorted_;
  TQsoFilter* QsoShown_;
};

}  // namespace loggrevy
