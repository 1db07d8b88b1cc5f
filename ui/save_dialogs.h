#pragma once

#include <QString>

#include <functional>
#include <string>

class QPrinter;
class QTextDocument;
class QWidget;

namespace loggrevy {

class TImportSession;

// The questions the windows ask the judge when something is written or
// printed. The main window is handed one, so tests answer without modal
// dialogs.
class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The file to write; empty when cancelled. filter is a file dialog filter.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                 const QString& filter) = 0;
  // True when the judge wants the existing file replaced.
  virtual bool AskOverwrite(QWidget* parent, const QString& path) = 0;
  virtual void ShowWarning(QWidget* parent, const QString& title, const QString& text) = 0;
  // Sets up the printer; false when cancelled.
  virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
  // The questions added later answer with the program's own boxes unless a
  // test replaces them. True when the judge answers yes.
  virtual bool Confirm(QWidget* parent, const QString& title, const QString& text);
  // A folder to write into, start shown first; empty when cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start);
};

// The program's own dialogs: a save dialog, a question box, a warning box and
// the print dialog.
class TSystemDialogs final : public IDialogs {
 public:
  QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                         const QString& filter) override;
  bool AskOverwrite(QWidget* parent, const QString& path) override;
  void ShowWarning(QWidget* parent, const QString& title, const QString& text) override;
  bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
};

// A file name for what is saved or printed of a contest: "Resultatlista
// 2026-12-01 VHF.pdf" from "Resultatlista", "20261201 : VHF" and "pdf". It holds
// no character that Windows or a FAT memory stick refuses.
QString SuggestedFileName(const QString& what, const QString& caption, const QString& extension);
// The folder the judge last saved or printed to (the current folder at first),
// and the suggested name in it.
QString LastFolder();
void RememberFolder(const QString& folder);
QString InLastFolder(const QString& name);

// True when path names a file that was imported into the session (also
// through another name of the same file).
bool IsImportedFile(const TImportSession& session, const QString& path);

// Asks for a file and writes bytes to it: never to an imported file, an
// existing file only after the overwrite question, and a failed write is
// reported. Returns the path written, or empty.
QString SaveBytes(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
                  const QString& suggested, const QString& filter, const std::string& bytes);

// Prints a document through the print dialog (also to a PDF file, suggested
// by its name in the folder last used); a failure is reported. True when
// printed.
bool PrintDocument(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
                   QTextDocument& document, const QString& suggested = {});
// The same with pages that paint draws on the printer, set up in landscape.
bool PrintLandscape(QWidget* parent, IDialogs& dialogs, const TImportSession& session, const QString& title,
                    const QString& suggested, const std::function<void(QPrinter&)>& paint);

}  // namespace loggrevy
