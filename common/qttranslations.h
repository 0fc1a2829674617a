#pragma once
// Qt's own texts (standard buttons, print and file dialogs) in the user's language, from
// the translations installed with Qt (qt6-translations-l10n).

#include <QLocale>

// Installs the translation of Qt's texts for `locale` into the running application;
// false, and English left, when none is installed.
bool loadQtTranslations(const QLocale& locale = QLocale());
