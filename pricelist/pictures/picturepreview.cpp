#include "pricelist/pictures/picturepreview.h"

#include <QFileInfo>
#include <QImageReader>

namespace {
constexpr int side = 180;
}

PicturePreview::PicturePreview(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Preview"));
    setFixedWidth(side);
    setMinimumHeight(side);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
}

void PicturePreview::showFile(const QString& path)
{
    clear();
    // Only regular files: reading a FIFO or a device could block for ever.
    if (!QFileInfo(path).isFile())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const QSize box(side - 8, side - 8);
    // Decoders that can, decode straight to the small size; the reader's allocation limit
    // refuses pictures too large to hold.
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height()))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return;
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(QPixmap::fromImage(image));
}
