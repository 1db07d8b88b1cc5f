#include "ui/own_windows.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace loggrevy {

namespace {

std::optional<QRect>& AreaOverride() {
  static std::optional<QRect> area;
  return area;
}

}  // namespace

QRect ScreenArea(const QWidget& window) {
  if (AreaOverride()) return *AreaOverride();
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void SetScreenArea(std::optional<QRect> area) { AreaOverride() = area; }

void FitToScreen(QWidget& window) {
  const QRect area = ScreenArea(window);
  // Before the window manager has framed the window its frame is unknown: room
  // for a title bar and borders is kept all the same.
  QSize frame = window.frameGeometry().size() - window.geometry().size();
  if (!window.isVisible() || frame.isEmpty()) frame = frame.expandedTo(QSize(16, 40));
  const QSize room = area.size() - frame;
  window.resize(window.size().boundedTo(room).expandedTo(window.minimumSize()));
  const QSize outer = window.size() + frame;
  const int x = std::clamp(window.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
  const int y = std::clamp(window.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
  window.move(x, y);
}

namespace {

// Esc that no widget of the window took closes it, as it closes a dialog.
class TEscapeCloses final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
      static_cast<QWidget*>(watched)->close();
      return true;
    }
    return false;
  }
};

}  // namespace

void CloseOnEscape(QWidget& window) { window.installEventFilter(new TEscapeCloses(&window)); }

}  // namespace loggrevy
