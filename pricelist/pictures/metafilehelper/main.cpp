// The metafile helper: draws one WMF or EMF at the size that fits a box and hands back
// the pixels. The metafile libraries read untrusted files and have crashed on crafted
// ones, so they run here, in a short-lived process the program limits, never in it.

#include "common/errors.h"
#include "pricelist/pictures/metafilehelper/metafilesvg.h"
#include "pricelist/pictures/metafileframe.h"
#include "pricelist/pictures/metafileprotocol.h"
#include "pricelist/pictures/picturefit.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void writeAll(const char* data, qsizetype length)
{
    while (length > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size_t(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            _exit(3);
        data += n;
        length -= n;
    }
}

[[noreturn]] void answerError(const QString& reason)
{
    const QByteArray text = metafileErrorAnswer + reason.toUtf8().left(metafileReasonLimit);
    writeAll(text.constData(), text.size());
    _exit(0);
}

QByteArray readInput()
{
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            _exit(3);
        if (n == 0)
            return bytes;
        if (bytes.size() + n > metafileSizeLimit)
            answerError(QStringLiteral("The metafile is too large"));
        bytes.append(buffer, n);
    }
}

// The SVG comes from the metafile's own records; Qt SVG would load any file an image
// element names, so only pictures carried inside the SVG are allowed.
bool refersOutside(const QByteArray& svg)
{
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (attribute.name() != QLatin1String("href"))
                continue;
            const QStringView value = attribute.value().trimmed();
            if (!value.startsWith(QLatin1Char('#')) && !value.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

// The libraries have read past the end of their input: the bytes are placed so that they
// end right before a page that cannot be read, and such a read ends this process.
QByteArray beforeGuardPage(const QByteArray& input)
{
    const qsizetype page = ::sysconf(_SC_PAGESIZE);
    const qsizetype length = (input.size() + page - 1) / page * page;
    void* area = ::mmap(nullptr, size_t(length + page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED)
        answerError(QStringLiteral("Out of memory"));
    char* guard = static_cast<char*>(area) + length;
    if (::mprotect(guard, size_t(page), PROT_NONE) != 0)
        answerError(QStringLiteral("Out of memory"));
    char* start = guard - input.size();
    std::memcpy(start, input.constData(), size_t(input.size()));
    // Not freed: the process ends after this one picture.
    return QByteArray::fromRawData(start, input.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const QByteArray kind = argv[1];
    const QSize box(std::atoi(argv[2]), std::atoi(argv[3]));
    if ((kind != "wmf" && kind != "emf") || box.isEmpty())
        return 2;

    // Fonts for the metafiles' texts need a GUI application; no window is ever shown.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(qtArgc, qtArgv);

    try {
        const QByteArray input = beforeGuardPage(readInput());
        const MetafileSvg svg = kind == "wmf" ? wmfToSvg(input) : emfToSvg(input);
        if (refersOutside(svg.svg))
            answerError(QStringLiteral("The metafile could not be drawn"));
        QSvgRenderer renderer(svg.svg);
        if (!renderer.isValid())
            answerError(QStringLiteral("Metafile is not valid"));
        const QSize fitted = fitToBox(svg.naturalSize, box);
        QImage image(fitted, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            answerError(QStringLiteral("Out of memory"));
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(fitted)));
        }
        char header[metafileHeaderBytes];
        header[0] = metafilePixelsAnswer;
        const int sizes[] = {svg.naturalSize.width(), svg.naturalSize.height(), fitted.width(), fitted.height()};
        for (int i = 0; i < 4; ++i)
            qToLittleEndian<qint32>(sizes[i], header + 1 + 4 * i);
        writeAll(header, sizeof header);
        for (int y = 0; y < image.height(); ++y)
            writeAll(reinterpret_cast<const char*>(image.constScanLine(y)), qsizetype(image.width()) * 4);
    } catch (const Error& error) {
        answerError(error.message());
    } catch (const std::bad_alloc&) {
        answerError(QStringLiteral("Out of memory"));
    }
    // No exit handlers: the answer is complete, and nothing is left to tidy.
    _exit(0);
}
