#pragma once
// Image1 of the product detail dialog: one picture, centred at its natural size and cut
// at the box's edges.

#include <QImage>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Replaces the picture shown by the file's picture; the decoder is picked by the file's
    // extension in any letter case. Throws Error ("Unknown picture file extension (.%s)",
    // or the decoder's own message) and then keeps the picture shown before. Loading the
    // same unchanged file again does not decode it again.
    void loadFromFile(const QString& path);

    bool hasPicture() const { return !shown_.isNull(); }
    // The picture's own size, not only the part the box shows.
    QSize pictureSize() const { return naturalSize_; }
    // What the box holds of the picture (at most the box's pixels).
    const QImage& shownPart() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage shown_;
    QSize naturalSize_;
};
