// The detail dialog's picture box against a full decode with QImageReader, side by side
// in one run, on an X display (an Xvfb of its own when DISPLAY is unset). For a
// 24-megapixel baseline JPEG, the same photo progressive, and a small picture:
// - the time from loading the file into a shown 270 x 270 box until it is painted on the
//   display, against QImageReader's full decode painted the same way (and its bare read);
// - the heap held for the shown picture;
// - a repeated load of the unchanged file, as on each keystroke in the out-price box.
// Files come from the page cache on both sides; the detail dialog around the box is left out.
#include "pricelist/picturebox.h"
#include "tests/pictures/picturefixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int runs = 15;

// Heap in use, large blocks that malloc maps of their own included.
long long heapInUse()
{
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// What the stand-in did before: decode the whole file, draw it centred, cut by the box.
class FullDecodeBox : public QWidget {
public:
    explicit FullDecodeBox(QWidget* parent) : QWidget(parent) { resize(270, 270); }
    void load(const QString& path)
    {
        image_ = QImageReader(path).read();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(QPoint((width() - image_.width()) / 2, (height() - image_.height()) / 2), image_);
    }

private:
    QImage image_;
};

struct Stats {
    double min, median, max;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void printRow(const char* what, const Stats& s)
{
    std::printf("  %-44s min %8.2f  median %8.2f  max %8.2f ms\n", what, s.min, s.median, s.max);
}

// A photo-like picture: smooth light with fine noise, so that it compresses like a photo.
QImage photo(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(24);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(random.bounded(24u)) - 12;
            line[x] = qRgb(std::clamp(x * 200 / size.width() + 30 + n, 0, 255),
                           std::clamp(y * 180 / size.height() + 40 + n, 0, 255),
                           std::clamp(((x / 40 + y / 40) % 2) * 90 + 60 + n, 0, 255));
        }
    }
    return image;
}

// One fresh box of each kind per run, shown before the clock starts; the clock stops when
// the display has the painted box. held gets the heap the loaded picture keeps.
template <typename Box, typename Load>
double loadAndPaint(QWidget& window, long long& held, Load load)
{
    Box box(&window);
    box.show();
    QApplication::processEvents();
    const long long before = heapInUse();
    QElapsedTimer timer;
    timer.start();
    load(box);
    box.repaint();
    QGuiApplication::sync();
    const double ms = timer.nsecsElapsed() / 1e6;
    held = heapInUse() - before;
    return ms;
}

void compare(const char* title, const QString& path)
{
    std::printf("%s (%s, %.1f MB)\n", title, qPrintable(QFileInfo(path).fileName()),
                QFileInfo(path).size() / 1e6);
    QWidget window;
    window.resize(300, 300);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("  (the window was not exposed)\n");

    std::vector<double> ours, theirs, oursAlone, bareRead;
    long long oursHeld = 0, theirsHeld = 0;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        ours.push_back(loadAndPaint<PictureBox>(window, oursHeld, [&](PictureBox& b) { b.loadFromFile(path); }));
        theirs.push_back(loadAndPaint<FullDecodeBox>(window, theirsHeld, [&](FullDecodeBox& b) { b.load(path); }));
        {
            PictureBox box;
            timer.start();
            box.loadFromFile(path);
            oursAlone.push_back(timer.nsecsElapsed() / 1e6);
        }
        timer.start();
        const QImage bare = QImageReader(path).read();
        bareRead.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats o = stats(ours), t = stats(theirs), oa = stats(oursAlone), b = stats(bareRead);
    printRow("PictureBox: load + paint on the display", o);
    printRow("QImageReader: full decode + paint", t);
    printRow("PictureBox: load alone (no widget shown)", oa);
    printRow("QImageReader: full decode alone", b);
    std::printf("  ratio of medians: load + paint %.2fx, decode alone %.2fx\n", o.median / t.median,
                oa.median / b.median);
    std::printf("  heap held for the shown picture: PictureBox %.1f KB, full decode %.1f KB (box's pixels: %.1f KB)\n",
                oursHeld / 1024.0, theirsHeld / 1024.0, 270 * 270 * 4 / 1024.0);

    PictureBox box(&window);
    box.show();
    box.loadFromFile(path);
    std::vector<double> again;
    for (int i = 0; i < 1000; ++i) {
        timer.start();
        box.loadFromFile(path);
        again.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats a = stats(again);
    std::printf("  %-44s min %8.1f  median %8.1f  max %8.1f us\n", "repeated load of the unchanged file",
                a.min * 1000, a.median * 1000, a.max * 1000);
    std::printf("  decodes for 1001 loads: %d\n\n", box.decodeCount());
}

} // namespace

int main(int argc, char** argv)
{
    // Measured as the user sees it: on an X display, never offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("PICTURE_BENCH_IN_XVFB")) {
        qputenv("PICTURE_BENCH_IN_XVFB", "1");
        std::vector<char*> args {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                 const_cast<char*>("-s"), const_cast<char*>("-screen 0 1280x1024x24")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        ::execvp("xvfb-run", args.data());
        std::perror("xvfb-run");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QImage big = photo(QSize(6000, 4000));
    const QString baseline = dir.filePath(QStringLiteral("photo-baseline.jpg"));
    const QString progressive = dir.filePath(QStringLiteral("photo-progressive.jpg"));
    const QString small = dir.filePath(QStringLiteral("small.jpg"));
    writeBytes(baseline, jpegBytes(big, JpegKind::Baseline, 90));
    writeBytes(progressive, jpegBytes(big, JpegKind::Progressive, 90));
    writeBytes(small, jpegBytes(photo(QSize(240, 180)), JpegKind::Baseline, 90));

    std::printf("Picture box against QImageReader, %d interleaved runs each, on display %s\n\n", runs,
                qgetenv("DISPLAY").constData());
    compare("24-megapixel baseline JPEG, 6000 x 4000", baseline);
    compare("24-megapixel progressive JPEG, 6000 x 4000", progressive);
    compare("small JPEG, 240 x 180", small);
    return 0;
}
