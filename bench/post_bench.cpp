// One edit posted through the program's own windows against one raw UPDATE round trip of
// the same statement, on a private server that commits durably
// (innodb-flush-log-at-trx-commit=1) and on one that writes its log once a second (=2).
// The price list window, the detail dialog, the web folder dialog and the download window
// are created as the program creates them, bound to the table, and the first two are
// shown, on an X display (DISPLAY, or a private Xvfb) and offscreen, each platform in a
// child process. Timed apart: what setting the price does (edit state, the controls and
// the grid showing the new value, repainted), the post itself ("Lagre": the UPDATE, the
// table back to browse, the grid and the dialog's controls told), and the repaint after;
// the client's CPU time of the raw UPDATE and of the post; and, as the floor of the post's
// own work, the dialog's widgets put into the browse look directly (boxes read-only,
// buttons enabled and disabled) right after the raw UPDATE's answer, as the post does
// after its own, without the table.
//
//   bench_post [rounds] [products]      (default 1,000 rounds, 10,000 products)
//
// Left out: typing (the price is set through the table), a window manager, and a
// server on another machine.

#include "bench/benchserver.h"
#include "bench/platformchild.h"
#include "bench/xdisplay.h"
#include "bench/xwaits.h"
#include "common/messages.h"
#include "common/startup.h"
#include "common/startuperror.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbmemo.h"
#include "pricelist/prisdata.h"
#include "pricelist/prisliste.h"
#include "webdocs/HttpDownload.h"
#include "webdocs/webfoldersetup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mysql.h>
#include <string>
#include <time.h>
#include <vector>

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

MYSQL* rawConnect(unsigned port)
{
    MYSQL* m = mysql_init(nullptr);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    check(mysql_real_connect(m, "127.0.0.1", "prisliste", "Blomst24", "brisvald", port, nullptr, CLIENT_FOUND_ROWS)
              != nullptr,
          "raw connection");
    return m;
}

// CPU time of this thread (user and kernel), µs: the client's own work, without the wait
// for the server.
double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

template <class W>
W* control(QWidget& window, const char* name)
{
    W* found = window.findChild<W*>(QString::fromLatin1(name));
    check(found != nullptr, name);
    return found;
}

// The detail dialog's widgets that the edit state changes, found by name once (the
// floor below times setting them, not finding them).
struct EditLook {
    explicit EditLook(QWidget& dialog)
        : boxes{control<DBEdit>(dialog, "DBEdit1"), control<DBEdit>(dialog, "BildeEdit"),
                control<DBEdit>(dialog, "DBEdit4")},
          memo(control<DBMemo>(dialog, "DBMemo1")), save(control<QToolButton>(dialog, "SaveButton")),
          cancel(control<QToolButton>(dialog, "CancelButton")), add(control<QToolButton>(dialog, "NewButton")),
          remove(control<QToolButton>(dialog, "DelButton"))
    {
    }
    DBEdit* boxes[3];
    DBMemo* memo;
    QToolButton* save;
    QToolButton* cancel;
    QToolButton* add;
    QToolButton* remove;
};

// What the detail dialog shows in the edit state (editing) or in browse, set directly on
// its widgets: the text boxes and the memo writable or read-only, "Lagre" and "Avbryt"
// enabled or not, "Ny" and "Slett" the other way.
void showEditing(const EditLook& dialog, bool editing)
{
    for (DBEdit* box : dialog.boxes)
        box->setReadOnly(!editing);
    dialog.memo->setReadOnly(!editing);
    dialog.save->setEnabled(editing);
    dialog.cancel->setEnabled(editing);
    dialog.add->setEnabled(!editing);
    dialog.remove->setEnabled(!editing);
}

void line(const char* name, const Spread& s, const Spread& raw)
{
    std::printf("            %-30s %8.1f %8.1f %8.1f   ratio %.2f\n", name, s.at(0), s.at(0.5), s.at(1),
                s.at(0.5) / raw.at(0.5));
}

int runChild(int argc, char** argv, int rounds, unsigned port, const char* server)
{
    QTemporaryDir home;
    check(home.isValid() && QDir::setCurrent(home.path()), "working folder");
    qputenv("APPDATA", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    setMessageHandler([](const MessageRequest& r) {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MessageAnswer::Ok;
    });
    startup({}, QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));

    // As the program creates them: the list (opening the table), then the others, hidden.
    const auto list = createMainWindow<TPrislisteForm>();
    check(list != nullptr, "price list window");
    TPrisDataForm PrisDataForm(*list);
    TWebfolderForm webfolderWindow(list.get());
    THttpDownloadForm downloadWindow;
    list->show();
    PrisDataForm.show();
    check(QTest::qWaitForWindowExposed(list.get()) && QTest::qWaitForWindowExposed(&PrisDataForm), "windows shown");
    QCoreApplication::processEvents();
    const EditLook editLook(PrisDataForm);

    ProductTable& table = list->MyTable;
    table.next(); // the dialog shows the second product; the raw statement changes the first
    const int id = table.MyTableid->asInteger();
    MYSQL* raw = rawConnect(port);
    const QByteArray rawId = QByteArray::number(table.MyTableid->valueAt(0).toInt());

    Spread rawTimes, typedTimes, postTimes, paintTimes, rawCpu, postCpu, floorTimes;
    XWaits postWaits, paintWaits; // X replies waited for, summed over the rounds
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        const int price = 100 + i % 2;
        const QByteArray sql = "UPDATE product\r\nSET\r\n  price = " + QByteArray::number(price)
                               + "\r\nWHERE\r\n  id = " + rawId;
        // The dialog in the edit state's look (untimed), for the floor below.
        showEditing(editLook, true);
        QCoreApplication::processEvents();

        double cpu = threadCpu();
        timer.start();
        check(mysql_real_query(raw, sql.constData(), unsigned(sql.size())) == 0 && mysql_affected_rows(raw) == 1,
              "raw UPDATE");
        rawTimes.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        rawCpu.values.push_back(threadCpu() - cpu);

        // The floor of the post's own work: right after the server's answer, as in the
        // post, the same widgets put into the browse look directly, without the table.
        timer.start();
        showEditing(editLook, false);
        floorTimes.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        QCoreApplication::processEvents();

        // What typing the price does long before "Lagre": the edit state, the new value
        // shown by the grid and the dialog's controls.
        timer.start();
        table.edit();
        table.MyTableprice->setAsFloat(price);
        QCoreApplication::processEvents();
        typedTimes.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        // What the user waits for after "Lagre": the post, then the windows repainted.
        const XWaits beforePost = xWaitsSoFar();
        cpu = threadCpu();
        timer.start();
        table.post();
        postTimes.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        postCpu.values.push_back(threadCpu() - cpu);
        const XWaits afterPost = xWaitsSoFar();
        timer.start();
        QCoreApplication::processEvents();
        paintTimes.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        const XWaits afterPaint = xWaitsSoFar();
        postWaits.count += afterPost.count - beforePost.count;
        paintWaits.count += afterPaint.count - afterPost.count;
    }
    const QByteArray readBack = "SELECT price FROM product WHERE id = " + QByteArray::number(id);
    check(mysql_real_query(raw, readBack.constData(), unsigned(readBack.size())) == 0, "read back");
    MYSQL_RES* result = mysql_store_result(raw);
    MYSQL_ROW row = result ? mysql_fetch_row(result) : nullptr;
    check(row && std::atof(row[0]) == 100 + (rounds - 1) % 2, "the posted price is stored");
    mysql_free_result(result);
    mysql_close(raw);

    std::printf("%-9s %s, %d products, %d rounds, µs min/median/max\n",
                QGuiApplication::platformName().toLatin1().constData(), server, table.recordCount(), rounds);
    line("raw UPDATE round trip", rawTimes, rawTimes);
    line("post, windows listening", postTimes, rawTimes);
    line("repaint after the post", paintTimes, rawTimes);
    line("(typing: edit, price, repaint)", typedTimes, rawTimes);
    // The post's wall time is the round trip plus the client's CPU; the raw side's CPU is
    // the sending and receiving both sides do, so the difference is the post's own work.
    line("client CPU, raw UPDATE", rawCpu, rawTimes);
    line("client CPU, post", postCpu, rawTimes);
    line("(the dialog's widgets alone)", floorTimes, rawTimes);
    std::printf("            post's own work (median CPU, post - raw): %.1f µs; its floor, the widgets: %.1f µs\n",
                postCpu.at(0.5) - rawCpu.at(0.5), floorTimes.at(0.5));
    std::printf("            X replies waited for: %.2f per post, %.2f per repaint after it\n",
                double(postWaits.count) / rounds, double(paintWaits.count) / rounds);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, std::atoi(argv[2]), unsigned(std::atoi(qgetenv("PRISLISTE_DB_PORT"))), argv[3]);

    const std::string rounds = argc > 1 ? argv[1] : "1000";
    const int products = argc > 2 ? std::atoi(argv[2]) : 10000;
    const XDisplay display;
    std::printf("bench_post: X display %s%s\n", display.name().c_str(), display.isPrivate() ? " (private Xvfb)" : "");
    const struct {
        const char* name;
        const char* options;
    } servers[] = {{"durable commits (flush-log-at-trx-commit=1)", "--innodb-flush-log-at-trx-commit=1"},
                   {"log written once a second (flush-log-at-trx-commit=2)", "--innodb-flush-log-at-trx-commit=2"}};
    for (const auto& s : servers) {
        BenchServer server("256M", s.options);
        server.fill(products);
        std::fflush(stdout);
        ::setenv("PRISLISTE_DB_HOST", "127.0.0.1", 1);
        ::setenv("PRISLISTE_DB_PORT", std::to_string(server.port()).c_str(), 1);
        runOnPlatform("xcb", display.name(), {"--child", rounds, s.name});
        runOnPlatform("offscreen", {}, {"--child", rounds, s.name});
    }
    return 0;
}
