#pragma once
// PNG, BMP, ICO and TIFF through Qt's image readers, the format fixed by the extension, so
// that a file with other content fails with the reader's message (an SVG is never read).

#include "pricelist/pictures/decodedpicture.h"

#include <QByteArray>

class PictureFile;

DecodedPicture decodeWithQtReader(PictureFile& file, const QByteArray& format, QSize box);
