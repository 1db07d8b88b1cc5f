#include "ui/results_print.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

#include "results/results_list.h"
#include "ui/qtext.h"

namespace loggrevy {

namespace {

constexpr std::size_t kNotesColumn = 12;
bool IsFigure(std::size_t column) { return column == 0 || (column >= 3 && column <= 9); }

struct TLayout {
  QFont Font;
  std::vector<qreal> Widths;
  qreal Padding = 0;
};

// The column widths at a font size: each column as wide as its widest cell,
// a caption wrapped at its blanks; the notes take what is left.
TLayout Measure(const std::vector<QStringList>& cells, const QStringList& captions, qreal points, QPaintDevice& device,
                qreal pageWidth) {
  TLayout layout;
  layout.Font = QFont(QStringLiteral("Liberation Sans"));
  layout.Font.setPointSizeF(points);
  const QFontMetricsF metrics(layout.Font, &device);
  QFont bold = layout.Font;
  bold.setBold(true);
  const QFontMetricsF boldMetrics(bold, &device);
  layout.Padding = metrics.averageCharWidth() * 0.8;
  layout.Widths.assign(static_cast<std::size_t>(captions.size()), 0);
  for (std::size_t column = 0; column < layout.Widths.size(); ++column) {
    qreal width = 0;
    for (const QString& word : captions[static_cast<int>(column)].split(QLatin1Char(' '))) {
      width = std::max(width, boldMetrics.horizontalAdvance(word));
    }
    if (column != kNotesColumn) {
      for (const QStringList& row : cells)
        width = std::max(width, metrics.horizontalAdvance(row[static_cast<int>(column)]));
    }
    layout.Widths[column] = width + 2 * layout.Padding;
  }
  qreal used = 0;
  for (std::size_t column = 0; column < kNotesColumn; ++column) used += layout.Widths[column];
  layout.Widths[kNotesColumn] = std::max(layout.Widths[kNotesColumn], pageWidth - used);
  return layout;
}

qreal TotalWidth(const TLayout& layout) {
  qreal total = 0;
  for (const qreal width : layout.Widths) total += width;
  return total;
}

}  // namespace

int PaintResultList(QPagedPaintDevice& device, const TResultList& list, const QString& title) {
  QStringList captions;
  for (const TResultColumn& column : kResultColumns) captions.append(ToQString(column.Caption));
  std::vector<QStringList> cells;
  for (const TResultRow& row : list.Rows) {
    QStringList texts;
    for (std::size_t column = 0; column < kResultColumns.size(); ++column)
      texts.append(ToQString(CellText(row, column)));
    cells.push_back(texts);
  }

  QPainter painter(&device);
  const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const QRectF area(0, 0, page.width(), page.height());
  // The largest font at which every column but the notes fits, and the notes
  // keep at least a fifth of the page.
  TLayout layout;
  for (qreal points = 9; points >= 5; points -= 0.5) {
    layout = Measure(cells, captions, points, device, area.width());
    if (TotalWidth(layout) <= area.width() && layout.Widths[kNotesColumn] >= area.width() / 5) break;
  }
  QFont bold = layout.Font;
  bold.setBold(true);
  const QFontMetricsF metrics(layout.Font, &device);
  const qreal line = metrics.lineSpacing();

  // A caption wraps at its blanks; a cell only in the notes.
  const auto linesOf = [&](const QString& text, qreal width, const QFont& font) {
    const QRectF bounds = QFontMetricsF(font, &device)
                              .boundingRect(QRectF(0, 0, width - 2 * layout.Padding, 1e6), Qt::TextWordWrap, text);
    return std::max(1, static_cast<int>(std::ceil(bounds.height() / line - 0.01)));
  };
  int headerLines = 1;
  for (int column = 0; column < captions.size(); ++column) {
    headerLines =
        std::max(headerLines, linesOf(captions[column], layout.Widths[static_cast<std::size_t>(column)], bold));
  }
  const qreal headerHeight = headerLines * line + line * 0.4;
  QFont titleFont = bold;
  titleFont.setPointSizeF(layout.Font.pointSizeF() + 3);
  const qreal titleHeight = QFontMetricsF(titleFont, &device).lineSpacing() * 1.6;

  int pages = 1;
  qreal y = 0;
  const auto drawRow = [&](const QStringList& texts, qreal top, qreal height, const QFont& font, bool header) {
    painter.setFont(font);
    qreal x = 0;
    for (int column = 0; column < texts.size(); ++column) {
      const qreal width = layout.Widths[static_cast<std::size_t>(column)];
      const QRectF box(x + layout.Padding, top + line * 0.2, width - 2 * layout.Padding, height - line * 0.2);
      int flags = static_cast<int>(Qt::AlignTop) |
                  static_cast<int>(IsFigure(static_cast<std::size_t>(column)) ? Qt::AlignRight : Qt::AlignLeft);
      if (header || column == static_cast<int>(kNotesColumn)) flags |= Qt::TextWordWrap;
      painter.drawText(box, flags, texts[column]);
      x += width;
    }
  };
  const auto pageTop = [&] {
    painter.setFont(titleFont);
    painter.drawText(QRectF(0, 0, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop, title);
    painter.setFont(layout.Font);
    painter.drawText(QRectF(0, 0, area.width(), titleHeight), Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("Sida %1").arg(pages));
    painter.fillRect(QRectF(0, titleHeight, TotalWidth(layout), headerHeight), QColor(0xE8, 0xE8, 0xE8));
    drawRow(captions, titleHeight, headerHeight, bold, true);
    y = titleHeight + headerHeight;
  };
  pageTop();
  for (std::size_t row = 0; row < cells.size(); ++row) {
    const qreal height =
        std::max(1, linesOf(cells[row][static_cast<int>(kNotesColumn)], layout.Widths[kNotesColumn], layout.Font)) *
            line +
        line * 0.4;
    if (y + height > area.height() && y > titleHeight + headerHeight) {
      device.newPage();
      ++pages;
      pageTop();
    }
    if (row % 2 == 1) painter.fillRect(QRectF(0, y, TotalWidth(layout), height), QColor(0xF4, 0xF4, 0xF4));
    drawRow(cells[row], y, height, layout.Font, false);
    y += height;
  }
  return pages;
}

}  // namespace loggrevy
