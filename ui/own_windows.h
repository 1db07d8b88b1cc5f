#pragma once

#include <QRect>

#include <optional>

class QWidget;

namespace loggrevy {

// What every window the program adds beside the fixed main window does: it
// fits the screen and Esc closes it.

// The part of the screen a window may cover: the available geometry of the
// window's screen, or the area set with SetScreenArea (the window tests play a
// small or a large screen with it).
QRect ScreenArea(const QWidget& window);
void SetScreenArea(std::optional<QRect> area);

// Shrinks the window, frame included, to the screen area and moves it inside,
// so that none of its buttons is off the screen.
void FitToScreen(QWidget& window);

// Esc closes the window unless the widget with the focus takes it.
void CloseOnEscape(QWidget& window);

}  // namespace loggrevy
