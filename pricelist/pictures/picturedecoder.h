#pragma once
// Decodes the part of a picture file that a box of the given size shows, by the file's
// extension in any letter case: JPEG, PNG, BMP, ICO, TIFF, WMF and EMF.

#include "pricelist/pictures/decodedpicture.h"

#include <QString>

class PictureFile;

// Throws Error: "Unknown picture file extension (.%s)", a file that cannot be opened as a
// regular file, or the decoder's own message.
DecodedPicture decodePicture(const QString& path, QSize box);
