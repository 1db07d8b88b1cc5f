#include "ui/season_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>

#include "model/import_session.h"
#include "ui/crosscheck_hub.h"
#include "ui/qtext.h"
#include "ui/save_dialogs.h"
#include "ui/table_model.h"

namespace loggrevy {

namespace {

// Points of a contest that does not count, shaded as well as in parentheses.
const QColor kUncounted{0xE8, 0xE8, 0xE8};

QString SeriesName(const TSeriesStandings& series) { return ToQString(series.Year + ' ' + series.Kind); }

template <std::size_t N>
QStringList Header(const std::string_view (&captions)[N], const TSeriesStandings* series) {
  QStringList header;
  for (const std::string_view caption : captions) header.append(ToQString(caption));
  if (series != nullptr) {
    for (const std::string& contest : series->Contests) header.append(ToQString(ContestColumnCaption(contest)));
  }
  return header;
}

void AppendPoints(std::vector<TTableCell>& cells, const std::optional<int64_t>& points, bool counted) {
  if (!points) {
    cells.push_back({QString(), QVariant(-1LL), {}});
  } else if (counted) {
    cells.push_back(NumberCell(*points));
  } else {
    cells.push_back({QLatin1Char('(') + IntText(*points) + QLatin1Char(')'), QVariant(static_cast<long long>(*points)),
                     kUncounted});
  }
}

QTableView* MakeTable(const char* name, QSortFilterProxyModel* sorted, QWidget* parent) {
  auto* table = new QTableView(parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setModel(sorted);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(20);
  table->setWordWrap(false);
  table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  table->setSortingEnabled(true);
  return table;
}

QLabel* MakeHeading(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

TfrmSeason::TfrmSeason(TCrossCheckHub& hub, const TImportSession& session, IDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Hub_(hub), Session_(session), Dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmSeason"));
  setWindowTitle(QStringLiteral("Årsresultat"));

  cmbSeries_ = new QComboBox(this);
  cmbSeries_->setObjectName(QStringLiteral("cmbSeries"));
  cmbSeries_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* lblSeries = new QLabel(QStringLiteral("&Serie:"), this);
  lblSeries->setBuddy(cmbSeries_);
  spnBest_ = new QSpinBox(this);
  spnBest_->setObjectName(QStringLiteral("spnBest"));
  spnBest_->setRange(0, 99);
  spnBest_->setValue(TStandingsOptions{}.Best);
  spnBest_->setSpecialValueText(QStringLiteral("alla"));
  spnBest_->setSuffix(QStringLiteral(" tester"));
  spnBest_->setToolTip(QStringLiteral("Så många av varje stations bästa tester räknas; 0 räknar alla"));
  auto* lblBest = new QLabel(QStringLiteral("&Bästa:"), this);
  lblBest->setBuddy(spnBest_);
  chkNormalise_ = new QCheckBox(QStringLiteral("&Normalisera (vinnaren 1000 poäng)"), this);
  chkNormalise_->setObjectName(QStringLiteral("chkNormalise"));
  auto* choices = new QHBoxLayout;
  choices->addWidget(lblSeries);
  choices->addWidget(cmbSeries_);
  choices->addSpacing(16);
  choices->addWidget(lblBest);
  choices->addWidget(spnBest_);
  choices->addSpacing(16);
  choices->addWidget(chkNormalise_);
  choices->addStretch(1);

  const auto button = [this](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  btnExportCsv_ = button("btnExportCsv", QStringLiteral("Exportera CSV…"));
  btnExportHtml_ = button("btnExportHtml", QStringLiteral("Exportera HTML…"));
  btnExportJson_ = button("btnExportJson", QStringLiteral("Exportera JSON…"));
  btnExportXlsx_ = button("btnExportXlsx", QStringLiteral("Exportera Excel…"));
  btnPrint_ = button("btnPrint", QStringLiteral("Skriv ut…"));
  auto* bar = new QHBoxLayout;
  for (QPushButton* b : {btnExportCsv_, btnExportHtml_, btnExportJson_, btnExportXlsx_, btnPrint_}) bar->addWidget(b);
  bar->addStretch(1);

  SortedStations_ = new QSortFilterProxyModel(this);
  SortedStations_->setSortRole(Qt::UserRole);
  SortedClubs_ = new QSortFilterProxyModel(this);
  SortedClubs_->setSortRole(Qt::UserRole);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  const auto pane = [splitter](QLabel*& heading, const char* headingName, QTableView*& table, const char* tableName,
                               QSortFilterProxyModel* sorted) {
    auto* widget = new QWidget(splitter);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 4, 0, 0);
    heading = MakeHeading(headingName, widget);
    table = MakeTable(tableName, sorted, widget);
    layout->addWidget(heading);
    layout->addWidget(table, 1);
    splitter->addWidget(widget);
  };
  pane(lblStandings_, "lblStandings", tblStandings_, "tblStandings", SortedStations_);
  pane(lblClubs_, "lblClubs", tblClubs_, "tblClubs", SortedClubs_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addLayout(bar);
  layout->addWidget(splitter, 1);

  // As large as its tables want, within the screen.
  const QRect screen = QGuiApplication::primaryScreen() != nullptr
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
  resize(std::min(980, screen.width() - 60), std::min(680, screen.height() - 80));

  connect(cmbSeries_, &QComboBox::currentIndexChanged, this, &TfrmSeason::ShowSeries);
  connect(spnBest_, &QSpinBox::valueChanged, this, &TfrmSeason::Refresh);
  connect(chkNormalise_, &QCheckBox::toggled, this, &TfrmSeason::Refresh);
  connect(btnExportCsv_, &QPushButton::clicked, this, &TfrmSeason::ExportCsv);
  connect(btnExportHtml_, &QPushButton::clicked, this, &TfrmSeason::ExportHtml);
  connect(btnExportJson_, &QPushButton::clicked, this, &TfrmSeason::ExportJson);
  connect(btnExportXlsx_, &QPushButton::clicked, this, &TfrmSeason::ExportXlsx);
  connect(btnPrint_, &QPushButton::clicked, this, &TfrmSeason::Print);
  connect(&hub, &TCrossCheckHub::Changed, this, &TfrmSeason::Follow);
  connect(&hub, &TCrossCheckHub::FiguresChanged, this, &TfrmSeason::Follow);
  connect(&hub, &TCrossCheckHub::BatchChanged, this, &TfrmSeason::Follow);
}

void TfrmSeason::changeEvent(QEvent* event) {
  // The detail page's own edits of the accepted figures show when the window
  // is looked at again.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Follow();
  QWidget::changeEvent(event);
}

void TfrmSeason::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

void TfrmSeason::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TfrmSeason::ScheduleRefresh() {
  if (RefreshScheduled_) return;
  RefreshScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    RefreshScheduled_ = false;
    Follow();
  });
}

void TfrmSeason::Follow() {
  // A hidden window is brought up to date when it is shown.
  if (isVisible()) Refresh();
}

void TfrmSeason::Refresh() {
  const TStandingsOptions options{spnBest_->value(), chkNormalise_->isChecked()};
  Standings_ = BuildStandings(BuildResults(Session_, Hub_.Current(), Session_.Settings().DecimalSeparator), options);

  // The series chosen stays chosen while it exists.
  const QString chosen = cmbSeries_->currentText();
  {
    const QSignalBlocker blocker(cmbSeries_);
    cmbSeries_->clear();
    for (const TSeriesStandings& series : Standings_) cmbSeries_->addItem(SeriesName(series));
    const int index = cmbSeries_->findText(chosen);
    cmbSeries_->setCurrentIndex(index >= 0 ? index : 0);
  }
  cmbSeries_->setEnabled(!Standings_.empty());
  ShowSeries();
}

void TfrmSeason::ShowSeries() {
  const int index = cmbSeries_->currentIndex();
  const TSeriesStandings* series = index >= 0 && static_cast<std::size_t>(index) < Standings_.size()
                                       ? &Standings_[static_cast<std::size_t>(index)]
                                       : nullptr;
  std::vector<std::vector<TTableCell>> stations;
  std::vector<std::vector<TTableCell>> clubs;
  if (series != nullptr) {
    for (const TStandingsRow& row : series->Rows) {
      std::vector<TTableCell> cells{NumberCell(row.Place), TextCell(ToQString(row.Call)), TextCell(ToQString(row.Club)),
                                    NumberCell(row.Contests), NumberCell(row.Total)};
      for (std::size_t c = 0; c < row.Points.size(); ++c) AppendPoints(cells, row.Points[c], row.Counted[c]);
      stations.push_back(std::move(cells));
    }
    for (const TClubRow& row : series->Clubs) {
      std::vector<TTableCell> cells{NumberCell(row.Place), TextCell(ToQString(row.Club)), NumberCell(row.Members),
                                    NumberCell(row.Total)};
      for (const auto& points : row.Points) AppendPoints(cells, points, true);
      clubs.push_back(std::move(cells));
    }
    lblStandings_->setText(ToQString(StandingsHeading(*series)));
    lblClubs_->setText(ToQString(ClubsHeading(*series)));
  } else {
    lblStandings_->setText(QStringLiteral("Ingen test med datum bland loggarna."));
    lblClubs_->setText(QString());
  }

  // The columns differ from series to series: each gets models of its own.
  const std::size_t contests = series != nullptr ? series->Contests.size() : 0;
  std::vector<bool> right(std::size(kStandingsColumns) + contests, true);
  right[1] = right[2] = false;
  auto* stationModel = new TTableModel(Header(kStandingsColumns, series), right, this);
  right.assign(std::size(kClubColumns) + contests, true);
  right[1] = false;
  auto* clubModel = new TTableModel(Header(kClubColumns, series), right, this);
  stationModel->SetRows(std::move(stations));
  clubModel->SetRows(std::move(clubs));
  SortedStations_->setSourceModel(stationModel);
  SortedClubs_->setSourceModel(clubModel);
  delete StationModel_;
  delete ClubModel_;
  StationModel_ = stationModel;
  ClubModel_ = clubModel;
  for (QTableView* table : {tblStandings_, tblClubs_}) {
    const QHeaderView* header = table->horizontalHeader();
    const int column =
        header->sortIndicatorSection() < table->model()->columnCount() ? header->sortIndicatorSection() : 0;
    table->sortByColumn(column, header->sortIndicatorOrder());
    table->resizeColumnsToContents();
  }
}

std::string TfrmSeason::Bytes(const char* format) const {
  const std::string_view kind(format);
  if (kind == "xlsx") return StandingsXlsx(Standings_).value_or(std::string());
  if (kind == "json") return "{\"standings\":" + StandingsJson(Standings_) + "}\n";
  std::ostringstream out;
  if (kind == "html") {
    WriteStandingsHtml(out, Standings_);
  } else {
    WriteStandingsCsv(out, Standings_);
  }
  return out.str();
}

void TfrmSeason::Export(const char* format, const QString& title, const QString& filter) {
  Refresh();
  const std::string bytes = Bytes(format);
  if (bytes.empty() && std::string_view(format) == "xlsx") {
    Dialogs_.ShowWarning(this, title, QStringLiteral("Arbetsboken kunde inte skapas i den tillfälliga mappen."));
    return;
  }
  SaveBytes(this, Dialogs_, Session_, title, QStringLiteral("Årsresultat.") + QString::fromLatin1(format), filter,
            bytes);
}

void TfrmSeason::ExportCsv() {
  Export("csv", QStringLiteral("Exportera CSV"), QStringLiteral("CSV-filer (*.csv);;Alla filer (*)"));
}

void TfrmSeason::ExportHtml() {
  Export("html", QStringLiteral("Exportera HTML"), QStringLiteral("HTML-filer (*.html *.htm);;Alla filer (*)"));
}

void TfrmSeason::ExportJson() {
  Export("json", QStringLiteral("Exportera JSON"), QStringLiteral("JSON-filer (*.json);;Alla filer (*)"));
}

void TfrmSeason::ExportXlsx() {
  Export("xlsx", QStringLiteral("Exportera Excel"), QStringLiteral("Excel-arbetsböcker (*.xlsx);;Alla filer (*)"));
}

void TfrmSeason::Print() {
  Refresh();
  QTextDocument document;
  document.setHtml(QString::fromUtf8(Bytes("html")));
  PrintDocument(this, Dialogs_, Session_, windowTitle(), document);
}

}  // namespace loggrevy
