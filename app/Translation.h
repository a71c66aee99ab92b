#pragma once
// Qt's own texts (message-box buttons, file dialogs) in Russian, like the rest of the window.

class QCoreApplication;
class QTranslator;

namespace uroflow {

// Installs Qt's Russian translation from Qt's translations folder into `app`, whatever
// the system's language. Returns the translator (owned by `app`; deleting it uninstalls
// it), or null when the translation is not installed and Qt's texts stay English.
QTranslator* installQtRussian(QCoreApplication& app);

}  // namespace uroflow
