#include "pricelist/picturebox.h"

#include "common/errors.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::loadFromFile(const QString& path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        throw Error(reader.errorString());
    naturalSize_ = image.size();
    shown_ = std::move(image);
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (shown_.isNull())
        return;
    QPainter painter(this);
    const QPoint topLeft((width() - naturalSize_.width()) / 2, (height() - naturalSize_.height()) / 2);
    painter.drawImage(topLeft, shown_);
}
