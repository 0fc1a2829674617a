#include "common/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
QTranslator& qtTranslator()
{
    static QTranslator translator;
    return translator;
}
}

bool loadQtTranslations(const QLocale& locale)
{
    QTranslator& translator = qtTranslator();
    QCoreApplication::removeTranslator(&translator);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool loaded = translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder);
    // Qt ships Norwegian as Nynorsk only: for Bokmål users it is far nearer than English.
    if (!loaded && (locale.language() == QLocale::NorwegianBokmal || locale.language() == QLocale::NorwegianNynorsk))
        loaded = translator.load(QStringLiteral("qtbase_nn"), folder);
    if (loaded)
        QCoreApplication::installTranslator(&translator);
    return loaded;
}
