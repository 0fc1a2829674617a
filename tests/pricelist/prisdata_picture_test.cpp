// The detail dialog's picture: shown for the current record, hidden for an empty
// reference, fetched from the web folder when missing on disk, chosen with the
// open-picture dialog; files that are no pictures give their error and the program goes on.
#include "common/errorreport.h"
#include "pricelist/pictures/openpicturedialog.h"
#include "pricelist/pictures/picturepreview.h"
#include "pricelist/shopaddress.h"
#include "tests/pricelist/detailfixture.h"
#include "tests/support/httptestserver.h"
#include "tests/support/testcertificates.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImageReader>
#include <QListView>
#include <QTimer>
#include <sys/stat.h>

namespace {

const QSize liljer(40, 30);
const QSize roser(30, 20);

class DetailPicture : public DetailFixture {
protected:
    DetailPicture()
    {
        useLocalPictures();
        writePicture(docs() + QStringLiteral("liljer.jpg"), liljer);
        writePicture(docs() + QStringLiteral("roser.png"), roser);
    }
    ~DetailPicture() override { setPictureDialogRunner({}); }
};

TEST_F(DetailPicture, FollowsTheCurrentRecordAndHidesForAnEmptyReference)
{
    admin.exec(QStringLiteral("UPDATE product SET picture = 'mangler.jpg' WHERE id = 42"));
    createWindows();
    auto* Image1 = control<PictureBox>(*dialog, "Image1");
    EXPECT_FALSE(Image1->hasPicture()); // hidden: nothing is loaded
    showDialog();
    EXPECT_EQ(shownPicture(), liljer);
    struct Step { int id; QSize shown; const char* why; } steps[] = {
        {41, roser, "PNG"},
        {44, QSize(), "empty reference hides the box"},
        {43, liljer, "a reference shows it again"},
        {42, QSize(), "missing file: nothing, never the last product's picture"},
        {41, roser, "and goes on with the next"},
    };
    for (const Step& s : steps) {
        goTo(s.id);
        EXPECT_EQ(shownPicture(), s.shown) << s.why;
    }
    // Hidden, the dialog loads nothing; showing it loads the current record's picture.
    dialog->close();
    goTo(43);
    EXPECT_EQ(Image1->pictureSize(), roser);
    showDialog();
    EXPECT_EQ(shownPicture(), liljer);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DetailPicture, PicturesOffNeverChangeTheBox)
{
    createWindows();
    auto* Image1 = control<PictureBox>(*dialog, "Image1");
    writeinibool(QStringLiteral("DOC_URL_USEIMAGES"), false);
    showDialog();
    EXPECT_FALSE(Image1->hasPicture());
    writeinibool(QStringLiteral("DOC_URL_USEIMAGES"), true);
    goTo(41);
    EXPECT_EQ(shownPicture(), roser);
    writeinibool(QStringLiteral("DOC_URL_USEIMAGES"), false);
    for (int id : {43, 44, 42, 43}) {
        goTo(id);
        EXPECT_EQ(shownPicture(), roser) << id;
    }
}

TEST_F(DetailPicture, ChoosingAFileStoresItsWebAddressAndShowsTheChosenFile)
{
    qputenv("PRISLISTE_HOME_PAGE", "http://butikken.test/");
    createWindows();
    auto* SpeedButton3 = control<QToolButton>(*dialog, "SpeedButton3");
    auto* BildeEdit = control<DBEdit>(*dialog, "BildeEdit");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    showDialog();
    goTo(42);
    const QString chosenFolder = sandbox.root() + QStringLiteral("/Bilder/");
    struct Case { const char* file; QSize size; } cases[] = {{"rose.jpg", {50, 40}}, {"Bjørkeløv.png", {60, 45}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString chosen = chosenFolder + QString::fromUtf8(c.file);
        writePicture(chosen, c.size);
        std::optional<OpenPictureDialog> asked;
        setPictureDialogRunner([&](const OpenPictureDialog& d) {
            asked = d;
            return std::optional<QString>(QDir::toNativeSeparators(chosen));
        });
        QTest::mouseClick(SpeedButton3, Qt::LeftButton);
        ASSERT_TRUE(asked);
        EXPECT_EQ(asked->initialDir, docs() + QStringLiteral("blomster"));
        EXPECT_EQ(asked->defaultExt, QStringLiteral("jpg"));
        EXPECT_EQ(table().state(), DataSetState::Edit);
        EXPECT_EQ(table().MyTablepicture->asString(), QStringLiteral("http://butikken.test/blomster/") + QString::fromUtf8(c.file));
        EXPECT_EQ(BildeEdit->text(), table().MyTablepicture->asString());
        EXPECT_EQ(shownPicture(), c.size);
        QTest::mouseClick(SaveButton, Qt::LeftButton);
    }
    EXPECT_EQ(stored(QStringLiteral("picture"), 42), QStringLiteral("http://butikken.test/blomster/Bjørkeløv.png"));

    // Cancelled: nothing changes.
    setPictureDialogRunner([](const OpenPictureDialog&) { return std::optional<QString>(); });
    QTest::mouseClick(SpeedButton3, Qt::LeftButton);
    EXPECT_EQ(table().state(), DataSetState::Browse);

    // A chosen file that is no picture: its error, after the reference was set.
    Sandbox::writeFile(chosenFolder + QStringLiteral("tull.jpg"), "not a picture");
    setPictureDialogRunner([&](const OpenPictureDialog&) { return std::optional<QString>(chosenFolder + QStringLiteral("tull.jpg")); });
    QTest::mouseClick(SpeedButton3, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(table().state(), DataSetState::Edit);
    EXPECT_EQ(table().MyTablepicture->asString(), QStringLiteral("http://butikken.test/blomster/tull.jpg"));
    EXPECT_EQ(shownPicture(), QSize()); // not the picture chosen before

    // A FIFO typed in as the file's name: an error, never a read that waits for ever.
    const QString fifo = chosenFolder + QStringLiteral("fifo.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    setPictureDialogRunner([&](const OpenPictureDialog&) { return std::optional<QString>(fifo); });
    QTest::mouseClick(SpeedButton3, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, QStringLiteral("Cannot open file \"%1\". It is not a regular file.").arg(fifo));
    EXPECT_EQ(table().MyTablepicture->asString(), QStringLiteral("http://butikken.test/blomster/fifo.jpg"));
    EXPECT_EQ(shownPicture(), QSize());
    EXPECT_FALSE(QFileInfo::exists(docs() + QStringLiteral("fifo.jpg"))); // never read, never copied
}

// Chosen from DOC_LOCAL + "blomster", the picture is looked up later at DOC_LOCAL + its
// name: it is copied there, so every later visit shows it, with or without a web folder.
TEST_F(DetailPicture, AChosenPictureIsShownAgainOnEveryLaterVisit)
{
    qputenv("PRISLISTE_HOME_PAGE", "http://butikken.test/");
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), false);
    const QString blomster = docs() + QStringLiteral("blomster/");
    writePicture(blomster + QStringLiteral("rose.jpg"), {50, 40});
    writePicture(blomster + QStringLiteral("liljer.jpg"), {70, 20}); // docs() has another liljer.jpg
    const QByteArray ownLiljer = Sandbox::readFile(docs() + QStringLiteral("liljer.jpg"));
    createWindows();
    auto* SpeedButton3 = control<QToolButton>(*dialog, "SpeedButton3");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    showDialog();
    struct Case { const char* file; QSize chosen; QSize later; } cases[] = {
        {"rose.jpg", {50, 40}, {50, 40}},
        {"liljer.jpg", {70, 20}, liljer}, // never copied over the file that is there
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        goTo(42);
        setPictureDialogRunner([&](const OpenPictureDialog&) {
            return std::optional<QString>(QDir::toNativeSeparators(blomster + QString::fromLatin1(c.file)));
        });
        QTest::mouseClick(SpeedButton3, Qt::LeftButton);
        EXPECT_EQ(shownPicture(), c.chosen);
        QTest::mouseClick(SaveButton, Qt::LeftButton);
        goTo(41);
        EXPECT_EQ(shownPicture(), roser);
        goTo(42);
        EXPECT_EQ(shownPicture(), c.later);
    }
    EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("rose.jpg")), Sandbox::readFile(blomster + QStringLiteral("rose.jpg")));
    EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("liljer.jpg")), ownLiljer);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DetailPicture, APictureThatCannotBeFetchedShowsNothing)
{
    HttpTestServer server;
    server.setHandler([](const QByteArray&) { return HttpAnswer::withLength(404, "Not Found", ""); });
    writeinistring(QStringLiteral("DOC_URL"), server.url(QStringLiteral("/blomster/")));
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), true);
    admin.exec(QStringLiteral("UPDATE product SET picture = 'mangler.jpg' WHERE id = 42"));
    createWindows();
    showDialog();
    goTo(41);
    EXPECT_EQ(shownPicture(), roser);
    guarded([&] { goTo(42); }); // the failed download is shown
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(shownPicture(), QSize());
    goTo(41);
    EXPECT_EQ(shownPicture(), roser);
}

TEST_F(DetailPicture, APictureMissingOnDiskIsFetchedOnceFromTheWebFolder)
{
    QDir(docs()).removeRecursively();
    HttpTestServer server;
    const QByteArray jpeg = pictureBytes(liljer, Qt::blue, "JPEG");
    const QByteArray png = pictureBytes(roser, Qt::green, "PNG");
    server.setHandler([&](const QByteArray& head) {
        const QByteArray path = head.split(' ').value(1);
        if (path == "/blomster/liljer.jpg")
            return HttpAnswer::withLength(200, "OK", jpeg);
        if (path == "/blomster/roser.png")
            return HttpAnswer::withLength(200, "OK", png);
        return HttpAnswer::withLength(404, "Not Found", "");
    });
    writeinistring(QStringLiteral("DOC_URL"), server.url(QStringLiteral("/blomster/")));
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), true);
    // The form the dialog stores: the picture folder's full address.
    admin.exec(QStringLiteral("UPDATE product SET picture = '%1' WHERE id = 41").arg(server.url(QStringLiteral("/blomster/roser.png"))));
    createWindows();
    showDialog();
    EXPECT_EQ(shownPicture(), liljer);
    EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("liljer.jpg")), jpeg);
    goTo(41);
    EXPECT_EQ(shownPicture(), roser);
    EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("roser.png")), png);
    goTo(43);
    goTo(41);
    EXPECT_EQ(shownPicture(), roser);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests()[0].startsWith("GET /blomster/liljer.jpg "));
    EXPECT_TRUE(server.requests()[1].startsWith("GET /blomster/roser.png "));
    EXPECT_TRUE(messages.empty());
}

TEST_F(DetailPicture, PictureFromAnHttpsWebFolderOrOneMovedThereIsShown)
{
    TestCertificates certificates;
    const QString authority = sandbox.root() + QStringLiteral("/authority.pem");
    ASSERT_TRUE(certificates.writeAuthority(authority));
    qputenv("PRISLISTE_CA_FILE", QFile::encodeName(authority));
    HttpTestServer secure(certificates.serverContext(TestCertificates::Server::Good));
    HttpTestServer plain;
    const QByteArray jpeg = pictureBytes(liljer, Qt::blue, "JPEG");
    secure.setHandler([&](const QByteArray& head) {
        return head.startsWith("GET /blomster/liljer.jpg ") ? HttpAnswer::withLength(200, "OK", jpeg)
                                                             : HttpAnswer::withLength(404, "Not Found", "");
    });
    plain.setHandler([&](const QByteArray& head) {
        const QByteArray path = head.split(' ').value(1);
        return HttpAnswer::withLength(301, "Moved Permanently", "", {"Location: " + secure.url(QString()).toUtf8() + path});
    });
    createWindows();
    for (const QString& folder : {secure.url(QStringLiteral("/blomster/")), plain.url(QStringLiteral("/blomster/"))}) {
        SCOPED_TRACE(folder.toStdString());
        QDir(docs()).removeRecursively();
        writeinistring(QStringLiteral("DOC_URL"), folder);
        writeinibool(QStringLiteral("DOC_URL_ACTIVE"), true);
        showDialog();
        EXPECT_EQ(shownPicture(), liljer);
        EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("liljer.jpg")), jpeg);
        dialog->hide();
    }
    EXPECT_EQ(plain.requests().size(), 1);
    EXPECT_EQ(secure.requests().size(), 2);
    EXPECT_TRUE(messages.empty());
    qunsetenv("PRISLISTE_CA_FILE");
}

// Every keystroke in the out-price box changes the record and so reloads the picture: a
// picture that could not be had is tried once per showing of the product, not per key.
TEST_F(DetailPicture, TypingAnOutPriceDoesNotRetryAPictureThatFailed)
{
    HttpTestServer server;
    server.setHandler([](const QByteArray&) { return HttpAnswer::withLength(404, "Not Found", ""); });
    writeinistring(QStringLiteral("DOC_URL"), server.url(QStringLiteral("/blomster/")));
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), true);
    Sandbox::writeFile(docs() + QStringLiteral("roser.png"), "this is not a picture");
    admin.exec(QStringLiteral("UPDATE product SET picture = 'mangler.jpg' WHERE id = 43"));
    struct Case {
        int id;
        int requests; // asked of the web folder while the product is shown and typed on
    } cases[] = {{43, 1}, {41, 0}}; // missing everywhere; on disk but no picture
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    showDialog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        goTo(42); // no picture
        const int before = int(server.requests().size());
        const size_t boxes = messages.size();
        guarded([&] { goTo(c.id); }); // one box: the failed download, or the file that is no picture
        showDialog(); // active again after the box
        QTest::mouseClick(Edit1, Qt::LeftButton);
        Edit1->clear();
        QTest::keyClicks(Edit1, "125");
        EXPECT_EQ(table().MyTableprice->asFloat(), 100);
        EXPECT_EQ(int(server.requests().size()) - before, c.requests);
        EXPECT_EQ(messages.size() - boxes, 1u);
        table().cancel();
    }
    // Moving away and back tries again.
    goTo(42);
    messages.clear();
    goTo(43);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(DetailPicture, WhatIsNoPictureGivesItsErrorOrNothingAndTheDialogGoesOn)
{
    const QString rose = docs() + QStringLiteral("roser.png");
    struct Case {
        const char* what;
        std::function<void()> make;
        bool error;
    } cases[] = {
        {"text in a .png", [&] { Sandbox::writeFile(rose, "this is not a picture"); }, true},
        {"an empty file", [&] { Sandbox::writeFile(rose, ""); }, true},
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(rose).constData(), 0600), 0); }, false},
        {"a folder", [&] { QDir().mkpath(rose); }, false},
    };
    createWindows();
    auto* SpeedButton2 = control<QToolButton>(*dialog, "SpeedButton2");
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    showDialog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        goTo(43);
        QFile::remove(rose);
        QDir(rose).removeRecursively();
        c.make();
        messages.clear();
        QTest::mouseClick(SpeedButton2, Qt::LeftButton); // to Roser
        EXPECT_EQ(DBEdit1->text(), QStringLiteral("Roser"));
        EXPECT_EQ(shownPicture(), QSize()); // nothing, never Liljer's picture
        if (c.error) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].icon, MessageIcon::Error);
            EXPECT_EQ(messages[0].caption, programTitle());
            EXPECT_FALSE(messages[0].text.isEmpty());
        } else {
            EXPECT_TRUE(messages.empty());
        }
        QTest::mouseClick(SpeedButton2, Qt::LeftButton); // on: Tulipaner, no picture
        EXPECT_EQ(DBEdit1->text(), QStringLiteral("Tulipaner"));
        EXPECT_EQ(shownPicture(), QSize());
    }
}

// The file dialog itself, offscreen: its settings, the preview, the chosen path.
TEST_F(DetailPicture, OpenPictureDialogOffersPicturesWithAPreview)
{
    const QString folder = docs() + QStringLiteral("blomster");
    writePicture(folder + QStringLiteral("/stor.png"), {900, 600}, Qt::blue);
    OpenPictureDialog dialog;
    dialog.initialDir = folder;
    EXPECT_EQ(dialog.nameFilters(), (QStringList{"Alle bilder (*.jpg *.png)", "JPG (*.jpg *.jpeg)", "PNG (*.png)", "Alle (*)"}));

    bool inspected = false;
    QTimer::singleShot(0, [&] {
        auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(fd, nullptr);
        inspected = true;
        EXPECT_EQ(QDir(fd->directory()).absolutePath(), QDir(folder).absolutePath());
        EXPECT_EQ(fd->nameFilters(), dialog.nameFilters());
        EXPECT_EQ(fd->selectedNameFilter(), dialog.nameFilters().constFirst());
        EXPECT_EQ(fd->defaultSuffix(), QStringLiteral("jpg"));
        EXPECT_EQ(fd->fileMode(), QFileDialog::ExistingFile);
        EXPECT_TRUE(fd->isSizeGripEnabled());
        EXPECT_LT(fd->minimumWidth(), fd->maximumWidth());
        auto* preview = fd->findChild<PicturePreview*>(QStringLiteral("Preview"));
        ASSERT_NE(preview, nullptr);
        // A click on the file, as the user would.
        auto* files = fd->findChild<QListView*>(QStringLiteral("listView"));
        auto* model = fd->findChild<QFileSystemModel*>();
        ASSERT_TRUE(files && model);
        QModelIndex item;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            item = model->index(folder + QStringLiteral("/stor.png"));
            return item.isValid() && files->visualRect(item).isValid();
        }));
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualRect(item).center());
        EXPECT_FALSE(preview->pixmap().isNull());
        EXPECT_LE(preview->pixmap().width(), preview->width());
        QMetaObject::invokeMethod(fd, "accept"); // as the Open button does
    });
    const std::optional<QString> chosen = dialog.execute(nullptr);
    EXPECT_TRUE(inspected);
    EXPECT_EQ(chosen, std::optional<QString>(QDir::toNativeSeparators(folder + QStringLiteral("/stor.png"))));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dialog.execute(nullptr), std::nullopt);
}

// A PNG whose header announces 50,000 x 50,000 pixels (10 GB), with a few bytes of data.
QByteArray decompressionBomb()
{
    auto crc = [](const QByteArray& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (char byte : bytes) {
            c ^= quint8(byte);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    auto be32 = [](quint32 v) {
        const char bytes[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    auto chunk = [&](const char* type, const QByteArray& data) {
        const QByteArray body = QByteArray(type) + data;
        return be32(quint32(data.size())) + body + be32(crc(body));
    };
    QByteArray header = be32(50000) + be32(50000);
    header += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header)
         + chunk("IDAT", qCompress(QByteArray(4096, '\0')).mid(4)) + chunk("IEND", {});
}

TEST_F(DetailPicture, PreviewShowsNothingForWhatIsNoPicture)
{
    PicturePreview preview;
    const QString fifo = docs() + QStringLiteral("fifo.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Sandbox::writeFile(docs() + QStringLiteral("tull.png"), "no picture");
    Sandbox::writeFile(docs() + QStringLiteral("bombe.png"), decompressionBomb());
    ASSERT_EQ(QImageReader(docs() + QStringLiteral("bombe.png")).size(), QSize(50000, 50000));
    for (const QString& name : {fifo, docs() + QStringLiteral("tull.png"), docs() + QStringLiteral("bombe.png"), docs(),
                                docs() + QStringLiteral("mangler.jpg")}) {
        preview.showFile(docs() + QStringLiteral("liljer.jpg"));
        ASSERT_FALSE(preview.pixmap().isNull());
        preview.showFile(name);
        EXPECT_TRUE(preview.pixmap().isNull()) << name.toStdString();
    }
}

TEST(ShopAddress, FixedRootOrTheEnvironmentsAlwaysEndingInASlash)
{
    qunsetenv("PRISLISTE_HOME_PAGE");
    EXPECT_TRUE(homePageAddress().endsWith(QLatin1Char('/')));
    EXPECT_EQ(pictureFolderAddress(), homePageAddress() + QStringLiteral("blomster/"));
    qputenv("PRISLISTE_HOME_PAGE", "http://127.0.0.1:8080");
    EXPECT_EQ(homePageAddress(), QStringLiteral("http://127.0.0.1:8080/"));
    EXPECT_EQ(pictureFolderAddress(), QStringLiteral("http://127.0.0.1:8080/blomster/"));
    qunsetenv("PRISLISTE_HOME_PAGE");
}

} // namespace
