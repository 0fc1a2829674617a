#include "tests/webdocs/webfolderfixture.h"
#include "webdocs/webfoldersetup.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>

namespace {

class WebfolderSetup : public WebfolderFixture {
protected:
    void showDialog()
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    template <class T>
    T* control(const char* name)
    {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* docfolder() { return control<QLineEdit>("docfolder"); }
    QLineEdit* url() { return control<QLineEdit>("DocumentURL"); }
    QCheckBox* useUrl() { return control<QCheckBox>("UseURL"); }
    QCheckBox* images() { return control<QCheckBox>("URLImages"); }
    // Which of the controls that follow UseURL are enabled.
    std::vector<bool> enabled()
    {
        std::vector<bool> states;
        for (const char* name : {"DocumentURL", "docfolder", "URLImages", "FolderButton", "AdvButton", "UseURL", "Label1"})
            states.push_back(control<QWidget>(name)->isEnabled());
        return states;
    }

    TWebfolderForm dialog;
};

const std::vector<bool> onlyUseUrl{false, false, false, false, false, true, true};
const std::vector<bool> allEnabled(7, true);

} // namespace

TEST_F(WebfolderSetup, LaysOutEveryControlWhereTheShopExpectsIt)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Oppsett WEB-mapper"));
    EXPECT_EQ(dialog.minimumSize(), QSize(596, 292));
    EXPECT_EQ(dialog.maximumSize(), QSize(596, 292));
    EXPECT_FALSE(dialog.isVisible()); // created hidden
    EXPECT_EQ(webfolderForm(), &dialog);
    // Texts keep their place and their width, and grow only when the font at hand is wider than Tahoma.
    struct Place {
        const char* name;
        QString text;
        QPoint at;
        int width;
        bool textGrows;
    } places[] = {
        {"UseURL", QStringLiteral("Aktiver WEB-mappe"), {40, 40}, 153, true},
        {"URLImages", QStringLiteral("Last bilder fra WEB"), {296, 40}, 121, true},
        {"Label1", QStringLiteral("Laster bilder i fra WEB-mappe, hvis de ikke finnes lokalt på disken."), {314, 60}, 167, false},
        {"docfolder", QString(), {40, 143}, 489, false},
        {"docfolderLabel", QStringLiteral("Lokal dokumentmappe:"), {40, 127}, 489, true},
        {"FolderButton", QString(), {530, 143}, 23, false},
        {"DocumentURL", QString(), {40, 191}, 489, false},
        {"DocumentURLLabel", QStringLiteral("URL til dokumenter:"), {40, 175}, 489, true},
        {"AdvButton", QStringLiteral("Avansert ..."), {454, 240}, 75, false},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        QWidget* w = control<QWidget>(p.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry().topLeft(), p.at);
        EXPECT_EQ(w->width(), p.textGrows ? std::max(p.width, w->sizeHint().width()) : p.width);
        if (!p.text.isEmpty())
            EXPECT_EQ(w->property("text").toString(), p.text);
    }
    EXPECT_TRUE(useUrl()->font().bold());
    EXPECT_FALSE(images()->font().bold());
    auto* note = control<QLabel>("Label1");
    EXPECT_TRUE(note->wordWrap());
    EXPECT_GE(note->height(), std::max(26, note->heightForWidth(167))); // room for all of its lines
    EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(control<QLabel>("docfolderLabel")->buddy(), docfolder());
    EXPECT_FALSE(control<QToolButton>("FolderButton")->icon().isNull());
    EXPECT_EQ(dialog.focusWidget(), useUrl());
    EXPECT_EQ(tabOrder(useUrl()), (QStringList{QStringLiteral("UseURL"), QStringLiteral("URLImages"),
                                               QStringLiteral("docfolder"), QStringLiteral("DocumentURL"),
                                               QStringLiteral("AdvButton")}));
}

TEST_F(WebfolderSetup, FirstShowingOffersTheDefaultsAndClosingStoresThem)
{
    const QString docsFolder = kvarnelobase() + QStringLiteral("data") + sep() + QStringLiteral("docs") + sep();
    struct Case {
        const char* name;
        std::optional<QString> servername;
        QString expectedUrl;
    } cases[] = {
        {"server name stored", QStringLiteral("sql.brisvald.no"), QStringLiteral("http://sql.brisvald.no/")},
        {"server name missing", std::nullopt, QStringLiteral("http:///")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore::instance().reset();
        QFile::remove(settingsFile());
        openini(settingsFile());
        if (c.servername) {
            setsection(QStringLiteral("FIRMA_SQL"));
            writeinistring(QStringLiteral("Servername"), *c.servername);
            resetsection();
        }

        showDialog();
        EXPECT_EQ(url()->text(), c.expectedUrl);
        EXPECT_EQ(docfolder()->text(), docsFolder);
        EXPECT_FALSE(useUrl()->isChecked());
        EXPECT_FALSE(images()->isChecked());
        EXPECT_EQ(enabled(), onlyUseUrl);
        EXPECT_EQ(SettingsStore::instance().currentSection, QStringLiteral("STANDARD"));
        EXPECT_EQ(stored(QStringLiteral("DOC_URL")), std::nullopt); // only shown so far

        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(SettingsStore::instance().document->keys(QStringLiteral("STANDARD")).filter(QStringLiteral("DOC_")),
                  (QStringList{QStringLiteral("DOC_URL"), QStringLiteral("DOC_LOCAL"), QStringLiteral("DOC_URL_ACTIVE"),
                               QStringLiteral("DOC_URL_USEIMAGES")}));
        EXPECT_EQ(stored(QStringLiteral("DOC_URL")), c.expectedUrl);
        EXPECT_EQ(stored(QStringLiteral("DOC_LOCAL")), docsFolder);
        EXPECT_EQ(stored(QStringLiteral("DOC_URL_ACTIVE")), QStringLiteral("0"));
        EXPECT_EQ(stored(QStringLiteral("DOC_URL_USEIMAGES")), QStringLiteral("0"));
    }
}

TEST_F(WebfolderSetup, TypedTextsAreStoredExactlyAndAClearedUrlBringsTheDefaultBack)
{
    store({{"DOC_URL", QStringLiteral("http://old/")}, {"DOC_LOCAL", QStringLiteral("/old/")},
           {"DOC_URL_ACTIVE", QStringLiteral("1")}, {"DOC_URL_USEIMAGES", QStringLiteral("1")}});
    setsection(QStringLiteral("FIRMA_SQL"));
    writeinistring(QStringLiteral("Servername"), QStringLiteral("db"));
    resetsection();

    showDialog();
    EXPECT_EQ(url()->text(), QStringLiteral("http://old/"));
    EXPECT_EQ(docfolder()->text(), QStringLiteral("/old/"));
    EXPECT_TRUE(useUrl()->isChecked());
    EXPECT_TRUE(images()->isChecked());
    EXPECT_EQ(enabled(), allEnabled);

    url()->clear();
    docfolder()->clear();
    QTest::keyClicks(docfolder(), QStringLiteral(" ny mappe "));
    QTest::mouseClick(images(), Qt::LeftButton);
    QTest::keyClick(docfolder(), Qt::Key_Escape); // does not close: only the close box does
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_EQ(stored(QStringLiteral("DOC_URL")), QString());
    EXPECT_EQ(stored(QStringLiteral("DOC_LOCAL")), QStringLiteral(" ny mappe "));
    EXPECT_EQ(stored(QStringLiteral("DOC_URL_USEIMAGES")), QStringLiteral("0"));

    showDialog();
    EXPECT_EQ(url()->text(), QStringLiteral("http://db/"));
    EXPECT_EQ(docfolder()->text(), QStringLiteral(" ny mappe "));
}

TEST_F(WebfolderSetup, UntickingUseUrlDisablesTheRestAndKeepsTheStoredValues)
{
    const QString longFolder = QStringLiteral("/d/") + QString(40000, u'x') + u'/'; // past a line edit's usual limit
    store({{"DOC_URL", QStringLiteral("http://w/docs/")}, {"DOC_LOCAL", longFolder},
           {"DOC_URL_ACTIVE", QStringLiteral("1")}, {"DOC_URL_USEIMAGES", QStringLiteral("1")}});
    showDialog();
    QTest::mouseClick(useUrl(), Qt::LeftButton);
    EXPECT_EQ(enabled(), onlyUseUrl);
    QTest::mouseClick(useUrl(), Qt::LeftButton);
    EXPECT_EQ(enabled(), allEnabled);
    QTest::mouseClick(useUrl(), Qt::LeftButton);
    dialog.close();
    EXPECT_EQ(stored(QStringLiteral("DOC_URL")), QStringLiteral("http://w/docs/"));
    EXPECT_EQ(stored(QStringLiteral("DOC_LOCAL")), longFolder);
    EXPECT_EQ(stored(QStringLiteral("DOC_URL_ACTIVE")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("DOC_URL_USEIMAGES")), QStringLiteral("1"));
}

TEST_F(WebfolderSetup, FolderButtonPutsTheChosenFolderInTheLocalFolder)
{
    const QString existing = QDir::toNativeSeparators(sandbox.root());
    struct Case {
        const char* name;
        QString before;
        std::optional<QString> answer;
        QString expectedStart;
        QString after;
    } cases[] = {
        {"chosen", existing, existing + sep() + QStringLiteral("bilder"), existing,
         existing + sep() + QStringLiteral("bilder") + sep()},
        {"cancelled on a missing folder", QStringLiteral("/finnes/ikke"), std::nullopt, QString(),
         QStringLiteral("/finnes/ikke") + sep()},
    };
    store({{"DOC_URL_ACTIVE", QStringLiteral("1")}});
    showDialog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chooserStarts.clear();
        chooserAnswer = c.answer;
        docfolder()->setText(c.before);
        QTest::mouseClick(control<QToolButton>("FolderButton"), Qt::LeftButton);
        EXPECT_EQ(chooserStarts, QStringList{c.expectedStart});
        EXPECT_EQ(docfolder()->text(), c.after);
    }
}

TEST_F(WebfolderSetup, IsCentredOverTheMainWindowAtEveryShowingAndClosesWithIt)
{
    QWidget mainWindow;
    mainWindow.setGeometry(50, 40, 700, 500);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    {
        TWebfolderForm over(&mainWindow);
        for (const QPoint& at : {QPoint(50, 40), QPoint(20, 70)}) {
            mainWindow.move(at);
            over.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&over));
            EXPECT_EQ(over.frameGeometry().center(), mainWindow.frameGeometry().center());
            EXPECT_FALSE(over.isModal());
            over.findChild<QLineEdit*>(QStringLiteral("DocumentURL"))->setText(QStringLiteral("http://typed/"));
            over.close();
        }

        over.show();
        over.findChild<QLineEdit*>(QStringLiteral("DocumentURL"))->setText(QStringLiteral("http://last/"));
        mainWindow.close(); // the program ends with the dialog open: what was typed is kept
        EXPECT_FALSE(over.isVisible());
        EXPECT_EQ(stored(QStringLiteral("DOC_URL")), QStringLiteral("http://last/"));
    }
}

TEST_F(WebfolderSetup, ClosingUntouchedKeepsWhatAnotherCopyOfTheProgramChangedMeanwhile)
{
    // This copy opens and closes the dialog without touching anything; another copy
    // changes every key and ends first; this copy's write-back comes last.
    store({{"DOC_URL", QStringLiteral("http://gammel/")}, {"DOC_LOCAL", QStringLiteral("/gammel/")},
           {"DOC_URL_ACTIVE", QStringLiteral("-1")}, {"DOC_URL_USEIMAGES", QStringLiteral("0")}});
    ASSERT_TRUE(SettingsStore::instance().writeBack());
    showDialog();
    IniDocument other;
    ASSERT_TRUE(other.load(settingsFile()));
    const std::pair<const char*, const char*> theirs[] = {
        {"DOC_URL", "http://ny/"}, {"DOC_LOCAL", "/ny/"}, {"DOC_URL_ACTIVE", "0"}, {"DOC_URL_USEIMAGES", "1"}};
    for (const auto& [key, value] : theirs)
        other.setValue(QStringLiteral("STANDARD"), QString::fromLatin1(key), QString::fromLatin1(value));
    ASSERT_TRUE(other.save(settingsFile()));
    dialog.close();
    ASSERT_TRUE(SettingsStore::instance().writeBack());
    IniDocument file;
    ASSERT_TRUE(file.load(settingsFile()));
    for (const auto& [key, value] : theirs)
        EXPECT_EQ(file.value(QStringLiteral("STANDARD"), QString::fromLatin1(key)), QString::fromLatin1(value)) << key;
}
