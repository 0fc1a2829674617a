#pragma once
// The price list window and the detail dialog over the real product table, with the
// settings file in a private working folder, a fixed user ("kari") and desktop, and the
// message boxes answered at once and remembered.

#include "common/hs_reg.h"
#include "common/messages.h"
#include "common/windowplacement.h"
#include "dbcontrols/dbedit.h"
#include "pricelist/pictures/picturebox.h"
#include "pricelist/prisdata.h"
#include "pricelist/prisliste.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QApplication>
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

// The control of that object name in a window. The test fails, and goes no further, when
// the window holds none, more than one, or one of another kind.
template <class W>
W* control(QWidget& window, const char* name)
{
    const QList<QWidget*> found = window.findChildren<QWidget*>(QString::fromLatin1(name));
    W* match = found.size() == 1 ? dynamic_cast<W*>(found.front()) : nullptr;
    if (!match) {
        ADD_FAILURE() << window.objectName().toStdString() << " has " << found.size() << " controls named " << name
                      << (found.size() == 1 ? " of another kind" : "");
        throw std::runtime_error(name);
    }
    return match;
}

class DetailFixture : public ::testing::Test {
protected:
    DetailFixture()
    {
        WindowPlacement::instance().reset();
        WindowPlacement::instance().setDesktopSize([] { return QSize(1920, 1080); });
        testdb::pointProgramAtServer();
        SettingsStore& store = SettingsStore::instance();
        store.reset();
        store.settingsFolder = sandbox.workFolder() + QLatin1Char('/');
        store.settingsFilePath = store.settingsFolder + QStringLiteral("kvarnelo.ini");
        openini(store.settingsFilePath);
        setMessageHandler([this](const MessageRequest& r) {
            messages.push_back(r);
            return answer;
        });
        admin.exec(QStringLiteral("DELETE FROM product"));
        admin.exec(QStringLiteral(
            "INSERT INTO product (id, producttext, price, web, sale, picture, object_text) VALUES "
            "(41, 'Roser', 100, 0, 1, 'roser.png', 'Røde roser'), (42, 'Tulipaner', 20, 0, 0, NULL, NULL), "
            "(43, 'Liljer', 80, 0, 0, 'liljer.jpg', NULL), (44, 'Amaryllis', 9.99, 1, 0, '', NULL)"));
    }
    ~DetailFixture() override
    {
        dialog.reset();
        list.reset();
        setMessageHandler({});
        SettingsStore::instance().reset();
        WindowPlacement::instance().reset();
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
        qunsetenv("PRISLISTE_HOME_PAGE");
    }

    // The two windows, as start-up creates them: the list first, the dialog hidden.
    void createWindows()
    {
        list = std::make_unique<TPrislisteForm>();
        dialog = std::make_unique<TPrisDataForm>(*list);
    }
    void showDialog()
    {
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    ProductTable& table() { return list->MyTable; }

    // Moves straight to the product, as a click in the list does.
    void goTo(int id)
    {
        ProductTable& t = table();
        int row = 0;
        while (row < t.recordCount() && t.MyTableid->valueAt(row).toInt() != id)
            ++row;
        ASSERT_LT(row, t.recordCount()) << id;
        t.moveTo(row);
    }
    int rowOf(int id)
    {
        for (int row = 0; row < table().recordCount(); ++row)
            if (table().MyTableid->valueAt(row).toInt() == id)
                return row;
        return -1;
    }
    QString stored(const QString& expression, int id)
    {
        const QStringList values =
            admin.column(QStringLiteral("SELECT %1 FROM product WHERE id = %2").arg(expression).arg(id));
        return values.isEmpty() ? QStringLiteral("<no row>") : values.front();
    }
    // The statements the price list's connection sent, log-in left out.
    QStringList sent()
    {
        QStringList log = admin.sessionLog(list->MyConnection.serverThreadId());
        log.removeIf([](const QString& l) { return l.startsWith(QLatin1String("Connect ")); });
        return log;
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const MessageRequest& r : messages)
            texts << r.text;
        return texts;
    }

    // A picture file of one colour, in the format its extension names.
    static QByteArray pictureBytes(QSize size, QColor colour, const char* format)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    static void writePicture(const QString& path, QSize size, QColor colour = Qt::red)
    {
        const char* format = path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? "PNG" : "JPEG";
        Sandbox::writeFile(path, pictureBytes(size, colour, format));
    }
    // The local document folder (DOC_LOCAL) with its separator.
    QString docs() const { return sandbox.workFolder() + QStringLiteral("/docs/"); }
    void useLocalPictures(bool useImages = true)
    {
        writeinistring(QStringLiteral("DOC_LOCAL"), docs());
        writeinibool(QStringLiteral("DOC_URL_USEIMAGES"), useImages);
    }
    // What the picture box shows: its picture's size, or an empty size while it is hidden.
    QSize shownPicture() const
    {
        const PictureBox* box = control<PictureBox>(*dialog, "Image1");
        return box->isHidden() ? QSize() : box->pictureSize();
    }

    Sandbox sandbox;
    ScopedPlatform platform;
    testdb::Admin admin;
    std::vector<MessageRequest> messages;
    MessageAnswer answer = MessageAnswer::Ok;
    std::unique_ptr<TPrislisteForm> list;
    std::unique_ptr<TPrisDataForm> dialog;
};
