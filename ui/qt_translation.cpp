#include "ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace loggrevy {

namespace {

// Debian's Swedish catalogue still files the standard buttons' texts ("Cancel",
// "Open", ...) under the button box, where Qt 4 asked for them; Qt 6 asks the
// platform theme, so those texts are looked up under their old context too.
class TSwedishQtTranslator final : public QTranslator {
 public:
  using QTranslator::QTranslator;

  QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override {
    QString text = QTranslator::translate(context, sourceText, disambiguation, n);
    if (text.isEmpty() && qstrcmp(context, "QPlatformTheme") == 0) {
      text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
    }
    return text;
  }
};

}  // namespace

bool InstallSwedishQtTexts(QCoreApplication& app) {
  auto* translator = new TSwedishQtTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // Where Qt's catalogues are split by module, qt_sv gathers them; Debian 12
  // ships one whole qt_sv.
  const bool qt =
      translator->load(QStringLiteral("qtbase_sv"), folder) || translator->load(QStringLiteral("qt_sv"), folder);
  if (qt) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
  // Ours, installed last, is asked first: the dialogs' texts that Qt's
  // catalogue lacks or still has in English.
  auto* own = new TSwedishQtTranslator(&app);
  if (own->load(QStringLiteral(":/translations/loggrevy_sv.qm"))) {
    QCoreApplication::installTranslator(own);
  } else {
    delete own;
  }
  return qt;
}

}  // namespace loggrevy
