#pragma once

#include <QFont>
#include <QString>

namespace loggrevy {

// The windows name the fonts of the forms they copy (Arial, MS Sans Serif,
// Helvetica, Times New Roman, Courier). Where those are not installed the
// metric-compatible Liberation fonts stand in, or the URW clones.
void InstallFontSubstitutes();

// A font whose em is the given number of pixels.
QFont PixelFont(const QString& family, int pixels);
// A font of a size in points as a 96 dpi screen draws it, whatever the screen.
QFont PointFont(const QString& family, int points);
// A font whose line (ascent plus descent) is at most the given pixels.
QFont CellHeightFont(const QString& family, int cellHeight);

}  // namespace loggrevy
