#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <optional>

class QLabel;
class QPushButton;

namespace loggrevy {

// The program's own version strings; a missing one leaves its label with the
// design text.
struct TVersionStrings {
  std::optional<QString> FileVersion;
  std::optional<QString> LegalCopyright;
  std::optional<QString> Comments;
};

// The strings this build was made with (FileVersion 1.7.0.0 for 1.7.0).
TVersionStrings BuildVersionStrings();

// The program's picture, 240 x 180: a Yagi antenna over a locator grid.
QPixmap ProgramPicture();

// The about box "Om": purpose, version, copyright line and comment.
class TfrmAbout final : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAbout(const TVersionStrings& strings, QWidget* parent = nullptr);

 private:
  QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y);
};

}  // namespace loggrevy
