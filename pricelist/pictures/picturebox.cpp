#include "pricelist/pictures/picturebox.h"

#include "pricelist/pictures/picturecache.h"
#include "pricelist/pictures/picturefit.h"

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

    bool decodedHere = false;
    DecodedPicture picture;
    try {
        picture = PictureCache::instance().load(path, size(), &decodedHere);
    } catch (...) {
        decodeCount_ += decodedHere ? 1 : 0;
        throw;
    }
    decodeCount_ += decodedHere ? 1 : 0;
    shown_ = std::move(picture.shown);
    naturalSize_ = picture.naturalSize;
    shownAt_ = placeInBox(shown_.size(), size());
    shownKey_ = identified ? std::optional(key) : std::nullopt;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(shownAt_, shown_);
}
