#include "ui/about.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "ui/fonts.h"
#include "ui/version_info.h"

namespace loggrevy {

TVersionStrings BuildVersionStrings() {
  return {QString::fromUtf8(LOGGREVY_FILE_VERSION), QString::fromUtf8(LOGGREVY_LEGAL_COPYRIGHT),
          QString::fromUtf8(LOGGREVY_COMMENTS)};
}

QPixmap ProgramPicture() {
  QPixmap picture(240, 180);
  picture.fill(QColor(0, 0, 128));
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing, false);
  // The locator squares around the station, the own square filled.
  p.setPen(QColor(0, 128, 128));
  for (int x = 0; x <= 240; x += 40) p.drawLine(x, 0, x, 180);
  for (int y = 0; y <= 180; y += 30) p.drawLine(0, y, 240, y);
  p.fillRect(QRect(81, 121, 39, 29), QColor(0, 128, 0));
  // Great-circle paths to three worked stations.
  p.setPen(QPen(QColor(255, 255, 0), 2));
  const QPoint own(100, 135);
  p.drawLine(own, QPoint(220, 20));
  p.drawLine(own, QPoint(20, 40));
  p.drawLine(own, QPoint(200, 165));
  p.setBrush(QColor(255, 0, 0));
  p.setPen(Qt::NoPen);
  for (const QPoint& station : {QPoint(220, 20), QPoint(20, 40), QPoint(200, 165)}) p.drawEllipse(station, 4, 4);
  // A Yagi on its mast above the own square.
  p.setPen(QPen(QColor(192, 192, 192), 3));
  p.drawLine(100, 135, 100, 60);
  p.drawLine(60, 60, 150, 60);
  p.setPen(QPen(QColor(255, 255, 255), 2));
  for (int x = 64; x <= 146; x += 16) p.drawLine(x, 48 + (x - 64) / 16, x, 72 - (x - 64) / 16);
  p.setPen(QColor(255, 255, 255));
  p.setFont(PixelFont(QStringLiteral("Arial"), 18));
  p.drawText(QRect(0, 150, 240, 30), Qt::AlignCenter, QStringLiteral("EDI"));
  return picture;
}

QLabel* TfrmAbout::MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  label->adjustSize();
  return label;
}

TfrmAbout::TfrmAbout(const TVersionStrings& strings, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("Om"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(373, 266);
  QFont font = PixelFont(QStringLiteral("MS Sans Serif"), 13);
  setFont(font);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  panel->setGeometry(10, 10, 351, 201);

  auto* icon = new QLabel(panel);
  icon->setObjectName(QStringLiteral("ProgramIcon"));
  icon->setGeometry(10, 10, 81, 71);
  icon->setScaledContents(true);
  icon->setPixmap(ProgramPicture());

  MakeLabel(panel, "ProductName", QStringLiteral("ZRL aktivitetstester VOVIR"), 110, 20);
  QLabel* version = MakeLabel(panel, "Version", QStringLiteral("Version kunde ej bestämmas"), 110, 50);
  QLabel* copyright = MakeLabel(panel, "Copyright", QStringLiteral("Copyright © Loggrevy-projektet"), 10, 100);
  auto* comments =
      new QLabel(QStringLiteral("Programmet är avsett för sammanräkning av resultaten i ZRL:s aktivitets och "
                                "kvartalstester."),
                 panel);
  comments->setObjectName(QStringLiteral("Comments"));
  comments->setWordWrap(true);
  comments->setGeometry(10, 130, 333, 34);
  comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QLabel* lblComments = MakeLabel(panel, "lblComments", QString(), 10, 170);

  if (strings.LegalCopyright) copyright->setText(*strings.LegalCopyright);
  if (strings.FileVersion) version->setText(QStringLiteral("Version ") + *strings.FileVersion);
  if (strings.Comments) lblComments->setText(*strings.Comments);
  for (QLabel* label : {copyright, version, lblComments}) label->adjustSize();

  auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setGeometry(139, 223, 96, 33);
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace loggrevy
