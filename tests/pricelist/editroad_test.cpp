// The road of a typical edit, end to end against the real server and a web folder on a
// loopback HTTP server: double-click a product, its picture is fetched and shown, a new
// out-price is typed, "Lagre" sends one UPDATE and the list shows the new out-price.
#include "dbcontrols/dbgridmodel.h"
#include "dbcontrols/dbtext.h"
#include "tests/pricelist/detailfixture.h"
#include "tests/support/httptestserver.h"
#include "webdocs/HttpDownload.h"

#include <QDir>

namespace {

class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

using EditRoad = DetailFixture;

TEST_F(EditRoad, TheRoadOfATypicalEdit)
{
    HttpTestServer server;
    const QByteArray picture = pictureBytes({64, 48}, Qt::magenta, "JPEG");
    server.setHandler([&](const QByteArray& head) {
        return head.startsWith("GET /blomster/liljer.jpg ") ? HttpAnswer::withLength(200, "OK", picture)
                                                           : HttpAnswer::withLength(404, "Not Found", "");
    });
    writeinistring(QStringLiteral("DOC_LOCAL"), docs());
    writeinistring(QStringLiteral("DOC_URL"), server.url(QStringLiteral("/blomster/")));
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), true);
    writeinibool(QStringLiteral("DOC_URL_USEIMAGES"), true);
    Sandbox::writeFile(sandbox.workFolder() + QStringLiteral("/kari.INI"),
                       "[VINDU-PrisDataForm]\r\nMaximized=0\r\nLeft=320\r\nTop=140\r\nHeight=50\r\nWidth=50\r\n");
    ShowCounter downloadWindow;
    THttpDownloadForm::instance().installEventFilter(&downloadWindow);

    createWindows();
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* DBText1 = control<DBText>(*dialog, "DBText1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    auto* CancelButton = control<QToolButton>(*dialog, "CancelButton");
    list->show();
    QApplication::setActiveWindow(list.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    goTo(41);
    const qsizetype statementsBefore = sent().size();

    // 1. Double-click the product: the dialog shows it where it was left last time.
    DBGrid* grid = list->DBGrid1;
    const int row = rowOf(43);
    const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(DBEdit1->text(), QStringLiteral("Liljer"));
    EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(320, 140));
    EXPECT_EQ(dialog->size(), QSize(457, 616));

    // 2. The picture was missing on disk: fetched through the download window and shown.
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].startsWith("GET /blomster/liljer.jpg HTTP/1.1\r\n"));
    EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("liljer.jpg")), picture);
    EXPECT_FALSE(QFile::exists(docs() + QStringLiteral("liljer.jpg.part")));
    EXPECT_GE(downloadWindow.shows, 1);
    EXPECT_FALSE(THttpDownloadForm::instance().isVisible());
    EXPECT_EQ(shownPicture(), QSize(64, 48));

    // 3. A new out-price: the edit starts, the price follows, "Lagre" and "Avbryt" light up.
    EXPECT_EQ(Edit1->text(), QStringLiteral("100"));
    QTest::mouseClick(Edit1, Qt::LeftButton);
    QTest::keyClick(Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Edit1, "150");
    EXPECT_EQ(table().state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), 120);
    EXPECT_EQ(DBText1->text(), QStringLiteral("kr 150,00"));
    EXPECT_TRUE(SaveButton->isEnabled());
    EXPECT_TRUE(CancelButton->isEnabled());

    // 4. "Lagre": one UPDATE of the changed field by id; the list shows the new out-price.
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(table().state(), DataSetState::Browse);
    EXPECT_EQ(sent().mid(statementsBefore),
              QStringList{QStringLiteral("Query UPDATE product\r\nSET\r\n  price = 120\r\nWHERE\r\n  id = 43")});
    EXPECT_EQ(stored(QStringLiteral("price"), 43), QStringLiteral("120"));
    EXPECT_EQ(grid->model()->index(rowOf(43), 1).data().toString(), QStringLiteral("kr 150,00"));
    EXPECT_FALSE(SaveButton->isEnabled());
    EXPECT_EQ(server.requests().size(), 1); // the picture is on disk now
    EXPECT_TRUE(messages.empty());
    THttpDownloadForm::instance().removeEventFilter(&downloadWindow);
}

} // namespace
