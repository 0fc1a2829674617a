#include "common/qttranslations.h"

#include "common/bokmalwording.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
QTranslator& qtTranslator()
{
    static QTranslator translator;
    return translator;
}

BokmalWording& bokmalWording()
{
    static BokmalWording wording;
    return wording;
}
}

bool loadQtTranslations(const QLocale& locale)
{
    QTranslator& translator = qtTranslator();
    QCoreApplication::removeTranslator(&bokmalWording());
    QCoreApplication::removeTranslator(&translator);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool loaded = translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder);
    // Qt ships Norwegian as Nynorsk only: for Bokmål users it is far nearer than English,
    // and the words they meet most are put in Bokmål over it.
    bool bokmal = false;
    if (!loaded && (locale.language() == QLocale::NorwegianBokmal || locale.language() == QLocale::NorwegianNynorsk)) {
        loaded = translator.load(QStringLiteral("qtbase_nn"), folder);
        bokmal = loaded && locale.language() == QLocale::NorwegianBokmal;
    }
    if (loaded)
        QCoreApplication::installTranslator(&translator);
    if (bokmal)
        QCoreApplication::installTranslator(&bokmalWording()); // asked before the one installed earlier
    return loaded;
}
