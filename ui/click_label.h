#pragma once

#include <QLabel>

namespace loggrevy {

// A label that reports a click (the red error labels of the detail page).
class TClickLabel final : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace loggrevy
