// The detail dialog's picture box against QImageReader, side by side in one run, on an X
// display (an Xvfb of its own when DISPLAY is unset). For a 24-megapixel baseline JPEG, the
// same photo progressive, and a small 240 x 180 JPEG, interleaved:
// - the time from loading the file into a shown 270 x 270 box until it is painted on the
//   display (a first showing, the picture cache emptied), against QImageReader told the
//   fitted size (setScaledSize) and against its full decode scaled smoothly, painted the
//   same way; and each decode alone;
// - "Neste" to a neighbour the cache's worker has decoded ahead;
// - the heap held for the shown picture;
// - a repeated load of the unchanged file, as on each keystroke in the out-price box.
// Then a WMF and an EMF shown, each drawn by the metafile helper process, against a
// limited child that does nothing. Files come from the page cache on both sides; the
// detail dialog around the box, the table's move and finddocument are left out.
#include "pricelist/pictures/picturebox.h"
#include "pricelist/pictures/limitedchild.h"
#include "pricelist/pictures/picturecache.h"
#include "pricelist/pictures/picturefit.h"
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
#include <sys/resource.h>
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

// A full decode with Qt's reader, scaled smoothly to the fitted size and drawn centred.
class FullDecodeBox : public QWidget {
public:
    explicit FullDecodeBox(QWidget* parent) : QWidget(parent) { resize(270, 270); }
    void load(const QString& path)
    {
        const QImage full = QImageReader(path).read();
        setImage(full.scaled(fitToBox(full.size(), size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    void setImage(QImage image)
    {
        image_ = std::move(image);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(placeInBox(image_.size(), size()), image_);
    }

private:
    QImage image_;
};

// Qt's reader told the fitted size before it reads (its JPEG handler then scales while
// decoding, as the well-kept library's best).
class ScaledReaderBox : public FullDecodeBox {
public:
    using FullDecodeBox::FullDecodeBox;
    void load(const QString& path)
    {
        QImageReader reader(path);
        reader.setScaledSize(fitToBox(reader.size(), size()));
        setImage(reader.read());
    }
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

double medianRatio(const Stats& a, const Stats& b)
{
    return a.median / b.median;
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

    PictureCache& cache = PictureCache::instance();
    std::vector<double> ours, scaled, full, neighbour, oursAlone, scaledAlone, fullAlone;
    long long oursHeld = 0, scaledHeld = 0, fullHeld = 0, neighbourHeld = 0;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        cache.clear(); // a first showing: decoded on this thread
        ours.push_back(loadAndPaint<PictureBox>(window, oursHeld, [&](PictureBox& b) { b.loadFromFile(path); }));
        scaled.push_back(loadAndPaint<ScaledReaderBox>(window, scaledHeld, [&](ScaledReaderBox& b) { b.load(path); }));
        full.push_back(loadAndPaint<FullDecodeBox>(window, fullHeld, [&](FullDecodeBox& b) { b.load(path); }));
        // "Neste" to a neighbour the worker has decoded meanwhile.
        cache.clear();
        cache.prefetch({path}, QSize(270, 270));
        cache.waitUntilIdle();
        neighbour.push_back(loadAndPaint<PictureBox>(window, neighbourHeld, [&](PictureBox& b) { b.loadFromFile(path); }));
        cache.clear();
        {
            PictureBox box;
            timer.start();
            box.loadFromFile(path);
            oursAlone.push_back(timer.nsecsElapsed() / 1e6);
        }
        {
            timer.start();
            QImageReader reader(path);
            reader.setScaledSize(fitToBox(reader.size(), QSize(270, 270)));
            const QImage image = reader.read();
            scaledAlone.push_back(timer.nsecsElapsed() / 1e6);
        }
        timer.start();
        const QImage bare = QImageReader(path).read();
        fullAlone.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats o = stats(ours), sc = stats(scaled), f = stats(full), n = stats(neighbour);
    const Stats oa = stats(oursAlone), sa = stats(scaledAlone), fa = stats(fullAlone);
    printRow("PictureBox: load + paint (first showing)", o);
    printRow("QImageReader, scaled size: load + paint", sc);
    printRow("QImageReader, full decode + smooth scale + paint", f);
    printRow("PictureBox: Neste to a prefetched neighbour", n);
    printRow("PictureBox: load alone (no widget shown)", oa);
    printRow("QImageReader, scaled size: read alone", sa);
    printRow("QImageReader: full decode alone", fa);
    std::printf("  ratio of medians, load + paint: %.3fx QImageReader scaled, %.3fx full decode\n",
                medianRatio(o, sc), medianRatio(o, f));
    std::printf("  ratio of medians, decode alone: %.3fx QImageReader scaled, %.3fx full decode\n",
                medianRatio(oa, sa), medianRatio(oa, fa));
    std::printf("  heap held for the shown picture: PictureBox %.1f KB (and the cache's copy: shared), "
                "scaled reader %.1f KB, full decode %.1f KB (box's pixels: %.1f KB)\n",
                oursHeld / 1024.0, scaledHeld / 1024.0, fullHeld / 1024.0, 270 * 270 * 4 / 1024.0);

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
    std::printf("  %-44s min %8.1f  median %8.1f  max %8.1f us\n", "repeated load (a keystroke in Utpris)",
                a.min * 1000, a.median * 1000, a.max * 1000);
    std::printf("  decodes for 1001 loads: %d\n\n", box.decodeCount());
}

double childCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Each metafile is drawn by a helper process: its cost per showing, against the floor of
// any child (the same limits, the same pipes, /bin/true).
void compareMetafile(const char* title, const QString& path)
{
    std::printf("%s (%s)\n", title, qPrintable(QFileInfo(path).fileName()));
    QWidget window;
    window.resize(300, 300);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    std::vector<double> shown, floor, shownCpu;
    long long held = 0;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        PictureCache::instance().clear();
        const double cpu = childCpuMs();
        shown.push_back(loadAndPaint<PictureBox>(window, held, [&](PictureBox& b) { b.loadFromFile(path); }));
        shownCpu.push_back(childCpuMs() - cpu);
        timer.start();
        runLimitedChild(QStringLiteral("/bin/true"), {}, QByteArray(1000, 'x'));
        floor.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats s = stats(shown), f = stats(floor), c = stats(shownCpu);
    printRow("PictureBox: load + paint (helper process)", s);
    printRow("  of it the helper's CPU time (user + kernel)", c);
    printRow("a limited child that does nothing (/bin/true)", f);
    std::printf("  ratio of medians: %.2fx the empty child\n\n", medianRatio(s, f));
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

    const QString wmf = dir.filePath(QStringLiteral("logo.wmf"));
    const QString emf = dir.filePath(QStringLiteral("logo.emf"));
    writeBytes(wmf, wmfBytes(QSize(600, 400), Qt::red));
    writeBytes(emf, emfBytes(QSize(600, 400), Qt::blue));
    compareMetafile("WMF, 600 x 400", wmf);
    compareMetafile("EMF, 600 x 400", emf);
    return 0;
}
