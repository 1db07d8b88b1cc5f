#include "ui/save_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>

#include <filesystem>
#include <system_error>

#include "model/import_session.h"
#include "ui/qtext.h"

namespace loggrevy {

QString TSystemDialogs::ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                       const QString& filter) {
  // The overwrite question is asked by SaveBytes, after the imported files
  // have been ruled out.
  return QFileDialog::getSaveFileName(parent, title, suggested, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

bool TSystemDialogs::AskOverwrite(QWidget* parent, const QString& path) {
  return QMessageBox::question(parent, QStringLiteral("Filen finns redan"),
                               QStringLiteral("Filen %1 finns redan. Vill du ersätta den?").arg(path),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TSystemDialogs::ShowWarning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

bool TSystemDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool IDialogs::Confirm(QWidget* parent, const QString& title, const QString& text) {
  return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

QString IDialogs::ChooseFolder(QWidget* parent, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start);
}

QString SuggestedFileName(const QString& what, const QString& caption, const QString& extension) {
  QString text = caption;
  // The contest day as a date a reader knows at once.
  static const QRegularExpression day(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})\\b"));
  text.replace(day, QStringLiteral("\\1-\\2-\\3"));
  for (QChar& c : text) {
    if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c)) c = QLatin1Char(' ');
  }
  text = (what + QLatin1Char(' ') + text).simplified();
  // Windows drops a trailing dot or blank of a name.
  while (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text.trimmed() + QLatin1Char('.') + extension;
}

namespace {

QString& LastFolderSetting() {
  static QString folder;
  return folder;
}

}  // namespace

QString LastFolder() { return LastFolderSetting().isEmpty() ? QDir::currentPath() : LastFolderSetting(); }

void RememberFolder(const QString& folder) {
  if (!folder.isEmpty()) LastFolderSetting() = folder;
}

QString InLastFolder(const QString& name) { return QDir(LastFolder()).filePath(name); }

bool IsImportedFile(const TImportSession& session, const QString& path) {
  const std::filesystem::path target(ToNativePath(path));
  std::error_code error;
  if (!std::filesystem::exists(target, error)) return false;
  for (const TLog* log : session.Logs()) {
    // equivalent sees through links and other spellings of the same file.
    if (std::filesystem::equivalent(target, std::filesystem::path(log->Path()), error)) return true;
  }
  return false;
}

namespace {

const QString kImportedTarget =
    QStringLiteral("%1 är en inläst loggfil. Programmet skriver aldrig i de inlästa filerna; välj ett annat namn.");

}  // namespace

QString SaveBytes(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
                  const QString& suggested, const QString& filter, const std::string& bytes) {
  const QString path = dialogs.ChooseSaveFile(parent, title, InLastFolder(suggested), filter);
  if (path.isEmpty()) return {};
  RememberFolder(QFileInfo(path).absolutePath());
  if (IsImportedFile(session, path)) {
    dialogs.ShowWarning(parent, title, kImportedTarget.arg(path));
    return {};
  }
  if (QFileInfo::exists(path) && !dialogs.AskOverwrite(parent, path)) return {};
  QSaveFile file(path);
  const bool written =
      file.open(QIODevice::WriteOnly) &&
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) && file.commit();
  if (!written) {
    dialogs.ShowWarning(parent, title, QStringLiteral("Filen %1 kunde inte skrivas: %2").arg(path, file.errorString()));
    return {};
  }
  return path;
}

namespace {

bool Print(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
           const QString& suggested, bool landscape, const std::function<void(QPrinter&)>& paint) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  if (landscape) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
  }
  // A judge without a printer prints to a PDF file: its name is suggested in
  // the folder last used.
  if (!suggested.isEmpty()) printer.setOutputFileName(InLastFolder(suggested));
  if (!dialogs.ChoosePrinter(parent, printer)) return false;
  const QString file = printer.outputFileName();
  if (!file.isEmpty()) RememberFolder(QFileInfo(file).absolutePath());
  if (!file.isEmpty() && IsImportedFile(session, file)) {
    dialogs.ShowWarning(parent, title, kImportedTarget.arg(file));
    return false;
  }
  paint(printer);
  if (printer.printerState() == QPrinter::Error || (!file.isEmpty() && !QFileInfo::exists(file))) {
    dialogs.ShowWarning(parent, title, QStringLiteral("Utskriften misslyckades."));
    return false;
  }
  return true;
}

}  // namespace

bool PrintDocument(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
                   QTextDocument& document, const QString& suggested) {
  return Print(parent, dialogs, session, title, suggested, false, [&](QPrinter& printer) { document.print(&printer); });
}

bool PrintLandscape(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
                    const QString& suggested, const std::function<void(QPrinter&)>& paint) {
  return Print(parent, dialogs, session, title, suggested, true, paint);
}

}  // namespace loggrevy
