#pragma once
// Decodes a picture file fitted to a box (fitToBox), the decoder chosen by the file's
// extension in any letter case: JPEG, PNG, BMP, ICO, TIFF, WMF and EMF. Safe to call from
// any thread.

#include "pricelist/pictures/decodedpicture.h"

#include <QString>

class PictureFile;

// Throws Error: "Unknown picture file extension (.%s)", a file that cannot be opened as a
// regular file, or the decoder's own message.
DecodedPicture decodePicture(const QString& path, QSize box);
