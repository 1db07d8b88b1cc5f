#include "ui/click_label.h"

namespace loggrevy {

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  emit clicked();
}

}  // namespace loggrevy
