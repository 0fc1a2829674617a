#pragma once
// A product's picture for an export: only from its local file, never fetched. A file
// that is missing, not a plain file (a FIFO, a device, a folder), larger than 32 MB or
// not decodable gives a null image.

#include <QImage>
#include <QString>

// Decodes the local file of a picture reference, scaled down to fit maxSide x maxSide
// (never up). Null when there is no usable picture.
QImage loadExportPicture(const QString& reference, int maxSide);

// The file itself (tests): the same checks, no reference resolution.
QImage loadPictureFile(const QString& path, int maxSide);
