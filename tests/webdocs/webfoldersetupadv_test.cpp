#include "tests/webdocs/webfolderfixture.h"
#include "webdocs/webfoldersetup.h"
#include "webdocs/webfoldersetupadv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace {

class WebfolderAdvanced : public WebfolderFixture {
protected:
    void showDialog()
    {
        dialog.emplace();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*dialog));
    }
    QTableWidget* grid() { return dialog->Grid; }
    // The centre of a cell, counted as the settings count rows (1 to 9).
    QPoint cellCentre(int column, int row) { return grid()->visualRect(grid()->model()->index(row - 1, column)).center(); }
    // A cell editor is open (editors are children of the grid's viewport).
    QLineEdit* editor()
    {
        for (QLineEdit* e : grid()->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    bool editing() { return editor() != nullptr; }
    static QString key(int side, int n) { return QStringLiteral("DOC_URL_TRANSELATE_%1_%2").arg(side).arg(n); }

    std::optional<TWebfolderAdvForm> dialog;
};

} // namespace

TEST_F(WebfolderAdvanced, LaysOutTheGridTheSwitchAndThePullAddress)
{
    showDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("WEB-mapper, avanserte instillinger"));
    EXPECT_EQ(dialog->minimumSize(), QSize(861, 432));
    EXPECT_EQ(dialog->maximumSize(), QSize(861, 432));
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(dialog->autoFillBackground());
    EXPECT_EQ(dialog->Label1->text(), QStringLiteral("URL til generering av filer i database (pull):"));
    EXPECT_EQ(dialog->Label1->pos(), QPoint(26, 32));
    EXPECT_EQ(dialog->PullCombo->geometry().topLeft(), QPoint(26, 51));
    EXPECT_EQ(dialog->PullCombo->width(), 807);
    EXPECT_EQ(dialog->Transelate->geometry().topLeft(), QPoint(26, 120));
    EXPECT_EQ(dialog->Transelate->width(), std::max(217, dialog->Transelate->sizeHint().width()));
    EXPECT_EQ(dialog->Transelate->text(), QStringLiteral("Bruk oversetting av mappeplasseringer"));
    EXPECT_EQ(grid()->geometry(), QRect(26, 151, 807, 258));

    // A heading row over nine rows of two 400-pixel columns, all in view.
    EXPECT_EQ(grid()->columnCount(), 2);
    EXPECT_EQ(grid()->rowCount(), 9);
    EXPECT_EQ(dialog->cell(0, 0), QStringLiteral("WEB-mappe"));
    EXPECT_EQ(dialog->cell(1, 0), QStringLiteral("Lokal mappe"));
    EXPECT_EQ(grid()->columnWidth(0), 400);
    EXPECT_EQ(grid()->columnWidth(1), 400);
    EXPECT_TRUE(grid()->viewport()->rect().contains(grid()->visualRect(grid()->model()->index(8, 1))));
    EXPECT_TRUE(grid()->showGrid());
    EXPECT_EQ(grid()->selectionMode(), QAbstractItemView::ContiguousSelection);
    EXPECT_TRUE(grid()->item(0, 0)->flags() & Qt::ItemIsEditable);

    // The list offers the pull script; a first showing selects nothing.
    ASSERT_EQ(dialog->PullCombo->count(), 1);
    const QUrl pull(dialog->PullCombo->itemText(0));
    EXPECT_EQ(pull.scheme(), QStringLiteral("http"));
    EXPECT_FALSE(pull.host().isEmpty());
    EXPECT_EQ(pull.path(), QStringLiteral("/tk7/bin/tk-document-pulldata.php"));
    EXPECT_TRUE(dialog->PullCombo->isEditable());
    EXPECT_EQ(dialog->PullCombo->currentText(), QString());
    EXPECT_EQ(dialog->focusWidget(), grid());
    EXPECT_EQ(tabOrder(grid()),
              (QStringList{QStringLiteral("Grid"), QStringLiteral("Transelate"), QStringLiteral("PullCombo")}));
}

TEST_F(WebfolderAdvanced, ClosingAddsTheSeparatorsSkipsEmptiedRowsAndTheNextShowingReadsThemBack)
{
    const QString longPull = QStringLiteral("http://pull/") + QString(40000, u'p'); // past a line edit's usual limit
    store({{"DOC_URL_TRANSELATE_0_2", QStringLiteral("http://kept/")}, {"DOC_URL_TRANSELATE_1_2", QStringLiteral("/kept/")},
           {"DOC_URL_TRANSELATE_0_9", QStringLiteral("http://nine/")}, {"DOC_URL_TRANSELATE_1_9", QStringLiteral("/nine/")},
           {"DOC_URL_TRANSELATE", QStringLiteral("1")}, {"DOC_URL_PULL", longPull}});
    showDialog();
    EXPECT_EQ(dialog->cell(0, 2), QStringLiteral("http://kept/"));
    EXPECT_EQ(dialog->cell(1, 9), QStringLiteral("/nine/"));
    EXPECT_TRUE(dialog->Transelate->isChecked());
    EXPECT_EQ(dialog->PullCombo->currentText(), longPull);

    struct Row {
        const char* name;
        int n;
        QString web, local;                              // as typed
        std::optional<QString> storedWeb, storedLocal;   // nothing: key never written
    } rows[] = {
        {"both separators added", 1, QStringLiteral("http://w/a"), QStringLiteral("/l/a"), QStringLiteral("http://w/a/"),
         QStringLiteral("/l/a") + sep()},
        {"emptied web folder keeps the stored pair", 2, QString(), QStringLiteral("/other"), QStringLiteral("http://kept/"),
         QStringLiteral("/kept/")},
        {"separators already there", 3, QStringLiteral("http://w/b/"), QStringLiteral("/l/b") + sep(),
         QStringLiteral("http://w/b/"), QStringLiteral("/l/b") + sep()},
        {"empty local folder stored empty", 4, QStringLiteral("w4"), QString(), QStringLiteral("w4/"), QString()},
        {"empty row writes nothing", 5, QString(), QString(), std::nullopt, std::nullopt},
        {"the ninth pair", 9, QStringLiteral("http://nine/"), QString(), QStringLiteral("http://nine/"), QString()},
    };
    for (const Row& r : rows) {
        dialog->setCell(0, r.n, r.web);
        dialog->setCell(1, r.n, r.local);
    }
    dialog->Transelate->setChecked(false);
    dialog->PullCombo->setCurrentIndex(0);
    QTest::keyClick(grid(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible()); // only the close box closes it
    dialog->close();

    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(stored(key(0, r.n)), r.storedWeb);
        EXPECT_EQ(stored(key(1, r.n)), r.storedLocal);
    }
    EXPECT_EQ(stored(QStringLiteral("DOC_URL_TRANSELATE")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("DOC_URL_PULL")), QString::fromLatin1(webfolderPullScript));

    showDialog(); // a new dialog, as for every use
    EXPECT_EQ(dialog->cell(0, 1), QStringLiteral("http://w/a/"));
    EXPECT_EQ(dialog->cell(1, 1), QStringLiteral("/l/a") + sep());
    EXPECT_EQ(dialog->cell(0, 2), QStringLiteral("http://kept/"));
    EXPECT_EQ(dialog->cell(1, 2), QStringLiteral("/kept/"));
    EXPECT_EQ(dialog->cell(0, 5), QString());
}

TEST_F(WebfolderAdvanced, CellStillBeingTypedIsStoredOnClosing)
{
    showDialog();
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(0, 6));
    QTest::keyClick(grid(), Qt::Key_H); // typing opens the editor
    ASSERT_TRUE(editing());
    QTest::keyClicks(editor(), QStringLiteral("ttp://typed"));
    dialog->close();
    EXPECT_EQ(stored(key(0, 6)), QStringLiteral("http://typed/"));
}

TEST_F(WebfolderAdvanced, DoubleClickChoosesTheLocalFolderOfThatRow)
{
    const QString existing = QDir::toNativeSeparators(sandbox.root());
    showDialog();
    struct Case {
        const char* name;
        int column, row;
        QString localBefore;
        std::optional<QString> answer;
        QString expectedStart, localAfter;
    } cases[] = {
        {"on the web folder cell", 0, 3, existing, existing + sep() + QStringLiteral("bilder"), existing,
         existing + sep() + QStringLiteral("bilder") + sep()},
        {"on the local folder cell", 1, 7, QString(), existing, QString(), existing + sep()},
        {"cancelled", 0, 4, QStringLiteral("/finnes/ikke"), std::nullopt, QString(), QStringLiteral("/finnes/ikke") + sep()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog->setCell(0, c.row, QStringLiteral("http://web/"));
        dialog->setCell(1, c.row, c.localBefore);
        chooserStarts.clear();
        chooserAnswer = c.answer;
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(c.column, c.row));
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(c.column, c.row));
        EXPECT_EQ(chooserStarts, QStringList{c.expectedStart});
        EXPECT_EQ(dialog->cell(1, c.row), c.localAfter);
        EXPECT_EQ(dialog->cell(0, c.row), QStringLiteral("http://web/")); // never set by the chooser
        EXPECT_FALSE(editing()); // a double-click opens the chooser, not the editor
    }
}

TEST_F(WebfolderAdvanced, AdvancedButtonShowsANewModalDialogAndDestroysItAfterwards)
{
    QWidget mainWindow;
    mainWindow.setGeometry(0, 40, 800, 500);
    TWebfolderForm setup(&mainWindow);
    mainWindow.show();
    store({{"DOC_URL_ACTIVE", QStringLiteral("1")}});
    setup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup));

    for (const char* typed : {"http://first/", "http://second/"}) {
        SCOPED_TRACE(typed);
        QPointer<TWebfolderAdvForm> shown;
        bool modal = false;
        int centreY = 0;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<TWebfolderAdvForm*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            modal = shown->isModal();
            centreY = shown->frameGeometry().center().y();
            EXPECT_EQ(shown->cell(0, 1), QString()); // the earlier dialog's cell was stored, not kept
            shown->setCell(0, 1, QString::fromLatin1(typed));
            shown->close();
        });
        QTest::mouseClick(setup.findChild<QPushButton*>(QStringLiteral("AdvButton")), Qt::LeftButton);
        EXPECT_TRUE(modal);
        EXPECT_EQ(centreY, mainWindow.frameGeometry().center().y());
        EXPECT_TRUE(shown.isNull()); // destroyed once closed
        EXPECT_EQ(stored(key(0, 1)), QString::fromLatin1(typed));
        writeinistring(key(0, 1), QString()); // so that the next dialog shows an empty cell
    }
}
