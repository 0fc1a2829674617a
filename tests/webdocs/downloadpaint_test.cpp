// What the download window paints, and when: the new file name and "0%" before the
// request goes out, and the bar and the percentage at every piece.

#include "tests/webdocs/downloadfixture.h"
#include "webdocs/httpclient.h"

#include <QExposeEvent>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

namespace {

// Calls onPaint at each paint of the watched widget.
class PaintProbe : public QObject {
public:
    PaintProbe(QWidget* widget, std::function<void()> onPaint) : widget_(widget), onPaint_(std::move(onPaint))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget_ && event->type() == QEvent::Paint)
            onPaint_();
        return false;
    }

private:
    QWidget* widget_;
    std::function<void()> onPaint_;
};

struct NamePaint {
    QString name, percent;
    qsizetype requestsSoFar;
};

// The file name, the percentage and the requests the server has seen, at each paint of the
// file name.
class NamePaints : public PaintProbe {
public:
    NamePaints(THttpDownloadForm& form, HttpTestServer& server)
        : PaintProbe(form.LFileName, [this, &form, &server] {
              list.push_back({form.LFileName->text(), form.LPercent->text(), server.requests().size()});
          })
    {
    }
    std::vector<NamePaint> list;
};

// Stands for a window system (or window manager) that puts a shown window on the screen
// late: the exposure of the window is held back and handed on after delayMs, or never
// when delayMs is negative.
class LateExposure : public QObject {
public:
    LateExposure(QWindow* window, int delayMs) : window_(window), delayMs_(delayMs) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || event->type() != QEvent::Expose || replaying_)
            return false;
        // The event's region tells an exposure from an unexposure (empty); Qt 6 deprecates
        // reading it, but a stand-in window system has to.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        const QRegion region = static_cast<QExposeEvent*>(event)->region();
        QT_WARNING_POP
        if (region.isEmpty())
            return false;
        if (delayMs_ >= 0)
            QTimer::singleShot(delayMs_, this, [this, region] {
                replaying_ = true;
                QExposeEvent late(region);
                QCoreApplication::sendEvent(window_, &late);
                replaying_ = false;
            });
        return true;
    }

private:
    QWindow* window_;
    int delayMs_;
    bool replaying_ = false;
};

} // namespace

using DownloadPaintTest = DownloadFixture;

TEST_F(DownloadPaintTest, NewNameAndZeroPercentArePaintedBeforeTheRequestNeverTheLastOnes)
{
    server.enqueue(HttpAnswer::withLength(200, "OK", "first"));
    ASSERT_TRUE(fetch(QStringLiteral("/a.jpg"), QStringLiteral("a.jpg")));
    ASSERT_EQ(form.LPercent->text(), QStringLiteral("100%"));

    for (const bool shownBefore : {false, true}) { // a new download, and a double-click on the shown window
        SCOPED_TRACE(shownBefore ? "window already shown" : "window hidden");
        NamePaints names(form, server);
        std::vector<NamePaint>& paints = names.list;
        const qsizetype requestsBefore = server.requests().size();
        server.enqueue(HttpAnswer::withLength(200, "OK", "second"));
        if (shownBefore) {
            form.show();
            QCoreApplication::processEvents();
            paints.clear();
            form.DownloadFile = path(QStringLiteral("c.jpg"));
            form.FormDblClick();
        } else {
            ASSERT_TRUE(fetch(QStringLiteral("/b.jpg"), QStringLiteral("b.jpg")));
        }
        const QString name = path(QLatin1String(shownBefore ? "c.jpg" : "b.jpg"));
        ASSERT_FALSE(paints.empty());
        EXPECT_EQ(paints.front().name, name);
        EXPECT_EQ(paints.front().percent, QStringLiteral("0%"));
        EXPECT_EQ(paints.front().requestsSoFar, requestsBefore);
        for (const NamePaint& p : paints)
            EXPECT_EQ(p.name, name);
        EXPECT_EQ(Sandbox::readFile(name), "second");
    }
}

TEST_F(DownloadPaintTest, BarAndPercentArePaintedTogetherAtEveryPiece)
{
    server.enqueue(HttpAnswer::withLength(200, "OK", QByteArray(300, 'x')).slowly(100, 40));
    form.client().pieceSize = 100;
    std::vector<std::pair<int, QString>> barPaints; // the bar's value and the percentage, at each bar paint
    PaintProbe bar(form.ProgressBar1, [&] {
        const auto now = std::make_pair(form.ProgressBar1->value(), form.LPercent->text());
        if (barPaints.empty() || barPaints.back() != now)
            barPaints.push_back(now);
    });

    ASSERT_TRUE(fetch(QStringLiteral("/slow.jpg")));
    // Before the first piece the bar still shows the last download's end.
    std::erase_if(barPaints, [](const auto& p) { return p.first <= 0; });
    ASSERT_GE(barPaints.size(), 3u);
    int previous = 0;
    for (const auto& [value, percent] : barPaints) {
        EXPECT_GT(value, previous);
        EXPECT_EQ(percent, QString::number(value * 100 / 300) + u'%'); // never one piece behind the bar
        previous = value;
    }
    EXPECT_EQ(barPaints.back().first, 300);
    EXPECT_EQ(percents.texts.size(), qsizetype(barPaints.size()) + 1); // "0%", then one per piece
}

TEST_F(DownloadPaintTest, WindowPutOnTheScreenLateIsStillPainted)
{
    form.winId(); // the native window, which the late exposure watches
    const struct {
        const char* name;
        int exposeAfterMs, waitAtMostMs;
        bool paintedBeforeRequest;
    } cases[] = {
        {"within the wait", 60, 5000, true},
        {"during the transfer", 150, 20, false},
        {"never", -1, 20, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LateExposure late(form.windowHandle(), c.exposeAfterMs);
        form.exposeWait = c.waitAtMostMs;
        NamePaints names(form, server);
        std::vector<NamePaint>& paints = names.list;
        const qsizetype requestsBefore = server.requests().size();
        // Three pieces over some 400 ms: a late exposure comes while the body arrives.
        server.enqueue(HttpAnswer::withLength(200, "OK", QByteArray(300, 'x')).slowly(100, 130));
        ASSERT_TRUE(fetch(QStringLiteral("/late.jpg"), QStringLiteral("late.jpg")));
        EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("late.jpg"))), QByteArray(300, 'x'));
        if (c.exposeAfterMs < 0) {
            EXPECT_TRUE(paints.empty());
            continue;
        }
        ASSERT_FALSE(paints.empty());
        EXPECT_EQ(paints.front().name, path(QStringLiteral("late.jpg")));
        if (c.paintedBeforeRequest) {
            EXPECT_EQ(paints.front().percent, QStringLiteral("0%"));
            EXPECT_EQ(paints.front().requestsSoFar, requestsBefore);
        } else {
            EXPECT_NE(paints.front().percent, QStringLiteral("100%")); // while the body still came
        }
        QTest::qWait(200); // the exposure of a hidden window that a late timer may still hand on
    }
}
