#include "ui/log_page.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <functional>

#include "model/implog.h"
#include "model/labels.h"
#include "model/loggroup.h"
#include "ui/click_label.h"
#include "ui/qtext.h"

namespace loggrevy {

namespace {

constexpr int kLeft = 10;
constexpr int kRight = 220;
constexpr int kFieldWidth = 190;
constexpr int kRowStep = 40;
constexpr int kDxDigits = 7;
constexpr int kSquareDigits = 4;

// Leaving txtCall checks it: required, and no longer than its eight positions.
class TFocusOutFilter final : public QObject {
 public:
  TFocusOutFilter(QObject* parent, std::function<void()> onExit) : QObject(parent), OnExit_(std::move(onExit)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) OnExit_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> OnExit_;
};

QString DigitMask(int digits) { return QString(digits, QLatin1Char('0')) + QStringLiteral(";_"); }

}  // namespace

QLineEdit* TLogPage::AddField(const char* labelName, const QString& caption, const char* name, int x, int y, int width,
                              bool readOnly) {
  auto* label = new QLabel(caption, this);
  label->setObjectName(QString::fromLatin1(labelName));
  label->move(x, y);
  label->adjustSize();
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(x, y + 15, width, 21);
  label->setBuddy(edit);
  SetEditable(edit, !readOnly);
  // Read-only fields other than the total are left out of the Tab order.
  if (readOnly) edit->setFocusPolicy(Qt::ClickFocus);
  return edit;
}

void TLogPage::SetEditable(QLineEdit* edit, bool editable) {
  edit->setReadOnly(!editable);
  QPalette pal = palette();
  if (!editable) pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  edit->setPalette(pal);
}

TLogPage::TLogPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Log"));
  int y = 6;
  txtDate_ = AddField("lblDate", QStringLiteral("Datum"), "txtDate", kLeft, y, kFieldWidth, true);
  txtContest_ = AddField("lblContest", QStringLiteral("Test"), "txtContest", kRight, y, kFieldWidth, true);
  y += kRowStep;
  txtUsedCall_ = AddField("lblUsedCall", QStringLiteral("Använd signal"), "txtUsedCall", kLeft, y, kFieldWidth, true);
  txtCall_ = AddField("lblCall", QStringLiteral("Tävlande signal"), "txtCall", kRight, y, kFieldWidth, false);
  txtCall_->setMaxLength(12);
  y += kRowStep;
  txtLocator_ = AddField("lblLocator", QStringLiteral("Lokator"), "txtLocator", kLeft, y, kFieldWidth, true);
  y += kRowStep;
  txtClaimedDxScore_ = AddField("lblClaimedDxScore", QStringLiteral("Krävd avståndspoäng"), "txtClaimedDxScore", kLeft,
                                y, kFieldWidth, true);
  txtDxScore_ =
      AddField("lblDxScore", QStringLiteral("Erhållen avståndspoäng"), "txtDxScore", kRight, y, kFieldWidth, false);
  txtDxScore_->setInputMask(DigitMask(kDxDigits));
  y += kRowStep;
  txtWorkedSquares_ =
      AddField("lblWorkedSquares", QStringLiteral("Körda rutor"), "txtWorkedSquares", kLeft, y, kFieldWidth, true);
  txtApprovedSquares_ = AddField("lblApprovedSquares", QStringLiteral("Godkända rutor"), "txtApprovedSquares", kRight,
                                 y, kFieldWidth, false);
  txtApprovedSquares_->setInputMask(DigitMask(kSquareDigits));
  y += kRowStep;
  txtSquareBonus_ =
      AddField("lblSquareBonus", QStringLiteral("Rutbonus"), "txtSquareBonus", kLeft, y, kFieldWidth, true);
  y += kRowStep;
  txtClaimed_ = AddField("lblClaimed", QStringLiteral("Krävd totalpoäng"), "txtClaimed", kLeft, y, kFieldWidth, true);
  txtScore_ =
      AddField("lblScore", QStringLiteral("Erhållen totalpoäng"), "txtScore", kRight, y, kFieldWidth - 26, true);
  txtScore_->setFocusPolicy(Qt::StrongFocus);

  spdSumLog_ = new QToolButton(this);
  spdSumLog_->setObjectName(QStringLiteral("spdSumLog"));
  spdSumLog_->setToolTip(QStringLiteral("Använd egen summa"));
  spdSumLog_->setText(QStringLiteral("Σ"));
  spdSumLog_->setGeometry(kRight + kFieldWidth - 23, y + 15, 23, 21);
  spdSumLog_->setFocusPolicy(Qt::NoFocus);
  connect(spdSumLog_, &QToolButton::clicked, this, &TLogPage::spdSumLogClick);

  // The club comes last, under the accepted total, where Tab ends.
  y += kRowStep;
  txtClub_ = AddField("lblClub", QStringLiteral("Räknas för klubb"), "txtClub", kRight, y, kFieldWidth, false);
  txtClub_->setMaxLength(6);

  for (const char* name :
       {"lblClaimedDxScore", "txtClaimedDxScore", "lblDxScore", "txtDxScore", "lblWorkedSquares", "txtWorkedSquares",
        "lblApprovedSquares", "txtApprovedSquares", "lblSquareBonus", "txtSquareBonus"}) {
    DistanceWidgets_.push_back(findChild<QWidget*>(QString::fromLatin1(name)));
  }

  y += kRowStep + 6;
  lblEDIErrors_ = new TClickLabel(ToQString(labels::kEdiErrors), this);
  lblEDIErrors_->setObjectName(QStringLiteral("lblEDIErrors"));
  lblEDIErrors_->move(kLeft, y);
  lblLogErrors_ = new TClickLabel(this);
  lblLogErrors_->setObjectName(QStringLiteral("lblLogErrors"));
  lblLogErrors_->move(kLeft, y + 18);
  lblLogComments_ = new QLabel(ToQString(labels::kHasRemarks), this);
  lblLogComments_->setObjectName(QStringLiteral("lblLogComments"));
  lblLogComments_->move(kLeft, y + 36);
  QPalette red = palette();
  red.setColor(QPalette::WindowText, Qt::red);
  lblEDIErrors_->setPalette(red);
  lblLogErrors_->setPalette(red);
  QPalette black = palette();
  black.setColor(QPalette::WindowText, Qt::black);
  lblLogComments_->setPalette(black);
  for (QLabel* label : {static_cast<QLabel*>(lblEDIErrors_), static_cast<QLabel*>(lblLogErrors_), lblLogComments_}) {
    label->adjustSize();
    label->hide();
  }
  lblEDIErrors_->setCursor(Qt::PointingHandCursor);
  lblLogErrors_->setCursor(Qt::PointingHandCursor);
  connect(lblEDIErrors_, &TClickLabel::clicked, this, &TLogPage::EdiErrorsClicked);
  connect(lblLogErrors_, &TClickLabel::clicked, this, &TLogPage::LogErrorsClicked);

  btnCredits_ =
      new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Loggrevy-projektet"), this);
  btnCredits_->setObjectName(QStringLiteral("btnCredits"));
  btnCredits_->setToolTip(QStringLiteral("Om programmet"));
  btnCredits_->setGeometry(431 - 170 - 8, 411 - 29 - 6, 170, 29);
  connect(btnCredits_, &QPushButton::clicked, this, &TLogPage::CreditsClicked);

  txtCall_->installEventFilter(new TFocusOutFilter(txtCall_, [this] { txtCallExit(); }));
  ClearPage();
}

void TLogPage::ChainTabOrder(QWidget* before) {
  QWidget* previous = before;
  for (QWidget* next :
       std::initializer_list<QWidget*>{btnCredits_, txtCall_, txtDxScore_, txtApprovedSquares_, txtScore_, txtClub_}) {
    setTabOrder(previous, next);
    previous = next;
  }
}

void TLogPage::ClearPage() {
  for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->clear();
}

void TLogPage::SetSumEnabled(bool on) { spdSumLog_->setEnabled(on); }

void TLogPage::Release() { SumLog_ = nullptr; }

void TLogPage::Show(TEntry& entry) {
  if (auto* log = dynamic_cast<TLog*>(&entry)) {
    ShowDistanceFields(true);
    FillLogPage(*log);
    SumLog_ = log;
  } else if (auto* group = dynamic_cast<TLogGroup*>(&entry)) {
    // A group stays a group even when a member became unreadable on a reload:
    // its sums and the red EDI label say so.
    ShowDistanceFields(false);
    FillLogPage(group->GetLog(0));
    SumLog_ = nullptr;
  }
  txtClaimed_->setText(IntText(entry.GetClaimedScore()));
  txtScore_->setText(IntText(entry.GetTotalScore()));
  lblEDIErrors_->setVisible(entry.GetEdiStatus() != 0);
  lblLogErrors_->setText(ToQString(labels::CheckStatusCaption(entry.GetCheckStatus())));
  lblLogErrors_->adjustSize();
  lblLogErrors_->setVisible(entry.GetCheckStatus() != 0);
  lblLogComments_->setVisible(entry.HasRemarks());
}

void TLogPage::txtCallExit() {
  const QString text = txtCall_->text();
  const bool valid = !text.isEmpty() && text.size() <= 8;
  QPalette pal = palette();
  if (!valid) {
    QApplication::beep();
    pal.setColor(QPalette::Base, Qt::red);
    pal.setColor(QPalette::Text, Qt::black);
  }
  txtCall_->setPalette(pal);
}

void TLogPage::ShowDistanceFields(bool on) {
  for (QWidget* widget : DistanceWidgets_) widget->setVisible(on);
  SetEditable(txtDxScore_, on);
  SetEditable(txtApprovedSquares_, on);
}

void TLogPage::SetMaskedNumber(QLineEdit* edit, int64_t value, int digits) {
  // The mask takes only so many digits; a negative or longer value is shown
  // in full with the mask dropped until a value fits again.
  const QString text = IntText(value);
  const bool fits = value >= 0 && text.size() <= digits;
  const QString mask = fits ? DigitMask(digits) : QString();
  if (edit->inputMask() != mask) edit->setInputMask(mask);
  edit->setText(text);
}

void TLogPage::FillLogPage(const TLog& log) {
  const TReg1Test& edi = log.Edi();
  txtDate_->setText(ToQString(edi.TDateStart));
  txtContest_->clear();
  txtUsedCall_->setText(ToQString(edi.PCall));
  txtLocator_->setText(ToQString(edi.PWWLo));
  txtClaimedDxScore_->setText(IntText(edi.CQSOP));
  txtWorkedSquares_->setText(IntText(edi.CWWLsCount));
  txtClaimed_->setText(IntText(edi.CToSc));
  txtScore_->setText(IntText(log.GetTotalScore()));
  txtContest_->setText(QStringLiteral("????"));
  QPalette highlight = txtContest_->palette();
  highlight.setColor(QPalette::Base, palette().color(QPalette::Highlight));
  highlight.setColor(QPalette::Text, palette().color(QPalette::HighlightedText));
  txtContest_->setPalette(highlight);
  txtCall_->setText(ToQString(log.GetCall()));
  txtCall_->setPalette(palette());
  SetMaskedNumber(txtDxScore_, log.GetDxScore(), kDxDigits);
  SetMaskedNumber(txtApprovedSquares_, log.GetSquares(), kSquareDigits);
  txtSquareBonus_->setText(IntText(log.GetSquareBonus()));
  txtClub_->setText(ToQString(log.GetClub()));
}

void TLogPage::spdSumLogClick() {
  TLog* log = SumLog_;
  if (log == nullptr) return;
  log->UseOwnSum();
  SetMaskedNumber(txtDxScore_, log->GetDxScore(), kDxDigits);
  SetMaskedNumber(txtApprovedSquares_, log->GetSquares(), kSquareDigits);
  txtSquareBonus_->setText(IntText(log->GetSquareBonus()));
  txtScore_->setText(IntText(log->GetTotalScore()));
}

void TLogPage::ShowAcceptedFigures(const TEntry& entry) {
  if (const auto* log = dynamic_cast<const TLog*>(&entry)) {
    SetMaskedNumber(txtDxScore_, log->GetDxScore(), kDxDigits);
    SetMaskedNumber(txtApprovedSquares_, log->GetSquares(), kSquareDigits);
    txtSquareBonus_->setText(IntText(log->GetSquareBonus()));
  }
  txtScore_->setText(IntText(entry.GetTotalScore()));
}

}  // namespace loggrevy
