#include "ui/fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace loggrevy {

void InstallFontSubstitutes() {
  const QString sans = QStringLiteral("Liberation Sans");
  QFont::insertSubstitutions(QStringLiteral("Arial"), {sans, QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {sans, QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Helvetica"),
                             {QStringLiteral("Nimbus Sans"), sans, QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(
      QStringLiteral("Times New Roman"),
      {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("DejaVu Serif")});
  QFont::insertSubstitutions(
      QStringLiteral("Courier"),
      {QStringLiteral("Liberation Mono"), QStringLiteral("Nimbus Mono PS"), QStringLiteral("DejaVu Sans Mono")});
}

QFont PixelFont(const QString& family, int pixels) {
  QFont font(family);
  font.setPixelSize(pixels);
  return font;
}

QFont PointFont(const QString& family, int points) { return PixelFont(family, (points * 96 + 36) / 72); }

QFont CellHeightFont(const QString& family, int cellHeight) {
  int pixels = cellHeight;
  QFont font = PixelFont(family, pixels);
  while (pixels > 6 && QFontMetrics(font).height() > cellHeight) font.setPixelSize(--pixels);
  return font;
}

}  // namespace loggrevy
