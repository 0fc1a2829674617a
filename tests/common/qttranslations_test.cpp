// Qt's own dialogs speak Norwegian when its translations are installed (the package
// depends on them), and English when none is found for the language.
#include "common/qttranslations.h"
#include "tests/support/qstringprint.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QStringList buttonTexts(QWidget& dialog)
{
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->isVisibleTo(&dialog))
            texts << button->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
}

QStringList messageBoxButtons()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"), QMessageBox::Ok | QMessageBox::Cancel);
    return buttonTexts(box);
}

TEST(QtTranslations, StandardButtonsAndThePrintDialogReadNorwegianAndEnglishWithoutATranslation)
{
    ASSERT_TRUE(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_nn.qm")))
        << "qt6-translations-l10n is not installed (scripts/install-deps)";
    ASSERT_TRUE(loadQtTranslations(QLocale(QLocale::NorwegianBokmal, QLocale::Norway)));
    EXPECT_EQ(messageBoxButtons(), (QStringList{QStringLiteral("Avbryt"), QStringLiteral("OK")}));
    {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Skriv ut"));
        EXPECT_TRUE(buttonTexts(dialog).contains(QStringLiteral("Skriv ut"))) << buttonTexts(dialog).join(QLatin1Char(',')).toStdString();
        EXPECT_TRUE(buttonTexts(dialog).contains(QStringLiteral("Avbryt"))) << buttonTexts(dialog).join(QLatin1Char(',')).toStdString();
    }

    {
        // The file chooser, in Bokmål where Qt's Norwegian is Nynorsk ("Opna", "Filnamn").
        QFileDialog chooser;
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        chooser.setAcceptMode(QFileDialog::AcceptOpen);
        EXPECT_TRUE(buttonTexts(chooser).contains(QStringLiteral("Åpne"))) << buttonTexts(chooser).join(QLatin1Char(',')).toStdString();
        EXPECT_TRUE(buttonTexts(chooser).contains(QStringLiteral("Avbryt")));
        QStringList labels;
        for (const QLabel* label : chooser.findChildren<QLabel*>())
            labels << label->text();
        EXPECT_TRUE(labels.contains(QStringLiteral("Fil&navn:"))) << labels.join(QLatin1Char(',')).toStdString();
        EXPECT_TRUE(labels.contains(QStringLiteral("Søk i:"))) << labels.join(QLatin1Char(',')).toStdString();
    }

    EXPECT_FALSE(loadQtTranslations(QLocale(QLocale::Zulu)));
    EXPECT_EQ(messageBoxButtons(), (QStringList{QStringLiteral("Cancel"), QStringLiteral("OK")}));
}

}
