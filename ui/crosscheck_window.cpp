#include "ui/crosscheck_window.h"

#include <algorithm>

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "model/import_session.h"
#include "results/writers.h"
#include "ui/crosscheck_hub.h"
#include "ui/import_view.h"
#include "ui/qtext.h"
#include "ui/table_model.h"

namespace loggrevy {

namespace {

// Short captions of the count columns; the tool tips give the full ones.
constexpr const char16_t* kCountCaptions[kVerdictCount] = {
    u"Bekr.",  u"Bekr. motst. fel", u"Bekr. motst. tid", u"Fel signal", u"Trol. fel sign.", u"Fel lok.",
    u"Fel nr", u"Tidsfel",          u"Ej i logg",        u"Ej läsbar",  u"Ingen logg",      u"Unik",
    u"Egen",   u"Ej kontr."};

constexpr int kLogFixedColumns = 4;  // Signal, Band, Status, QSO
// After the counts: Klocka, Motst. QSO, Motst. förlorar, Förlorad andel.
constexpr int kLostShareColumn = kLogFixedColumns + static_cast<int>(kVerdictCount) + 3;

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

QString SignedText(int32_t value) { return value > 0 ? QStringLiteral("+") + IntText(value) : IntText(value); }

}  // namespace

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

TfrmCrossCheck::TfrmCrossCheck(TCrossCheckHub& hub, const TOutlineNode& contest, QWidget* parent)
    : QWidget(parent, Qt::Window), Hub_(hub), Contest_(contest), Logs_(ContestLogs(contest)) {
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
  lblState_ = new QLabel(this);
  lblState_->setObjectName(QStringLiteral("lblState"));

  auto* bar = new QHBoxLayout;
  bar->addWidget(tolerance);
  bar->addWidget(spnTimeTolerance_);
  bar->addSpacing(12);
  bar->addWidget(chkCompareSerials_);
  bar->addStretch(1);
  bar->addWidget(btnApply_);
  bar->addWidget(btnApplyAll_);
  bar->addWidget(btnReport_);

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
  tblLogs_ = makeTable("tblLogs", LogModel_);
  tblQsos_ = makeTable("tblQsos", QsoModel_);
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

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(tblLogs_);
  splitter->addWidget(tblQsos_);
  splitter->setSizes({260, 340});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(lblState_);
  layout->addWidget(splitter, 1);

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
  connect(tblQsos_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (TLog* log = SelectedLog(); log != nullptr && index.isValid()) emit OpenQso(log, index.row() + 1);
  });
  // A click on the caption of the share lost with a log puts the logs that
  // cost their partners most first.
  connect(tblLogs_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (column != kLostShareColumn) return;
    TLog* selected = SelectedLog();
    const TCrossCheck* check = Hub_.Current();
    const auto share = [&](TLog* log) {
      const auto index = check != nullptr ? Hub_.IndexOf(log) : std::nullopt;
      if (!index || check->Log(*index).PartnerRecords == 0) return -1.0;
      const TLogCrossCheck& result = check->Log(*index);
      return static_cast<double>(result.PartnerRecordsLost()) / result.PartnerRecords;
    };
    std::stable_sort(Logs_.begin(), Logs_.end(), [&](TLog* a, TLog* b) { return share(a) > share(b); });
    Filling_ = true;
    FillLogs();
    Filling_ = false;
    if (selected != nullptr) SelectLog(selected);
  });
  connect(&hub, &TCrossCheckHub::Changed, this, &TfrmCrossCheck::Refresh);
  connect(&hub, &TCrossCheckHub::FiguresChanged, this, &TfrmCrossCheck::Refresh);
  Refresh();
  if (!Logs_.empty()) tblLogs_->selectRow(0);
}

TLog* TfrmCrossCheck::SelectedLog() const {
  const QModelIndex current = tblLogs_->selectionModel()->currentIndex();
  if (!current.isValid() || current.row() >= static_cast<int>(Logs_.size())) return nullptr;
  return Logs_[static_cast<std::size_t>(current.row())];
}

void TfrmCrossCheck::SelectLog(const TLog* log) {
  for (std::size_t i = 0; i < Logs_.size(); ++i) {
    if (Logs_[i] == log) tblLogs_->selectRow(static_cast<int>(i));
  }
}

void TfrmCrossCheck::Refresh() {
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
  for (QPushButton* button : {btnApply_, btnApplyAll_, btnReport_}) button->setEnabled(check != nullptr);
  FillLogs();
  FillQsos();
}

void TfrmCrossCheck::FillLogs() {
  const TCrossCheck* check = Hub_.Current();
  const int selected = tblLogs_->selectionModel()->currentIndex().row();
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
  LogModel_->SetRows(std::move(rows));
  if (selected >= 0 && selected < LogModel_->rowCount()) {
    Filling_ = true;
    tblLogs_->selectRow(selected);
    Filling_ = false;
  }
}

void TfrmCrossCheck::FillQsos() {
  const TCrossCheck* check = Hub_.Current();
  TLog* log = SelectedLog();
  const auto index = log != nullptr ? Hub_.IndexOf(log) : std::nullopt;
  std::vector<std::vector<TTableCell>> rows;
  if (check != nullptr && index) {
    const TLogCrossCheck& result = check->Log(*index);
    const TReg1Test& edi = log->Edi();
    rows.reserve(result.Qsos.size());
    for (std::size_t position = 0; position < result.Qsos.size() && position < edi.QSOs.size(); ++position) {
      const TQSORecord& q = edi.QSOs[position];
      const TQsoVerdict& verdict = result.Qsos[position];
      std::vector<TTableCell> cells;
      cells.push_back(NumberCell(static_cast<long long>(position + 1)));
      cells.push_back(TextCell(ToQString(q.Time.View())));
      cells.push_back(TextCell(ToQString(q.Call.View())));
      cells.push_back(TextCell(ToQString(q.RcvdWWL.View())));
      TTableCell text = TextCell(ToQString(check->Text(*index, position)));
      text.Background = VerdictColour(verdict.Verdict);
      cells.push_back(std::move(text));
      if (HasEvidence(verdict.Verdict)) {
        const TLog& other = check->BatchEntry(static_cast<std::size_t>(verdict.OtherLog));
        const TQSORecord& o = other.Edi().QSOs[static_cast<std::size_t>(verdict.OtherQso - 1)];
        cells.push_back(TextCell(ToQString(other.Edi().PCall + ' ' + std::string(o.Time.View()) + ' ' +
                                           std::string(o.Call.View()) + ' ' + std::string(o.RcvdWWL.View()))));
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

void TfrmCrossCheck::ApplyAll() { Hub_.Apply(Logs_); }

}  // namespace loggrevy
