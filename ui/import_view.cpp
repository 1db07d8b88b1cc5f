#include "ui/import_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "core/locator.h"
#include "crosscheck/crosscheck.h"
#include "model/implog.h"
#include "ui/crosscheck_hub.h"
#include "ui/fonts.h"
#include "ui/qtext.h"
#include "ui/xstrgrid.h"

namespace loggrevy {

namespace {

constexpr int kColumns = 10;
constexpr int kColPoints = 6;
constexpr int kColDistance = 7;
constexpr int kColOwnPoints = 8;
constexpr int kColJudgement = 9;
constexpr int kColVerdict = 10;
constexpr int kVerdictWidth = 290;
constexpr int kViewWidth = 640;

QString WithSeparator(QString text, char decimalSeparator) {
  if (decimalSeparator != '.') text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
  return text;
}

struct THeadLabel {
  const char16_t* Text;
  int X, Y, Points;
};

constexpr THeadLabel kHeadLabels[] = {
    {u"TESTLOGG.", 5, 3, 12},      {u"Band", 110, 5, 10},          {u"Datum", 300, 5, 10},
    {u"Signal", 405, 5, 10},       {u"Namn.", 5, 32, 9},           {u"Lokator", 405, 32, 9},
    {u"Adress.", 5, 52, 9},        {u"Antal QSO:n", 405, 52, 9},   {u"Adress.", 5, 72, 9},
    {u"Antal Rutor", 405, 72, 9},  {u"Tävl.Klass.", 5, 92, 9},     {u"Totalpoäng", 405, 92, 9},
    {u"Txcvr.", 5, 113, 9},        {u"Bästa QRB.km", 405, 113, 9}, {u"Antenn.", 5, 133, 9},
    {u"Med station", 405, 133, 9}, {u"Operatör (er)", 5, 153, 9},  {u"Klubbstation", 405, 153, 9},
};

// Draws text with its top-left corner at (x, y), as the form's canvas does.
void TextOut(QPainter& p, int x, int y, const QString& text) {
  p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

// The form's lines: a value is cut at the lines round its cell.
constexpr int kRowLines[] = {0, 30, 50, 70, 90, 111, 131, 151, 171};
constexpr int kMiddleLine = 400;
constexpr int kFormRight = 626;

// A value drawn at (x, y) within the cell from the line at left to the one at
// right, in the form's row that holds y.
void ValueOut(QPainter& p, int left, int right, int x, int y, const QString& text) {
  int top = 0;
  int bottom = kRowLines[std::size(kRowLines) - 1];
  for (std::size_t i = 1; i < std::size(kRowLines); ++i) {
    if (y < kRowLines[i]) {
      top = kRowLines[i - 1];
      bottom = kRowLines[i];
      break;
    }
  }
  p.save();
  p.setClipRect(QRect(QPoint(left + 1, top + 1), QPoint(right - 1, bottom - 1)));
  TextOut(p, x, y, text);
  p.restore();
}

}  // namespace

QString FormatDistance(double km, char decimalSeparator) { return ToQString(FormatDistanceKm(km, decimalSeparator)); }

QString FormatGeneral(double value, char decimalSeparator) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  QString text = QString::fromLatin1(buffer);
  // The exponent without "+" and leading zeros: 1E20, 1E-5.
  const qsizetype e = text.indexOf(QLatin1Char('E'));
  if (e >= 0) {
    QString mantissa = text.left(e);
    QString exponent = text.mid(e + 1);
    const bool negative = exponent.startsWith(QLatin1Char('-'));
    if (negative || exponent.startsWith(QLatin1Char('+'))) exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0'))) exponent.remove(0, 1);
    text = mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
  }
  return WithSeparator(text, decimalSeparator);
}

QString PenaltyText(uint8_t penalty) {
  switch (penalty) {
    case kPenaltyNone: return {};
    case kPenaltyInvalid: return QStringLiteral("-100%");
    case kPenaltyDuplicate: return QStringLiteral("-1000%");
    default: return QStringLiteral("?");
  }
}

THeadBox::THeadBox(char decimalSeparator, QWidget* parent) : QWidget(parent), DecimalSeparator_(decimalSeparator) {
  setObjectName(QStringLiteral("pbHead"));
  setFixedSize(626, 171);
}

void THeadBox::SetEdi(const TReg1Test* edi) {
  Edi_ = edi;
  update();
}

void THeadBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  p.setPen(Qt::black);
  for (int y : {30, 50, 70, 90, 111, 131, 151}) p.drawLine(0, y, 626, y);
  for (int x : {100, 295}) p.drawLine(x, 0, x, 30);
  p.drawLine(400, 0, 400, 171);

  for (const THeadLabel& label : kHeadLabels) {
    p.setFont(PointFont(QStringLiteral("Helvetica"), label.Points));
    TextOut(p, label.X, label.Y, QString::fromUtf16(label.Text));
  }
  if (Edi_ == nullptr || !Edi_->ReadFinished) return;

  const TReg1Test& e = *Edi_;
  p.setFont(PointFont(QStringLiteral("Times New Roman"), 8));
  const std::string equipment = e.SRXEq == e.STXEq ? e.STXEq : e.STXEq + " " + e.SRXEq;
  ValueOut(p, 100, 295, 155, 11, ToQString(e.PBand));
  ValueOut(p, 295, kMiddleLine, 345, 11, ToQString(e.TDateStart));
  ValueOut(p, -1, kMiddleLine, 135, 33, ToQString(e.RName));
  ValueOut(p, -1, kMiddleLine, 135, 53, ToQString(e.RAdr1));
  ValueOut(p, -1, kMiddleLine, 135, 73, ToQString(e.RAdr2));
  ValueOut(p, -1, kMiddleLine, 135, 93, ToQString(e.PSect));
  ValueOut(p, -1, kMiddleLine, 135, 114, ToQString(equipment));
  ValueOut(p, -1, kMiddleLine, 135, 134, ToQString(e.SAnte));
  ValueOut(p, -1, kMiddleLine, 135, 155, ToQString(e.MOpe1 + " " + e.MOpe2));
  ValueOut(p, kMiddleLine, kFormRight, 520, 11, ToQString(e.PCall));
  ValueOut(p, kMiddleLine, kFormRight, 520, 33, ToQString(e.PWWLo));
  ValueOut(p, kMiddleLine, kFormRight, 520, 53, IntText(e.CQSOsCount));
  ValueOut(p, kMiddleLine, kFormRight, 520, 73, IntText(e.CWWLsCount));
  ValueOut(p, kMiddleLine, kFormRight, 520, 93, IntText(e.CToSc));
  ValueOut(p, kMiddleLine, kFormRight, 520, 114,
           FormatGeneral(static_cast<double>(e.CODXCDistance), DecimalSeparator_));
  ValueOut(p, kMiddleLine, kFormRight, 520, 134, ToQString(e.CODXCCall));
  ValueOut(p, kMiddleLine, kFormRight, 520, 155, ToQString(e.PClub));
}

TfrmImportView::TfrmImportView(char decimalSeparator, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      DecimalSeparator_(decimalSeparator) {
  setObjectName(QStringLiteral("frmImportView"));
  setWindowTitle(QStringLiteral("Aktuell Log"));
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13));
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
  setMinimumSize(640, 480);
  setMaximumWidth(640);
  resize(640, 480);

  auto* panel3 = new QFrame(this);
  panel3->setObjectName(QStringLiteral("Panel3"));
  panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel3->setFixedHeight(177);
  auto* panel3Layout = new QVBoxLayout(panel3);
  panel3Layout->setContentsMargins(3, 3, 3, 3);
  pbHead_ = new THeadBox(decimalSeparator, panel3);
  panel3Layout->addWidget(pbHead_, 0, Qt::AlignLeft | Qt::AlignTop);

  Splitter1_ = new QSplitter(Qt::Vertical, this);
  Splitter1_->setObjectName(QStringLiteral("Splitter1"));
  Splitter1_->setHandleWidth(3);
  Splitter1_->setChildrenCollapsible(false);

  auto* panel1 = new QFrame(Splitter1_);
  panel1->setObjectName(QStringLiteral("Panel1"));
  panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* panel1Layout = new QVBoxLayout(panel1);
  panel1Layout->setContentsMargins(1, 1, 1, 1);
  grdQSOs_ = new TXStrGrid(panel1);
  grdQSOs_->setObjectName(QStringLiteral("grdQSOs"));
  panel1Layout->addWidget(grdQSOs_);

  Panel2_ = new QWidget(Splitter1_);
  Panel2_->setObjectName(QStringLiteral("Panel2"));
  Panel2_->setMinimumHeight(56);
  auto* panel2Layout = new QVBoxLayout(Panel2_);
  panel2Layout->setContentsMargins(0, 0, 0, 0);
  lbLogErrors_ = new QListWidget(Panel2_);
  lbLogErrors_->setObjectName(QStringLiteral("lbLogErrors"));
  lbLogErrors_->setFont(PixelFont(QStringLiteral("Courier"), 13));
  panel2Layout->addWidget(lbLogErrors_);
  panel1->setMinimumHeight(56);

  Splitter1_->addWidget(panel1);
  Splitter1_->addWidget(Panel2_);
  Splitter1_->setStretchFactor(0, 1);
  Splitter1_->setStretchFactor(1, 0);
  Splitter1_->setSizes({480 - 177 - 56 - 3, 56});
  Panel2_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(panel3);
  layout->addWidget(Splitter1_, 1);

  // The QSO grid: ten columns under one fixed header row.
  TXStrGrid& grid = *grdQSOs_;
  grid.SetColCount(kColumns);
  grid.SetRowCount(2);
  grid.SetDefaultRowHeight(18);
  grid.SetGridLines(true, true);
  grid.SetGrid3D(false);
  const int widths[kColumns] = {62, 43, 88, 62, 62, 67, 53, 51, 52, 56};
  for (int c = 0; c < kColumns; ++c) grid.SetColWidth(c, widths[c]);
  grid.SetHCol({QStringLiteral("QSOnr"), QStringLiteral("UTC"), QStringLiteral("STATION"), QStringLiteral("RST-S"),
                QStringLiteral("RST-R"), QStringLiteral("LOKATOR"), QStringLiteral("POÄNG"), QStringLiteral("(QRB)"),
                QStringLiteral("(Poäng)"), QStringLiteral("Bedömn.")});
  grid.Loaded();

  // grdQSOsGetCellColor: claimed points red when above the computed, blue when below.
  grid.SetOnGetCellColor([this](TXStrGrid& sender, int row, int col, const TCellState& state, TCellStyle& style) {
    if (row >= 1 && col == kColVerdict && !state.Selected && static_cast<std::size_t>(row) < Verdicts_.size()) {
      style.Brush = VerdictColour(static_cast<TVerdict>(Verdicts_[static_cast<std::size_t>(row)]));
      return;
    }
    if (row < 1 || col != kColPoints) return;
    const QString& claimedText = sender.Cell(kColPoints, row);
    const QString& computedText = sender.Cell(kColOwnPoints, row);
    if (claimedText.isEmpty() || computedText.isEmpty()) return;
    bool claimedOk = false;
    bool computedOk = false;
    const qlonglong claimed = claimedText.toLongLong(&claimedOk);
    const qlonglong computed = computedText.toLongLong(&computedOk);
    if (!claimedOk || !computedOk) return;
    if (computed < claimed) style.TextColor = Qt::red;
    if (claimed < computed) style.TextColor = Qt::blue;
  });
  // grdQSOsGetAlignment
  grid.SetOnGetAlignment([](TXStrGrid&, int row, int col, Qt::Alignment& alignment) {
    if (row == 0) {
      alignment = Qt::AlignHCenter;
    } else if (col == 0 || col == kColPoints || col == kColDistance || col == kColOwnPoints) {
      alignment = Qt::AlignRight;
    }
  });

  PopupMenu1_ = new QMenu(this);
  PopupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  itmCall_ = PopupMenu1_->addAction(QStringLiteral("SMnZZZ"));
  itmCall_->setObjectName(QStringLiteral("itmCall"));
  itmCall_->setEnabled(false);
  QAction* n1 = PopupMenu1_->addSeparator();
  n1->setObjectName(QStringLiteral("N1"));
  n1->setEnabled(false);
  itmQSOOk_ = PopupMenu1_->addAction(QStringLiteral("QSO Ok"));
  itmQSOOk_->setObjectName(QStringLiteral("itmQSOOk"));
  itmQSOInvalid_ = PopupMenu1_->addAction(QStringLiteral("Felaktig (-100%)"));
  itmQSOInvalid_->setObjectName(QStringLiteral("itmQSOInvalid"));
  itmQSODuplicate_ = PopupMenu1_->addAction(QStringLiteral("Dublettkontakt (-1000%)"));
  itmQSODuplicate_->setObjectName(QStringLiteral("itmQSODuplicate"));
  connect(itmQSOOk_, &QAction::triggered, this, [this] { OnSetPunishment(itmQSOOk_, kPenaltyNone); });
  connect(itmQSOInvalid_, &QAction::triggered, this, [this] { OnSetPunishment(itmQSOInvalid_, kPenaltyInvalid); });
  connect(itmQSODuplicate_, &QAction::triggered, this,
          [this] { OnSetPunishment(itmQSODuplicate_, kPenaltyDuplicate); });

  grid.setContextMenuPolicy(Qt::CustomContextMenu);
  grid.horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&grid, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowMenu(grdQSOs_->viewport()->mapToGlobal(pos)); });
  connect(grid.horizontalHeader(), &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowMenu(grdQSOs_->horizontalHeader()->viewport()->mapToGlobal(pos)); });
  grid.viewport()->installEventFilter(this);
  grid.horizontalHeader()->viewport()->installEventFilter(this);
  grid.installEventFilter(this);

  connect(lbLogErrors_, &QListWidget::currentRowChanged, this, &TfrmImportView::lbLogErrorsClick);
  connect(lbLogErrors_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lbLogErrorsClick(lbLogErrors_->row(item)); });
}

bool TfrmImportView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      const QPoint at = mouse->position().toPoint();
      const QPoint cell =
          watched == grdQSOs_->horizontalHeader()->viewport() ? grdQSOs_->HeaderCellAt(at) : grdQSOs_->CellAt(at);
      grdQSOsMouseDown(cell.x(), cell.y());
    }
  } else if (event->type() == QEvent::ContextMenu && watched == grdQSOs_) {
    // The menu key judges the current cell, as a right click on it would.
    if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
      grdQSOsMouseDown(grdQSOs_->Col(), grdQSOs_->Row());
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TfrmImportView::grdQSOsMouseDown(int col, int row) {
  ClickCol_ = col;
  ClickRow_ = row;
}

void TfrmImportView::ShowMenu(const QPoint& globalPos) {
  PopupMenu1Popup();
  PopupMenu1_->popup(globalPos);
}

void TfrmImportView::PopupMenu1Popup() {
  // Judgements exist for QSO rows only; elsewhere the menu offers none.
  const bool onQso = Checker_ != nullptr && ClickRow_ >= 1 && ClickRow_ < grdQSOs_->RowCount();
  itmQSOOk_->setEnabled(onQso);
  itmQSOInvalid_->setEnabled(onQso);
  itmQSODuplicate_->setEnabled(onQso);
  if (!onQso) {
    itmCall_->setText(QString());
    return;
  }
  itmCall_->setText(grdQSOs_->Cell(2, ClickRow_));
  grdQSOs_->SetCurrentCell(std::max(ClickCol_, 0), ClickRow_);
}

void TfrmImportView::OnSetPunishment(QAction* item, uint8_t penalty) {
  if (Checker_ == nullptr || Edi_ == nullptr) return;
  if (ClickRow_ < 1 || ClickRow_ >= grdQSOs_->RowCount() || Edi_->GetQSO(ClickRow_) == nullptr) return;
  Checker_->SetPenalty(ClickRow_ - 1, penalty);
  WriteJudgedCells(ClickRow_);
  emit JudgementChanged(item);
}

void TfrmImportView::WriteJudgedCells(int row) {
  const TQSORecord* q = Edi_->GetQSO(row);
  grdQSOs_->SetCell(kColOwnPoints, row,
                    q != nullptr && q->Valid ? IntText(Checker_->GetQsoPoints(row)) : QStringLiteral("0"));
  grdQSOs_->SetCell(kColJudgement, row, PenaltyText(Checker_->GetPenalty(row - 1)));
}

void TfrmImportView::lbLogErrorsClick(int row) {
  if (Checker_ == nullptr || row < 0) return;
  const auto& messages = Checker_->Messages();
  if (static_cast<std::size_t>(row) >= messages.size()) return;
  const int32_t qso = messages[static_cast<std::size_t>(row)].Qso;
  if (qso > 0 && qso < grdQSOs_->RowCount()) grdQSOs_->SetCurrentCell(grdQSOs_->Col(), qso);
}

void TfrmImportView::SetLog(TLog* log) {
  ClickRow_ = -1;
  ClickCol_ = -1;
  PopupMenu1_->hide();
  Log_ = log;
  if (log == nullptr) {
    ShowVerdictColumn(false);
    Edi_ = nullptr;
    Checker_ = nullptr;
    Clear();
  } else {
    Edi_ = &log->Edi();
    Checker_ = &log->Checker();
    Fill();
  }
  // Whatever is handed starts at the top, with no cell of the last log marked.
  grdQSOs_->setCurrentIndex({});
  grdQSOs_->clearSelection();
  grdQSOs_->scrollToTop();
  grdQSOs_->horizontalScrollBar()->setValue(0);
}

void TfrmImportView::Fill() {
  pbHead_->SetEdi(Edi_);
  TXStrGrid& grid = *grdQSOs_;
  const int count =
      static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(Edi_->QSOCount, 0)), Edi_->QSOs.size()));
  // The verdicts of an active log of the cross-check, if there is one.
  const TLogCrossCheck* verdicts = nullptr;
  std::size_t index = 0;
  if (CrossCheck_ != nullptr) {
    for (std::size_t i = 0; i < CrossCheck_->LogCount(); ++i) {
      if (&CrossCheck_->BatchEntry(i) == Log_ && CrossCheck_->BatchLog(i).Role == TBatchRole::Active) {
        verdicts = &CrossCheck_->Log(i);
        index = i;
      }
    }
  }
  ShowVerdictColumn(verdicts != nullptr);
  if (verdicts != nullptr) Verdicts_.assign(static_cast<std::size_t>(count) + 1, 0);
  grid.BeginUpdate();
  grid.SetRowCount(count + 1);
  for (int n = 1; n <= count; ++n) {
    const TQSORecord& q = *Edi_->GetQSO(n);
    grid.SetCell(0, n, IntText(n));
    grid.SetCell(1, n, ToQString(q.Time));
    grid.SetCell(2, n, ToQString(q.Call));
    grid.SetCell(3, n, ToQString(q.SentRST));
    grid.SetCell(4, n, ToQString(q.RcvdRST));
    grid.SetCell(5, n, ToQString(q.RcvdWWL));
    grid.SetCell(kColPoints, n, IntText(q.Points));
    grid.SetCell(kColDistance, n,
                 q.Valid ? FormatDistance(Checker_->GetQsoDistance(n), DecimalSeparator_) : QStringLiteral("-"));
    WriteJudgedCells(n);
    const auto position = static_cast<std::size_t>(n - 1);
    if (verdicts != nullptr && position < verdicts->Qsos.size()) {
      grid.SetCell(kColVerdict, n, ToQString(CrossCheck_->Text(index, position)));
      Verdicts_[static_cast<std::size_t>(n)] = static_cast<uint8_t>(verdicts->Qsos[position].Verdict);
    }
  }
  grid.EndUpdate();

  const QSignalBlocker block(lbLogErrors_);
  lbLogErrors_->clear();
  QStringList texts;
  for (const TCheckMessage& message : Checker_->Messages()) texts.append(ToQString(message.Text));
  lbLogErrors_->addItems(texts);
  const bool any = lbLogErrors_->count() > 0;
  if (any && Panel2_->isHidden()) {
    Panel2_->show();
    const int total = Splitter1_->height();
    Splitter1_->setSizes({std::max(total - 56 - Splitter1_->handleWidth(), 56), 56});
  } else if (!any) {
    Panel2_->hide();
  }
}

void TfrmImportView::SetCrossCheck(const TCrossCheck* crossCheck) {
  CrossCheck_ = crossCheck;
  if (Edi_ != nullptr) {
    const int row = grdQSOs_->Row();
    Fill();
    if (row >= 1) ShowQso(row);
  } else {
    ShowVerdictColumn(false);
  }
}

void TfrmImportView::ShowVerdictColumn(bool on) {
  if (!on) Verdicts_.clear();
  TXStrGrid& grid = *grdQSOs_;
  const int columns = on ? kColumns + 1 : kColumns;
  if (grid.ColCount() == columns) return;
  QStringList header = grid.HCol();
  grid.SetColCount(columns);
  if (on) {
    header.append(QStringLiteral("Korskontroll"));
    grid.SetColWidth(kColVerdict, kVerdictWidth);
    // The window widens by the column once, and narrows back without it.
    setMaximumWidth(QWIDGETSIZE_MAX);
    if (width() <= kViewWidth) resize(kViewWidth + kVerdictWidth, height());
  } else {
    header.removeLast();
    setMaximumWidth(kViewWidth);
  }
  grid.SetHCol(header);
}

void TfrmImportView::RefreshJudgements() {
  if (Edi_ == nullptr || Checker_ == nullptr) return;
  grdQSOs_->BeginUpdate();
  for (int n = 1; n < grdQSOs_->RowCount(); ++n) {
    if (Edi_->GetQSO(n) != nullptr) WriteJudgedCells(n);
  }
  grdQSOs_->EndUpdate();
}

void TfrmImportView::ShowQso(int qso) {
  if (qso >= 1 && qso < grdQSOs_->RowCount()) grdQSOs_->SetCurrentCell(std::max(grdQSOs_->Col(), 0), qso);
}

void TfrmImportView::Clear() {
  TXStrGrid& grid = *grdQSOs_;
  grid.BeginUpdate();
  grid.SetRowCount(2);
  for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, 1, QString());
  grid.EndUpdate();
  pbHead_->SetEdi(nullptr);
  const QSignalBlocker block(lbLogErrors_);
  lbLogErrors_->clear();
}

}  // namespace loggrevy
