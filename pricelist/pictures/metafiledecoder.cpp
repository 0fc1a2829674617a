#include "pricelist/pictures/metafiledecoder.h"

#include "common/errors.h"
#include "pricelist/pictures/limitedchild.h"
#include "pricelist/pictures/metafileframe.h"
#include "pricelist/pictures/metafileprotocol.h"
#include "pricelist/pictures/picturefile.h"
#include "pricelist/pictures/picturefit.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QtEndian>

#include <cstring>

namespace {

struct HelperPath {
    QMutex mutex;
    QString path;
};

HelperPath& helperPath()
{
    static HelperPath instance;
    return instance;
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

Error notDrawn()
{
    return Error(QStringLiteral("The metafile could not be drawn"));
}

DecodedPicture drawInHelper(const char* kind, const QByteArray& bytes, QSize box)
{
    ChildLimits limits;
    limits.outputLimit = metafileHeaderBytes + qint64(box.width()) * box.height() * 4 + metafileReasonLimit;
    const ChildResult child = runLimitedChild(
        metafileHelper(), {QString::fromLatin1(kind), QString::number(box.width()), QString::number(box.height())}, bytes,
        limits);
    const QByteArray& answer = child.output;
    if (child.outcome != ChildResult::Outcome::Exited || child.code != 0 || answer.isEmpty())
        throw notDrawn();
    if (answer[0] == metafileErrorAnswer && answer.size() > 1 && answer.size() <= 1 + metafileReasonLimit)
        throw Error(QString::fromUtf8(answer.mid(1)));
    if (answer[0] != metafilePixelsAnswer || answer.size() < metafileHeaderBytes)
        throw notDrawn();

    const auto* data = reinterpret_cast<const uchar*>(answer.constData()) + 1;
    const auto size = [data](int at) { return QSize(qFromLittleEndian<qint32>(data + at), qFromLittleEndian<qint32>(data + at + 4)); };
    const QSize natural = size(0), drawn = size(8);
    const auto sane = [](int side) { return side > 0 && side <= 1000000; };
    if (!sane(natural.width()) || !sane(natural.height()) || drawn != fitToBox(natural, box)
        || answer.size() != metafileHeaderBytes + qsizetype(drawn.width()) * drawn.height() * 4)
        throw notDrawn();

    DecodedPicture picture;
    picture.naturalSize = natural;
    picture.decodedSize = drawn;
    picture.shown = QImage(drawn, QImage::Format_ARGB32_Premultiplied);
    if (picture.shown.isNull())
        throw Error(QStringLiteral("Out of memory"));
    const uchar* pixels = data + metafileHeaderBytes - 1;
    for (int y = 0; y < drawn.height(); ++y)
        std::memcpy(picture.shown.scanLine(y), pixels + qsizetype(y) * drawn.width() * 4, size_t(drawn.width()) * 4);
    return picture;
}

} // namespace

QString metafileHelper()
{
    HelperPath& helper = helperPath();
    {
        QMutexLocker lock(&helper.mutex);
        if (!helper.path.isEmpty())
            return helper.path;
    }
    const QString folder = programFolder();
    const QString beside = folder + QLatin1Char('/') + QLatin1String(metafileHelperName);
    if (QFileInfo(beside).isFile())
        return beside;
    return folder + QStringLiteral("/" PRISLISTE_HELPER_FOLDER "/") + QLatin1String(metafileHelperName);
}

void setMetafileHelper(const QString& path)
{
    HelperPath& helper = helperPath();
    QMutexLocker lock(&helper.mutex);
    helper.path = path;
}

DecodedPicture decodeWmf(PictureFile& file, QSize box)
{
    return drawInHelper("wmf", file.readAll(metafileSizeLimit), box);
}

DecodedPicture decodeEmf(PictureFile& file, QSize box)
{
    // libemf2svg trusts the record sizes it reads: a file whose records do not tile it
    // is refused here, without starting the helper.
    const QByteArray bytes = file.readAll(metafileSizeLimit);
    emfNaturalSize(bytes);
    return drawInHelper("emf", bytes, box);
}
