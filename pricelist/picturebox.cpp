#include "pricelist/picturebox.h"

#include "pricelist/pictures/picturefit.h"
#include "pricelist/pictures/picturedecoder.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    resize(270, 270);
}

void PictureBox::loadFromFile(const QString& path)
{
    // The dialog calls this on every keystroke: an unchanged file costs one stat().
    LoadKey key {path, {}, size()};
    const bool identified = PictureFile::identify(path, key.file);
    if (identified && shownKey_ == key)
        return;
    if (identified && failedKey_ == key)
        throw *failure_;

    ++decodeCount_;
    try {
        DecodedPicture picture = decodePicture(path, size());
        shown_ = std::move(picture.shown);
        naturalSize_ = picture.naturalSize;
        shownAt_ = placeInBox(shown_.size(), size());
    } catch (const Error& error) {
        failedKey_ = identified ? std::optional(key) : std::nullopt;
        failure_ = error;
        throw;
    }
    shownKey_ = identified ? std::optional(key) : std::nullopt;
    failedKey_.reset();
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(shownAt_, shown_);
}
