#pragma once
// The preview beside the open-picture dialog's file list: the selected picture made small
// enough to fit.

#include <QLabel>

class PicturePreview : public QLabel {
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);

    // Shows the file's picture, or nothing when it is not a readable picture.
    void showFile(const QString& path);
};
