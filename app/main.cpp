// The program: start-up, the windows, the event loop, shutdown.
#include "common/firstpaintprobe.h"
#include "common/qttranslations.h"
#include "common/quitsignal.h"
#include "common/startup.h"
#include "common/startuperror.h"
#include "db/earlyopen.h"
#include "packaging/programicon.h"
#include "pricelist/connectionvalues.h"
#include "pricelist/prisdata.h"
#include "pricelist/export/exportcommands.h"
#include "pricelist/prisliste.h"
#include "pricelist/productsession.h"
#include "pricelist/producttable.h"
#include "pricelist/shopaddress.h"
#include "webdocs/HttpDownload.h"
#include "webdocs/webfoldersetup.h"

#include <QApplication>
#include <QDir>
#include <QWindow>

namespace {

// The export's product session, without a window: a failed open ends the program as a
// main window that cannot be made does.
std::unique_ptr<ProductSession> openExportSession(std::unique_ptr<EarlyOpen> early)
{
    try {
        auto session = std::make_unique<ProductSession>(std::move(early));
        session->open();
        return session;
    } catch (const std::exception& e) {
        reportStartupError(e);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    // "--export": the nightly export needs no display and shows no box.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(rawArguments);
    if (line.hasExport)
        prepareWindowlessExport();

    // The server sorts the product list while Qt starts and the windows are made. A faulty
    // connection file is reported when the main window opens the table.
    auto early = std::make_unique<EarlyOpen>();
    try {
        early->start(productDatabaseSettings(), ProductTable::listSelect());
    } catch (const std::exception&) {
    }

    QApplication app(argc, argv);
    loadQtTranslations();
    useProgramIcon();
    startup(app.arguments().mid(1), QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    if (line.hasExport) {
        const auto session = openExportSession(std::move(early));
        if (session)
            logConnection(session->MyConnection);
        const int exitCode = session ? exportFromCommandLine(session->MyTable, line.exportFormats, shopName()) : 1;
        shutdown();
        return exitCode;
    }

    // Creating the main window opens the product table; when that fails the program ends.
    const auto mainWindow = createMainWindow<TPrislisteForm>(std::move(early));
    int exitCode = 1;
    if (mainWindow) {
        logConnection(mainWindow->MyConnection);
        // The other windows are created here, hidden, in start-up order.
        TPrisDataForm PrisDataForm(*mainWindow);
        TWebfolderForm webfolderWindow(mainWindow.get()); // the advanced one is made per use
        THttpDownloadForm downloadWindow; // last; downloadtofile uses it

        // The event loop runs until the main window closes, whatever else is open.
        app.setQuitOnLastWindowClosed(false);
        closeOnQuitSignal(mainWindow.get());
        reportFirstPaint(mainWindow.get());
        mainWindow->show();
        QObject::connect(mainWindow->windowHandle(), &QWindow::visibleChanged, &app, [](bool visible) {
            if (!visible)
                QCoreApplication::quit();
        });
        exitCode = app.exec();
    }
    shutdown();
    return exitCode;
}
