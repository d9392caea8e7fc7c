#pragma once

// Qt's own texts (the standard buttons, the file and colour dialogs) in
// Japanese, like the rest of the program, whatever the desktop's language.

class QTranslator;

namespace lp {

// Installs Qt's Japanese translations on the application (which owns them);
// null when they are not installed (the texts then stay English).
QTranslator* InstallJapaneseQtTranslations();

}  // namespace lp
