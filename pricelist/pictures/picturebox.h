#pragma once
// Image1 of the product detail dialog: one picture, centred; a picture larger than the box
// is shown whole, scaled down to fit it. Only the fitted picture is kept.

#include "pricelist/pictures/picturefile.h"

#include <QImage>
#include <QWidget>

#include <optional>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Replaces the picture shown by the file's picture; the decoder is picked by the file's
    // extension in any letter case. Throws Error ("Unknown picture file extension (.%s)",
    // or the decoder's own message) and then keeps the picture shown before. A file the
    // picture cache holds unchanged (same path, inode, size and times, same box size) is
    // not decoded again; when that file failed, its error is raised again without decoding.
    void loadFromFile(const QString& path);

    bool hasPicture() const { return !naturalSize_.isEmpty(); }
    // The picture's own size, not the size it is shown at.
    QSize pictureSize() const { return naturalSize_; }
    // What the box holds of the picture: the picture at the size it is shown at.
    const QImage& shownPart() const { return shown_; }
    // Where shownPart()'s top-left corner is drawn in the box.
    QPoint shownAt() const { return shownAt_; }
    // How many times this box decoded a file itself (not the cache's worker).
    int decodeCount() const { return decodeCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct LoadKey {
        QString path;
        PictureFile::Identity file;
        QSize box;
        bool operator==(const LoadKey&) const = default;
    };

    QImage shown_;
    QSize naturalSize_;
    QPoint shownAt_;
    int decodeCount_ = 0;
    std::optional<LoadKey> shownKey_;
};
