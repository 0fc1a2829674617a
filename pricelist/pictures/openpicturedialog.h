#pragma once
// OpenPictureDialog1 of the product detail dialog: a resizable file-open dialog with a
// preview of the selected picture.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

class OpenPictureDialog {
public:
    QString initialDir;
    QString defaultExt = QStringLiteral("jpg");
    // Caption|patterns pairs, the patterns separated by ";"; the first entry is selected.
    QString filter = QStringLiteral("Alle bilder|*.jpg;*.png;|JPG|*.jpg;*.jpeg;|PNG|*.png;|Alle|*.*");

    // Runs the dialog modally; the chosen file's full path, or nothing when cancelled.
    std::optional<QString> execute(QWidget* parent) const;

    // The filter as file dialog name filters: "Alle bilder (*.jpg *.png)", ...
    QStringList nameFilters() const;
};

// What execute runs in place of the file dialog. Tests answer through it; an empty
// function restores the file dialog.
using PictureDialogRunner = std::function<std::optional<QString>(const OpenPictureDialog& dialog)>;
void setPictureDialogRunner(PictureDialogRunner runner);
