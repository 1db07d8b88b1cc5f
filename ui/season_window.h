#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "results/standings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace loggrevy {

class IDialogs;
class TCrossCheckHub;
class TImportSession;
class TTableModel;

// frmSeason: the year's standings of everything imported, one series at a
// time in two sortable tables (the stations and the club competition), with
// the count of contests that count and the normalising as the batch checker's
// --best and --normalise; every series exported with the batch checker's
// writers and printed.
class TfrmSeason final : public QWidget {
  Q_OBJECT

 public:
  TfrmSeason(TCrossCheckHub& hub, const TImportSession& session, IDialogs& dialogs, QWidget* parent);

  const std::vector<TSeriesStandings>& Standings() const { return Standings_; }
  QTableView& StationTable() const { return *tblStandings_; }
  QTableView& ClubTable() const { return *tblClubs_; }

  // Builds the standings afresh from the logs as they stand.
  void Refresh();
  // Refresh when shown (a hidden window refreshes when it is shown again).
  void Follow();
  // Follow on the next turn of the event loop, once however often asked.
  void ScheduleRefresh();
  void ExportCsv();
  void ExportHtml();
  void ExportJson();
  void ExportXlsx();
  void Print();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowSeries();
  std::string Bytes(const char* format) const;
  void Export(const char* format, const QString& title, const QString& filter);

  TCrossCheckHub& Hub_;
  const TImportSession& Session_;
  IDialogs& Dialogs_;
  std::vector<TSeriesStandings> Standings_;
  bool RefreshScheduled_ = false;

  QComboBox* cmbSeries_;
  QSpinBox* spnBest_;
  QCheckBox* chkNormalise_;
  QPushButton* btnExportCsv_;
  QPushButton* btnExportHtml_;
  QPushButton* btnExportJson_;
  QPushButton* btnExportXlsx_;
  QPushButton* btnPrint_;
  QLabel* lblStandings_;
  QLabel* lblClubs_;
  QTableView* tblStandings_;
  QTableView* tblClubs_;
  TTableModel* StationModel_ = nullptr;
  TTableModel* ClubModel_ = nullptr;
  QSortFilterProxyModel* SortedStations_;
  QSortFilterProxyModel* SortedClubs_;
};

}  // namespace loggrevy
