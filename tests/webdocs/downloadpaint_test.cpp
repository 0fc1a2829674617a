// What the download window paints, and when: the new file name and "0%" before the
// request goes out, and the bar and the percentage at every piece.

#include "tests/webdocs/downloadfixture.h"
#include "webdocs/httpclient.h"

#include <QProgressBar>
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

} // namespace

using DownloadPaintTest = DownloadFixture;

TEST_F(DownloadPaintTest, NewNameAndZeroPercentArePaintedBeforeTheRequestNeverTheLastOnes)
{
    server.enqueue(HttpAnswer::withLength(200, "OK", "first"));
    ASSERT_TRUE(fetch(QStringLiteral("/a.jpg"), QStringLiteral("a.jpg")));
    ASSERT_EQ(form.LPercent->text(), QStringLiteral("100%"));

    for (const bool shownBefore : {false, true}) { // a new download, and a double-click on the shown window
        SCOPED_TRACE(shownBefore ? "window already shown" : "window hidden");
        struct Paint {
            QString name, percent;
            qsizetype requestsSoFar;
        };
        std::vector<Paint> paints;
        PaintProbe names(form.LFileName, [&] {
            paints.push_back({form.LFileName->text(), form.LPercent->text(), server.requests().size()});
        });
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
        for (const Paint& p : paints)
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
