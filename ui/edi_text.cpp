#include "ui/edi_text.h"

#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "model/implog.h"
#include "ui/fonts.h"
#include "ui/qtext.h"

namespace loggrevy {

namespace {

constexpr int kItemHeight = 16;
constexpr int kBorder = 2;
constexpr int kErrorListHeight = 56;
constexpr int kSplitterWidth = 3;

// lbEDIFile is drawn by hand: bold for a line with a diagnostic, the text two
// pixels in from the left at the top of its row.
class TEdiLineDelegate final : public QStyledItemDelegate {
 public:
  explicit TEdiLineDelegate(const TfrmEdiText& window) : QStyledItemDelegate(nullptr), Window_(window) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(option.rect, selected ? pal.highlight() : pal.base());
    QFont font = option.font;
    font.setBold(Window_.IsBoldRow(index.row()));
    painter->setFont(font);
    painter->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect = option.rect.adjusted(2, 0, 0, 0);
    painter->setClipRect(option.rect);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
  }

 private:
  const TfrmEdiText& Window_;
};

class TFixedHeightDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
  }
};

// A panel with a border round its list except along the splitter, so the two
// lists are the splitter's width apart.
QWidget* Panel(const char* name, QListWidget* list, QWidget* parent, bool above) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(kBorder, above ? kBorder : 0, kBorder, above ? 0 : kBorder);
  layout->addWidget(list);
  return panel;
}

}  // namespace

TfrmEdiText::TfrmEdiText(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      lbEDIFile_(new QListWidget),
      lbErrors_(new QListWidget),
      Splitter1_(new QSplitter(Qt::Vertical)) {
  setObjectName(QStringLiteral("frmEdiText"));
  setWindowTitle(QStringLiteral("EDI fil för import"));
  resize(640, 480);
  setFont(CellHeightFont(QStringLiteral("Courier"), 17));
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  pal.setColor(QPalette::Text, Qt::black);
  setPalette(pal);

  lbEDIFile_->setObjectName(QStringLiteral("lbEDIFile"));
  auto* lineDelegate = new TEdiLineDelegate(*this);
  lineDelegate->setParent(lbEDIFile_);
  lbEDIFile_->setItemDelegate(lineDelegate);
  lbEDIFile_->setUniformItemSizes(true);
  lbErrors_->setObjectName(QStringLiteral("lbErrors"));
  lbErrors_->setItemDelegate(new TFixedHeightDelegate(lbErrors_));
  lbErrors_->setUniformItemSizes(true);

  Splitter1_->setObjectName(QStringLiteral("Splitter1"));
  Splitter1_->setHandleWidth(kSplitterWidth);
  Splitter1_->setChildrenCollapsible(false);
  QWidget* panel1 = Panel("Panel1", lbEDIFile_, Splitter1_, true);
  QWidget* panel3 = Panel("Panel3", lbErrors_, Splitter1_, false);
  // Below the lists' own minimum, which would make the bottom one taller.
  const int bottomHeight = kErrorListHeight + kBorder;
  panel1->setMinimumHeight(bottomHeight);
  panel3->setMinimumHeight(bottomHeight);
  Splitter1_->addWidget(panel1);
  Splitter1_->addWidget(panel3);
  Splitter1_->setStretchFactor(0, 1);
  Splitter1_->setStretchFactor(1, 0);
  Splitter1_->setSizes({480 - bottomHeight - kSplitterWidth, bottomHeight});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter1_);

  connect(lbEDIFile_, &QListWidget::currentRowChanged, this, &TfrmEdiText::lbEDIFileClick);
  connect(lbEDIFile_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lbEDIFileClick(lbEDIFile_->row(item)); });
  connect(lbErrors_, &QListWidget::currentRowChanged, this, &TfrmEdiText::lbErrorsClick);
  connect(lbErrors_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lbErrorsClick(lbErrors_->row(item)); });
}

void TfrmEdiText::SetLog(TLog* log) {
  const QSignalBlocker blockLines(lbEDIFile_);
  const QSignalBlocker blockErrors(lbErrors_);
  lbEDIFile_->clear();
  lbErrors_->clear();
  Edi_ = log != nullptr ? &log->Edi() : nullptr;
  if (Edi_ == nullptr) return;

  QStringList lines;
  lines.reserve(static_cast<qsizetype>(Edi_->Lines.size()));
  for (std::size_t r = 0; r < Edi_->Lines.size(); ++r) lines.append(ToQString(Edi_->LineText(r)));
  lbEDIFile_->addItems(lines);
  QStringList errors;
  for (std::size_t d = 1; d < Edi_->Diagnostics.size(); ++d) errors.append(ToQString(Edi_->Diagnostics[d].Text));
  lbErrors_->addItems(errors);
  // A new log starts at the top, not where the last one was left.
  lbEDIFile_->scrollToTop();
  lbErrors_->scrollToTop();
}

bool TfrmEdiText::IsBoldRow(int row) const {
  return Edi_ != nullptr && row >= 0 && static_cast<std::size_t>(row) < Edi_->Lines.size() &&
         Edi_->Lines[static_cast<std::size_t>(row)].DiagnosticRef > 0;
}

void TfrmEdiText::lbErrorsClick(int row) {
  if (Edi_ == nullptr || row < 0) return;
  const auto position = static_cast<std::size_t>(row) + 1;
  if (position >= Edi_->Diagnostics.size()) return;
  const QSignalBlocker block(lbEDIFile_);
  const int32_t line = Edi_->Diagnostics[position].LineRef;
  if (line < 0 || line >= lbEDIFile_->count()) {
    lbEDIFile_->setCurrentRow(-1);
    lbEDIFile_->clearSelection();
    return;
  }
  lbEDIFile_->setCurrentRow(line);
  lbEDIFile_->scrollToItem(lbEDIFile_->item(line));
}

void TfrmEdiText::lbEDIFileClick(int row) {
  if (Edi_ == nullptr || row < 0 || static_cast<std::size_t>(row) >= Edi_->Lines.size()) return;
  const QSignalBlocker block(lbErrors_);
  const int32_t ref = Edi_->Lines[static_cast<std::size_t>(row)].DiagnosticRef;
  if (ref <= 0 || ref - 1 >= lbErrors_->count()) {
    lbErrors_->setCurrentRow(-1);
    lbErrors_->clearSelection();
    return;
  }
  lbErrors_->setCurrentRow(ref - 1);
  lbErrors_->scrollToItem(lbErrors_->item(ref - 1));
}

}  // namespace loggrevy
