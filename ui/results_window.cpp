#include "ui/results_window.h"

#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPrinter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <sstream>

#include "model/import_session.h"
#include "results/results_xlsx.h"
#include "results/writers.h"
#include "ui/crosscheck_hub.h"
#include "ui/own_windows.h"
#include "ui/qtext.h"
#include "ui/results_print.h"
#include "ui/save_dialogs.h"
#include "ui/table_model.h"

namespace loggrevy {

namespace {

QStringList Header() {
  QStringList header;
  for (const TResultColumn& column : kResultColumns) header.append(ToQString(column.Caption));
  return header;
}

// The columns of figures: place, QSOs, squares, the points and totals.
std::vector<bool> Alignment() {
  return {true, false, false, true, true, true, true, true, true, true, false, false, false};
}

}  // namespace

TfrmResults::TfrmResults(TCrossCheckHub& hub, const TImportSession& session, const TOutlineNode& contest,
                         IDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Hub_(hub), Session_(session), Contest_(contest), Dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmResults"));
  setWindowTitle(QStringLiteral("Resultatlista - ") + ToQString(contest.Text));
  resize(1500, 560);

  btnExportCsv_ = new QPushButton(QStringLiteral("Exportera CSV…"), this);
  btnExportCsv_->setObjectName(QStringLiteral("btnExportCsv"));
  btnExportHtml_ = new QPushButton(QStringLiteral("Exportera HTML…"), this);
  btnExportHtml_->setObjectName(QStringLiteral("btnExportHtml"));
  btnExportExcel_ = new QPushButton(QStringLiteral("Exportera Excel…"), this);
  btnExportExcel_->setObjectName(QStringLiteral("btnExportExcel"));
  btnPrint_ = new QPushButton(QStringLiteral("Skriv ut…"), this);
  btnPrint_->setObjectName(QStringLiteral("btnPrint"));
  auto* bar = new QHBoxLayout;
  bar->addWidget(btnExportCsv_);
  bar->addWidget(btnExportHtml_);
  bar->addWidget(btnExportExcel_);
  bar->addWidget(btnPrint_);
  bar->addStretch(1);

  Model_ = new TTableModel(Header(), Alignment(), this);
  Sorted_ = new QSortFilterProxyModel(this);
  Sorted_->setSourceModel(Model_);
  Sorted_->setSortRole(Qt::UserRole);
  tblResults_ = new QTableView(this);
  tblResults_->setObjectName(QStringLiteral("tblResults"));
  tblResults_->setModel(Sorted_);
  tblResults_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblResults_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblResults_->verticalHeader()->hide();
  tblResults_->verticalHeader()->setDefaultSectionSize(20);
  tblResults_->setWordWrap(false);
  tblResults_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  tblResults_->setSortingEnabled(true);
  tblResults_->horizontalHeader()->setStretchLastSection(true);
  const int widths[] = {45, 85, 70, 50, 50, 110, 75, 125, 135, 125, 150, 60};
  for (int c = 0; c < 12; ++c) tblResults_->setColumnWidth(c, widths[c]);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(tblResults_, 1);
  CloseOnEscape(*this);

  connect(btnExportCsv_, &QPushButton::clicked, this, &TfrmResults::ExportCsv);
  connect(btnExportHtml_, &QPushButton::clicked, this, &TfrmResults::ExportHtml);
  connect(btnExportExcel_, &QPushButton::clicked, this, &TfrmResults::ExportExcel);
  connect(btnPrint_, &QPushButton::clicked, this, &TfrmResults::Print);
  connect(&hub, &TCrossCheckHub::Changed, this, &TfrmResults::Refresh);
  connect(&hub, &TCrossCheckHub::FiguresChanged, this, &TfrmResults::Refresh);
  connect(&hub, &TCrossCheckHub::BatchChanged, this, &TfrmResults::Refresh);
  Refresh();
}

void TfrmResults::changeEvent(QEvent* event) {
  // The detail page's own edits of the accepted figures show when the list is
  // looked at again.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Refresh();
  QWidget::changeEvent(event);
}

void TfrmResults::Refresh() {
  const TCrossCheck* check = Hub_.Current();
  const char separator = Session_.Settings().DecimalSeparator;
  if (check != nullptr) {
    List_ = BuildResultList(Contest_, Session_.Logs(), check->Groups(), check, separator);
  } else {
    List_ = BuildResultList(Contest_, Session_.Logs(), GroupBatch(Session_.Logs()), nullptr, separator);
  }
  std::vector<std::vector<TTableCell>> rows;
  rows.reserve(List_.Rows.size());
  for (const TResultRow& row : List_.Rows) {
    std::vector<TTableCell> cells;
    cells.reserve(kResultColumns.size());
    for (std::size_t column = 0; column < kResultColumns.size(); ++column) {
      TTableCell cell = TextCell(ToQString(CellText(row, column)));
      const auto number = [&](long long value) { cell.SortKey = QVariant(value); };
      switch (column) {
        case 0: number(row.Place); break;
        case 3: number(row.QSOs); break;
        case 4: number(row.Squares); break;
        case 5: number(row.DxScore); break;
        case 6: number(row.SquareBonus); break;
        case 7: number(row.ClaimedScore); break;
        case 8: number(row.TotalScore); break;
        case 9: number(row.TotalAfter.value_or(-1)); break;
        default: break;
      }
      cells.push_back(std::move(cell));
    }
    rows.push_back(std::move(cells));
  }
  Model_->SetRows(std::move(rows));
}

std::string TfrmResults::Bytes(bool html) const {
  std::ostringstream out;
  const std::vector<TResultList> lists{List_};
  if (html) {
    WriteResultsHtml(out, lists);
  } else {
    WriteResultsCsv(out, lists);
  }
  return out.str();
}

QString TfrmResults::SuggestedName(const char* extension) const {
  return SuggestedFileName(QStringLiteral("Resultatlista"), ToQString(Contest_.Text), QString::fromLatin1(extension));
}

void TfrmResults::ExportCsv() {
  Refresh();
  SaveBytes(this, Dialogs_, Session_, QStringLiteral("Exportera CSV"), SuggestedName("csv"),
            QStringLiteral("CSV-filer (*.csv);;Alla filer (*)"), Bytes(false));
}

void TfrmResults::ExportHtml() {
  Refresh();
  SaveBytes(this, Dialogs_, Session_, QStringLiteral("Exportera HTML"), SuggestedName("html"),
            QStringLiteral("HTML-filer (*.html *.htm);;Alla filer (*)"), Bytes(true));
}

void TfrmResults::ExportExcel() {
  Refresh();
  // The workbook is made in a temporary folder and then saved like any other
  // export (the overwrite question, never an imported file).
  const QString title = QStringLiteral("Exportera Excel");
  QTemporaryDir folder;
  const QString made = folder.filePath(QStringLiteral("resultat.xlsx"));
  if (const auto failure = WriteResultsXlsx(ToNativePath(made), {List_})) {
    Dialogs_.ShowWarning(this, title, QStringLiteral("Arbetsboken kunde inte skapas: ") + PathToQString(*failure));
    return;
  }
  QFile file(made);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  SaveBytes(this, Dialogs_, Session_, title, SuggestedName("xlsx"),
            QStringLiteral("Excel-arbetsböcker (*.xlsx);;Alla filer (*)"), bytes.toStdString());
}

void TfrmResults::Print() {
  Refresh();
  PrintLandscape(this, Dialogs_, Session_, windowTitle(), SuggestedName("pdf"),
                 [this](QPrinter& printer) { PaintResultList(printer, List_, windowTitle()); });
}

}  // namespace loggrevy
