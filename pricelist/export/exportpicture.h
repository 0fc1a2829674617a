#pragma once
// A product's picture for an export, through the detail dialog's picture module (the same
// decoders, chosen by the file's extension, and the same limits): only from its local
// file, never fetched, and only a file inside the local document folders. A file that is
// missing, outside them, not a plain file (a FIFO, a device, a folder) or not decodable
// gives a null image.

#include <QImage>
#include <QString>

// Decodes the local file of a picture reference, scaled down to fit maxSide x maxSide
// (never up). Null when there is no usable picture.
QImage loadExportPicture(const QString& reference, int maxSide);

// The file itself (tests): the same decoding, no reference resolution.
QImage loadPictureFile(const QString& path, int maxSide);

// Whether path, its links followed, lies inside DOC_LOCAL or the local folder of a
// translation pair (the folders finddocument resolves into).
bool insideDocumentFolders(const QString& path);
