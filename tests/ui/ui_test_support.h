#pragma once

// What the window tests share: the main window built with a fixed year and
// fixed local settings, a file chooser that answers without a dialog, and
// outline helpers.

#include <QDir>
#include <QStringList>
#include <QTreeWidget>

#include <memory>

#include "model/import_session.h"
#include "ui/file_chooser.h"
#include "ui/import_window.h"

namespace loggrevy::test {

inline constexpr int32_t kYear = 2006;
// A Swedish computer in winter: comma, one hour ahead of UTC.
inline constexpr TLocalSettings kSettings{',', 60};

inline QString DataPath(const char* name) {
  return QDir(QStringLiteral(LOGGREVY_UI_TEST_DATA)).filePath(QString::fromLatin1(name));
}

class TFakeChooser final : public IFileChooser {
 public:
  explicit TFakeChooser(QStringList answer, int* calls) : Answer_(std::move(answer)), Calls_(calls) {}
  QStringList ChooseLogs(QWidget*) override {
    ++*Calls_;
    return Answer_;
  }

 private:
  QStringList Answer_;
  int* Calls_;
};

inline std::unique_ptr<TfrmImport> MakeMainWindow(QStringList chooserAnswer = {}, int* chooserCalls = nullptr) {
  static int unused = 0;
  return std::make_unique<TfrmImport>(
      std::make_unique<TImportSession>(kSettings),
      std::make_unique<TFakeChooser>(std::move(chooserAnswer), chooserCalls != nullptr ? chooserCalls : &unused),
      [] { return kYear; });
}

// The outline as lines of text, two blanks of indent per level.
inline QStringList OutlineLines(const QTreeWidget& tree) {
  QStringList lines;
  for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it) {
    int depth = 0;
    for (const QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent()) ++depth;
    lines.append(QString(depth * 2, QLatin1Char(' ')) + (*it)->text(0));
  }
  return lines;
}

// The item reached by following texts from the top level, or nullptr.
inline QTreeWidgetItem* FindItem(const QTreeWidget& tree, const QStringList& path) {
  QTreeWidgetItem* found = nullptr;
  for (const QString& text : path) {
    QTreeWidgetItem* next = nullptr;
    const int count = found == nullptr ? tree.topLevelItemCount() : found->childCount();
    for (int i = 0; i < count && next == nullptr; ++i) {
      QTreeWidgetItem* candidate = found == nullptr ? tree.topLevelItem(i) : found->child(i);
      if (candidate->text(0) == text) next = candidate;
    }
    if (next == nullptr) return nullptr;
    found = next;
  }
  return found;
}

}  // namespace loggrevy::test
