#pragma once

#include <QWidget>

#include "results/results_list.h"

class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace loggrevy {

class IDialogs;
class TCrossCheckHub;
class TImportSession;
class TTableModel;
struct TOutlineNode;

// frmResults: the results list of one contest, sortable by column, exported as
// CSV or HTML with the batch checker's writers, and printed.
class TfrmResults final : public QWidget {
  Q_OBJECT

 public:
  TfrmResults(TCrossCheckHub& hub, const TImportSession& session, const TOutlineNode& contest, IDialogs& dialogs,
              QWidget* parent);

  const TOutlineNode& Contest() const { return Contest_; }
  QTableView& Table() const { return *tblResults_; }
  const TResultList& List() const { return List_; }

  // Builds the list afresh from the logs as they stand.
  void Refresh();
  void ExportCsv();
  void ExportHtml();
  void ExportExcel();
  void Print();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  std::string Bytes(bool html) const;
  QString SuggestedName(const char* extension) const;

  TCrossCheckHub& Hub_;
  const TImportSession& Session_;
  const TOutlineNode& Contest_;
  IDialogs& Dialogs_;
  TResultList List_;

  QPushButton* btnExportCsv_;
  QPushButton* btnExportHtml_;
  QPushButton* btnExportExcel_;
  QPushButton* btnPrint_;
  QTableView* tblResults_;
  TTableModel* Model_;
  QSortFilterProxyModel* Sorted_;
};

}  // namespace loggrevy
