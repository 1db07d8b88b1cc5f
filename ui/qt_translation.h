#pragma once

class QCoreApplication;

namespace loggrevy {

// Qt's own texts (the file dialog and its messages, the edit fields' context
// menu, the standard buttons) in Swedish, whatever the user's locale. False
// when Qt's Swedish catalogue is not installed; the texts then stay English.
bool InstallSwedishQtTexts(QCoreApplication& app);

}  // namespace loggrevy
