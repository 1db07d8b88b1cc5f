#include "ui/crosscheck_window.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "model/import_session.h"
#include "results/check_report_files.h"
#include "results/writers.h"
#include "ui/crosscheck_hub.h"
#include "ui/import_view.h"
#include "ui/own_windows.h"
#include "ui/qtext.h"
#include "ui/save_dialogs.h"
#include "ui/table_model.h"

namespace loggrevy {

namespace {

// Short captions of the count columns; the tool tips give the full ones.
constexpr const char16_t* kCountCaptions[kVerdictCount] = {
    u"Bekr.",  u"Bekr. motst. fel", u"Bekr. motst. tid", u"Fel signal", u"Trol. fel sign.", u"Fel lok.",
    u"Fel nr", u"Tidsfel",          u"Ej i logg",        u"Ej läsbar",  u"Ingen logg",      u"Unik",
    u"Egen",   u"Ej kontr."};

constexpr int kLogFixedColumns = 4;  // Signal, Band, Status, QSO

QStringList LogHeader() {
  QStringList header{QStringLiteral("Signal"), QStringLiteral("Band"), QStringLiteral("Status"), QStringLiteral("QSO")};
  for (const char16_t* caption : kCountCaptions) header.append(QString::fromUtf16(caption));
  header.append({QStringLiteral("Klocka"), QStringLiteral("Motst. QSO"), QStringLiteral("Motst. förlorar"),
                 QStringLiteral("Förlorad andel"), QStringLiteral("Poäng efter"), QStringLiteral("Rutor efter"),
                 QStringLiteral("Erhållen totalpoäng"), QStringLiteral("Efter korskontroll")});
  return header;
}

std::vector<bool> LogAlignment() {
  std::vector<bool> right(static_cast<std::size_t>(LogHeader().size()), true);
  right[0] = right[1] = right[2] = false;
  return right;
}

const QStringList kQsoHeader{QStringLiteral("Nr"),           QStringLiteral("UTC"),
                             QStringLiteral("Signal"),       QStringLiteral("Lokator"),
                             QStringLiteral("Korskontroll"), QStringLiteral("Motstationens QSO"),
                             QStringLiteral("Δ min"),        QStringLiteral("Bedömn.")};

QString RoleText(TBatchRole role) {
  switch (role) {
    case TBatchRole::Active: return QStringLiteral("Med");
    case TBatchRole::Replaced: return QStringLiteral("Ersatt av senare logg");
    case TBatchRole::Unreadable: return QStringLiteral("Ej läsbar");
    case TBatchRole::Absent: break;
  }
  return QStringLiteral("Deltar inte");
}

// The QSO number column: its sort key is the QSO's 1-based number.
constexpr int kQsoNumberColumn = 0;

QString SignedText(int32_t value) { return value > 0 ? QStringLiteral("+") + IntText(value) : IntText(value); }

}  // namespace

// The QSO table as the judge asked for it: sorted, and with the confirmed
// QSOs left out when only the others are wanted.
class TQsoFilter final : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

  void SetConfirmed(std::vector<bool> confirmed, bool hide) {
    Confirmed_ = std::move(confirmed);
    Hide_ = hide;
    invalidateFilter();
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex&) const override {
    return !Hide_ || row < 0 || static_cast<std::size_t>(row) >= Confirmed_.size() ||
           !Confirmed_[static_cast<std::size_t>(row)];
  }

 private:
  std::vector<bool> Confirmed_;
  bool Hide_ = false;
};

std::vector<TLog*> ContestLogs(const TOutlineNode& contest) {
  std::vector<TLog*> logs;
  for (const auto& child : contest.Children) {
    if (TLog* log = child->Log()) {
      logs.push_back(log);
    } else {
      for (const auto& member : child->Children) {
        if (TLog* memberLog = member->Log()) logs.push_back(memberLog);
      }
    }
  }
  return logs;
}

// Deleted while the tolerance has the focus, the spin box would finish its
// editing as the focus leaves it, on a window already half destroyed.
TfrmCrossCheck::~TfrmCrossCheck() { disconnect(spnTimeTolerance_, nullptr, this, nullptr); }

TfrmCrossCheck::TfrmCrossCheck(TCrossCheckHub& hub, const TOutlineNode& contest, IDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Hub_(hub), Contest_(contest), Dialogs_(dialogs), Logs_(ContestLogs(contest)) {
  setObjectName(QStringLiteral("frmCrossCheck"));
  setWindowTitle(QStringLiteral("Korskontroll - ") + ToQString(contest.Text));

  auto* tolerance = new QLabel(QStringLiteral("Tidstolerans (min):"), this);
  spnTimeTolerance_ = new QSpinBox(this);
  spnTimeTolerance_->setObjectName(QStringLiteral("spnTimeTolerance"));
  spnTimeTolerance_->setRange(0, 1440);
  spnTimeTolerance_->setValue(hub.Options().TimeToleranceMinutes);
  spnTimeTolerance_->setKeyboardTracking(false);
  tolerance->setBuddy(spnTimeTolerance_);
  chkCompareSerials_ = new QCheckBox(QStringLiteral("Jämför QSO-nummer"), this);
  chkCompareSerials_->setObjectName(QStringLiteral("chkCompareSerials"));
  chkCompareSerials_->setChecked(hub.Options().CompareSerials);
  btnApply_ = new QPushButton(QStringLiteral("Tillämpa förslag"), this);
  btnApply_->setObjectName(QStringLiteral("btnApply"));
  btnApply_->setToolTip(QStringLiteral("Bedöm den valda loggens QSO som korskontrollen föreslår"));
  btnApplyAll_ = new QPushButton(QStringLiteral("Tillämpa förslag på alla loggar"), this);
  btnApplyAll_->setObjectName(QStringLiteral("btnApplyAll"));
  btnApplyAll_->setToolTip(QStringLiteral("Bedöm förslagen i testens alla loggar"));
  btnReport_ = new QPushButton(QStringLiteral("Kontrollrapport…"), this);
  btnReport_->setObjectName(QStringLiteral("btnReport"));
  btnSaveReports_ = new QPushButton(QStringLiteral("Spara alla kontrollrapporter…"), this);
  btnSaveReports_->setObjectName(QStringLiteral("btnSaveReports"));
  btnSaveReports_->setToolTip(QStringLiteral("En kontrollrapport per station i en mapp du väljer"));
  lblState_ = new QLabel(this);
  lblState_->setObjectName(QStringLiteral("lblState"));
  chkUnconfirmedOnly_ = new QCheckBox(QStringLiteral("Visa bara QSO som inte är bekräftade"), this);
  chkUnconfirmedOnly_->setObjectName(QStringLiteral("chkUnconfirmedOnly"));
  btnOpenPartner_ = new QPushButton(QStringLiteral("Öppna motstationens logg"), this);
  btnOpenPartner_->setObjectName(QStringLiteral("btnOpenPartner"));
  btnOpenPartner_->setToolTip(QStringLiteral("Visa motstationens logg vid dess QSO"));

  // Two rows, so that every button shows on a screen 1024 pixels wide.
  auto* bar = new QHBoxLayout;
  bar->addWidget(tolerance);
  bar->addWidget(spnTimeTolerance_);
  bar->addSpacing(12);
  bar->addWidget(chkCompareSerials_);
  bar->addStretch(1);
  bar->addWidget(btnApply_);
  bar->addWidget(btnApplyAll_);
  auto* stateBar = new QHBoxLayout;
  stateBar->addWidget(lblState_, 1);
  stateBar->addWidget(btnReport_);
  stateBar->addWidget(btnSaveReports_);

  LogModel_ = new TTableModel(LogHeader(), LogAlignment(), this);
  QStringList tips(kLogFixedColumns, QString());
  for (const TVerdict verdict : kAllVerdicts) tips.append(ToQString(VerdictCountLabel(verdict)));
  tips.append(QStringLiteral("Loggens klocka mot motstationernas (min)"));
  tips.append(QStringLiteral("Motstationernas QSO med loggen"));
  tips.append(QStringLiteral("Motstationernas QSO med loggen som föreslås felaktiga"));
  tips.append(QStringLiteral("Andel av motstationernas QSO med loggen som de förlorar (%)"));
  LogModel_->SetHeaderToolTips(tips);
  QsoModel_ = new TTableModel(kQsoHeader, {true, false, false, false, false, false, true, false}, this);

  const auto makeTable = [this](const char* name, TTableModel* model) {
    auto* table = new QTableView;
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->setWordWrap(false);
    return table;
  };
  LogSorted_ = new QSortFilterProxyModel(this);
  LogSorted_->setSourceModel(LogModel_);
  LogSorted_->setSortRole(Qt::UserRole);
  QsoShown_ = new TQsoFilter(this);
  QsoShown_->setSourceModel(QsoModel_);
  QsoShown_->setSortRole(Qt::UserRole);
  tblLogs_ = makeTable("tblLogs", LogModel_);
  tblQsos_ = makeTable("tblQsos", QsoModel_);
  tblLogs_->setModel(LogSorted_);
  tblQsos_->setModel(QsoShown_);
  // The logs in the outline's order and the QSOs in the log's until the judge
  // clicks a header.
  tblLogs_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  tblQsos_->horizontalHeader()->setSortIndicator(kQsoNumberColumn, Qt::AscendingOrder);
  tblLogs_->setSortingEnabled(true);
  tblQsos_->setSortingEnabled(true);
  auto* openPartner = new QAction(btnOpenPartner_->text(), tblQsos_);
  openPartner->setObjectName(QStringLiteral("actOpenPartner"));
  tblQsos_->addAction(openPartner);
  tblQsos_->setContextMenuPolicy(Qt::ActionsContextMenu);
  tblQsos_->horizontalHeader()->setStretchLastSection(true);
  // Every column as wide as its caption (and its widest text) needs.
  const QFontMetrics metrics(tblLogs_->horizontalHeader()->font());
  const auto fit = [&metrics](QTableView* table, int column, int least) {
    const QString caption = table->model()->headerData(column, Qt::Horizontal).toString();
    table->setColumnWidth(column, std::max(least, metrics.horizontalAdvance(caption) + 24));
  };
  const int qsoWidths[] = {45, 45, 95, 70, 330, 260, 55, 60};
  for (int c = 0; c < QsoModel_->columnCount(); ++c) fit(tblQsos_, c, qsoWidths[c]);
  fit(tblLogs_, 0, 90);
  fit(tblLogs_, 1, 70);
  fit(tblLogs_, 2, metrics.horizontalAdvance(RoleText(TBatchRole::Replaced)) + 16);
  for (int c = 3; c < LogModel_->columnCount(); ++c) fit(tblLogs_, c, 45);
  int width = 0;
  for (int c = 0; c < LogModel_->columnCount(); ++c) width += tblLogs_->columnWidth(c);
  resize(std::min(width + 40, 1880), 660);

  auto* qsoPanel = new QWidget;
  auto* qsoBar = new QHBoxLayout;
  qsoBar->setContentsMargins(0, 0, 0, 0);
  qsoBar->addWidget(chkUnconfirmedOnly_);
  qsoBar->addStretch(1);
  qsoBar->addWidget(btnOpenPartner_);
  auto* qsoLayout = new QVBoxLayout(qsoPanel);
  qsoLayout->setContentsMargins(0, 0, 0, 0);
  qsoLayout->addLayout(qsoBar);
  qsoLayout->addWidget(tblQsos_, 1);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(tblLogs_);
  splitter->addWidget(qsoPanel);
  splitter->setSizes({260, 340});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addLayout(stateBar);
  layout->addWidget(splitter, 1);
  CloseOnEscape(*this);

  connect(spnTimeTolerance_, &QSpinBox::editingFinished, this, &TfrmCrossCheck::OptionsEdited);
  connect(chkCompareSerials_, &QCheckBox::toggled, this, &TfrmCrossCheck::OptionsEdited);
  connect(btnApply_, &QPushButton::clicked, this, &TfrmCrossCheck::ApplySelected);
  connect(btnApplyAll_, &QPushButton::clicked, this, &TfrmCrossCheck::ApplyAll);
  connect(btnReport_, &QPushButton::clicked, this, [this] {
    if (TLog* log = SelectedLog()) emit ReportRequested(log);
  });
  connect(tblLogs_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
    if (!Filling_) FillQsos();
  });
  connect(btnSaveReports_, &QPushButton::clicked, this, &TfrmCrossCheck::SaveAllReports);
  connect(chkUnconfirmedOnly_, &QCheckBox::toggled, this, &TfrmCrossCheck::FillQsos);
  connect(btnOpenPartner_, &QPushButton::clicked, this, &TfrmCrossCheck::OpenPartner);
  connect(openPartner, &QAction::triggered, this, &TfrmCrossCheck::OpenPartner);
  connect(tblQsos_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TfrmCrossCheck::QsoSelected);
  connect(tblQsos_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    const QModelIndex source = QsoShown_->mapToSource(index);
    if (TLog* log = SelectedLog(); log != nullptr && source.isValid()) emit OpenQso(log, source.row() + 1);
  });
  connect(&hub, &TCrossCheckHub::Changed, this, &TfrmCrossCheck::Refresh);
  connect(&hub, &TCrossCheckHub::FiguresChanged, this, &TfrmCrossCheck::Refresh);
  connect(&hub, &TCrossCheckHub::BatchChanged, this, &TfrmCrossCheck::Refresh);
  Refresh();
  if (!Logs_.empty()) tblLogs_->selectRow(0);
}

TLog* TfrmCrossCheck::SelectedLog() const {
  const QModelIndex current = LogSorted_->mapToSource(tblLogs_->selectionModel()->currentIndex());
  if (!current.isValid() || current.row() >= static_cast<int>(Logs_.size())) return nullptr;
  return Logs_[static_cast<std::size_t>(current.row())];
}

void TfrmCrossCheck::SelectLog(const TLog* log) {
  for (std::size_t i = 0; i < Logs_.size(); ++i) {
    if (Logs_[i] == log) tblLogs_->selectRow(LogSorted_->mapFromSource(LogModel_->index(static_cast<int>(i), 0)).row());
  }
}

int TfrmCrossCheck::SelectedQso() const {
  const QModelIndex current = QsoShown_->mapToSource(tblQsos_->selectionModel()->currentIndex());
  return current.isValid() ? current.row() : -1;
}

void TfrmCrossCheck::SelectQso(int position) {
  const QModelIndex shown = QsoShown_->mapFromSource(QsoModel_->index(position, 0));
  if (shown.isValid()) tblQsos_->selectRow(shown.row());
}

void TfrmCrossCheck::QsoSelected() {
  const TCrossCheck* check = Hub_.Current();
  const TLog* log = SelectedLog();
  const auto index = log != nullptr ? Hub_.IndexOf(log) : std::nullopt;
  const int position = SelectedQso();
  bool paired = false;
  if (check != nullptr && index && position >= 0 &&
      static_cast<std::size_t>(position) < check->Log(*index).Qsos.size()) {
    paired = HasEvidence(check->Log(*index).Qsos[static_cast<std::size_t>(position)].Verdict);
  }
  btnOpenPartner_->setEnabled(paired);
  for (QAction* action : tblQsos_->actions()) action->setEnabled(paired);
}

void TfrmCrossCheck::OpenPartner() {
  const TCrossCheck* check = Hub_.Current();
  const TLog* log = SelectedLog();
  const auto index = log != nullptr ? Hub_.IndexOf(log) : std::nullopt;
  const int position = SelectedQso();
  if (check == nullptr || !index || position < 0 ||
      static_cast<std::size_t>(position) >= check->Log(*index).Qsos.size()) {
    return;
  }
  const TQsoVerdict& verdict = check->Log(*index).Qsos[static_cast<std::size_t>(position)];
  if (!HasEvidence(verdict.Verdict)) return;
  if (TLog* partner = Hub_.LogAt(static_cast<std::size_t>(verdict.OtherLog))) emit OpenQso(partner, verdict.OtherQso);
}

void TfrmCrossCheck::SaveAllReports() {
  const TCrossCheck* check = Hub_.Current();
  if (check == nullptr) return;
  const QString title = QStringLiteral("Spara alla kontrollrapporter");
  const QString folder = Dialogs_.ChooseFolder(this, title, LastFolder());
  if (folder.isEmpty()) return;
  RememberFolder(folder);
  const std::map<std::string, std::string> reports = CheckReportFiles(*check);
  // Nothing is overwritten: a folder that already holds one of the names gets
  // none of the reports.
  QStringList existing;
  for (const auto& [name, text] : reports) {
    const QString path = QDir(folder).filePath(QString::fromUtf8(name));
    if (QFileInfo::exists(path)) existing.append(QString::fromUtf8(name));
  }
  if (!existing.isEmpty()) {
    Dialogs_.ShowWarning(this, title,
                         QStringLiteral("Mappen %1 har redan %2. Inga rapporter sparades; välj en annan mapp.")
                             .arg(QDir::toNativeSeparators(folder), existing.join(QStringLiteral(", "))));
    return;
  }
  for (const auto& [name, text] : reports) {
    QSaveFile file(QDir(folder).filePath(QString::fromUtf8(name)));
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) && file.commit();
    if (!written) {
      Dialogs_.ShowWarning(this, title,
                           QStringLiteral("Filen %1 kunde inte skrivas: %2").arg(file.fileName(), file.errorString()));
      return;
    }
  }
  lblState_->setText(
      QStringLiteral("%1 kontrollrapporter sparade i %2").arg(reports.size()).arg(QDir::toNativeSeparators(folder)));
}

void TfrmCrossCheck::Refresh() {
  // The contest may have been given logs since the window was opened.
  const TLog* selected = SelectedLog();
  Logs_ = ContestLogs(Contest_);
  const TCrossCheck* check = Hub_.Current();
  {
    const QSignalBlocker blockSpin(spnTimeTolerance_);
    const QSignalBlocker blockBox(chkCompareSerials_);
    spnTimeTolerance_->setValue(Hub_.Options().TimeToleranceMinutes);
    chkCompareSerials_->setChecked(Hub_.Options().CompareSerials);
  }
  lblState_->setText(
      check != nullptr
          ? QStringLiteral("%1 loggar i testen, %2 i hela inläsningen").arg(Logs_.size()).arg(check->LogCount())
          : QStringLiteral("Ingen korskontroll (inläsningen har ändrats)"));
  for (QPushButton* button : {btnApply_, btnApplyAll_, btnReport_, btnSaveReports_})
    button->setEnabled(check != nullptr);
  FillLogs();
  if (selected != nullptr) {
    Filling_ = true;
    SelectLog(selected);
    Filling_ = false;
  }
  FillQsos();
}

void TfrmCrossCheck::FillLogs() {
  const TCrossCheck* check = Hub_.Current();
  std::vector<std::vector<TTableCell>> rows;
  rows.reserve(Logs_.size());
  for (TLog* log : Logs_) {
    std::vector<TTableCell> cells;
    cells.reserve(static_cast<std::size_t>(LogModel_->columnCount()));
    cells.push_back(TextCell(ToQString(log->Edi().PCall)));
    const auto index = Hub_.IndexOf(log);
    if (check == nullptr || !index) {
      cells.push_back(TextCell({}));
      cells.push_back(TextCell(log->GetEdiStatus() == 3 ? RoleText(TBatchRole::Unreadable) : QString()));
      rows.push_back(std::move(cells));
      continue;
    }
    const TBatchLog& batch = check->BatchLog(*index);
    const TLogCrossCheck& result = check->Log(*index);
    cells.push_back(TextCell(ToQString(batch.Band)));
    cells.push_back(TextCell(RoleText(batch.Role)));
    const bool active = batch.Role == TBatchRole::Active;
    cells.push_back(active ? NumberCell(static_cast<long long>(result.Qsos.size())) : TextCell({}));
    for (const TVerdict verdict : kAllVerdicts) {
      const int32_t count = result.Counts[static_cast<std::size_t>(verdict)];
      TTableCell cell = active ? NumberCell(count) : TextCell({});
      if (active && count > 0 && verdict != TVerdict::Confirmed) cell.Background = VerdictColour(verdict);
      cells.push_back(std::move(cell));
    }
    if (result.ClockOffsetMinutes) {
      TTableCell clock{SignedText(*result.ClockOffsetMinutes), QVariant(*result.ClockOffsetMinutes), {}};
      if (!ClockSentence(result).empty()) clock.Background = VerdictColour(TVerdict::NoLog);
      cells.push_back(std::move(clock));
    } else {
      cells.push_back(TextCell({}));
    }
    if (active) {
      cells.push_back(NumberCell(result.PartnerRecords));
      cells.push_back(NumberCell(result.PartnerRecordsLost()));
      if (result.PartnerRecords > 0) {
        const double share = 100.0 * result.PartnerRecordsLost() / result.PartnerRecords;
        cells.push_back({QString::number(share, 'f', 0) + QStringLiteral(" %"), QVariant(share), {}});
      } else {
        cells.push_back(TextCell({}));
      }
    } else {
      cells.push_back(TextCell({}));
      cells.push_back(TextCell({}));
      cells.push_back(TextCell({}));
    }
    if (result.After) {
      cells.push_back(NumberCell(result.After->Score));
      cells.push_back(NumberCell(result.After->Squares));
    } else {
      cells.push_back(TextCell({}));
      cells.push_back(TextCell({}));
    }
    cells.push_back(NumberCell(log->GetTotalScore()));
    cells.push_back(result.After ? NumberCell(result.After->Total) : TextCell({}));
    rows.push_back(std::move(cells));
  }
  Filling_ = true;
  LogModel_->SetRows(std::move(rows));
  Filling_ = false;
}

void TfrmCrossCheck::FillQsos() {
  const TCrossCheck* check = Hub_.Current();
  TLog* log = SelectedLog();
  const auto index = log != nullptr ? Hub_.IndexOf(log) : std::nullopt;
  const int selected = SelectedQso();
  std::vector<bool> confirmed;
  std::vector<std::vector<TTableCell>> rows;
  if (check != nullptr && index) {
    const TLogCrossCheck& result = check->Log(*index);
    const TReg1Test& edi = log->Edi();
    rows.reserve(result.Qsos.size());
    for (std::size_t position = 0; position < result.Qsos.size() && position < edi.QSOs.size(); ++position) {
      const TQSORecord& q = edi.QSOs[position];
      const TQsoVerdict& verdict = result.Qsos[position];
      confirmed.push_back(verdict.Verdict == TVerdict::Confirmed);
      std::vector<TTableCell> cells;
      cells.push_back(NumberCell(static_cast<long long>(position + 1)));
      cells.push_back(TextCell(ToQString(q.Time.View())));
      cells.push_back(TextCell(ToQString(q.Call.View())));
      cells.push_back(TextCell(ToQString(q.RcvdWWL.View())));
      TTableCell text = TextCell(ToQString(check->Text(*index, position)));
      text.Background = VerdictColour(verdict.Verdict);
      cells.push_back(std::move(text));
      if (HasEvidence(verdict.Verdict)) {
        cells.push_back(TextCell(ToQString(EvidenceText(*check, *index, position))));
        cells.push_back({SignedText(verdict.DeltaMinutes), QVariant(verdict.DeltaMinutes), {}});
      } else {
        cells.push_back(TextCell({}));
        cells.push_back(TextCell({}));
      }
      cells.push_back(TextCell(PenaltyText(log->Checker().GetPenalty(static_cast<int64_t>(position)))));
      rows.push_back(std::move(cells));
    }
  }
  QsoModel_->SetRows(std::move(rows));
  QsoShown_->SetConfirmed(std::move(confirmed), chkUnconfirmedOnly_->isChecked());
  if (selected >= 0) SelectQso(selected);
  QsoSelected();
}

void TfrmCrossCheck::OptionsEdited() {
  TCrossCheckOptions options = Hub_.Options();
  options.TimeToleranceMinutes = spnTimeTolerance_->value();
  options.CompareSerials = chkCompareSerials_->isChecked();
  Hub_.SetOptions(options, this);
}

void TfrmCrossCheck::ApplySelected() {
  if (TLog* log = SelectedLog()) Hub_.Apply({log});
}

void TfrmCrossCheck::ApplyAll() {
  const TCrossCheckHub::TPending pending = Hub_.Pending(Logs_);
  const QString question =
      pending.Qsos == 0
          ? QStringLiteral(
                "Korskontrollen föreslår inga fler QSO att bedöma i testens %1 loggar. Loggarna får ändå "
                "programmets egna poäng som erhållna. Fortsätta?")
                .arg(Logs_.size())
          : QStringLiteral(
                "%1 QSO i %2 av testens %3 loggar bedöms som ogiltiga (-100%), som korskontrollen föreslår. "
                "Domarens egna bedömningar ändras inte. Tillämpa förslagen?")
                .arg(pending.Qsos)
                .arg(pending.Logs)
                .arg(Logs_.size());
  if (!Dialogs_.Confirm(this, QStringLiteral("Tillämpa förslag på alla loggar"), question)) return;
  Hub_.Apply(Logs_);
}

}  // namespace loggrevy
