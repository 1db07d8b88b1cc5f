#pragma once

#include <QString>

class QPagedPaintDevice;

namespace loggrevy {

struct TResultList;

// Lays the results list out on the pages of a printer (or PDF writer) that is
// set to A4 landscape: every column at the width of its widest text, so that
// calls, locators and figures never wrap (only the notes do), in a smaller
// font when the page asks for it; the title and the column captions on top of
// every page, and no page without a row. Returns the number of pages.
int PaintResultList(QPagedPaintDevice& device, const TResultList& list, const QString& title);

}  // namespace loggrevy
