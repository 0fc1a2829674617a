#pragma once
// JPEG through libjpeg(-turbo), scaled while decoding (DCT scaling) to the smallest size
// that still covers the box, then smoothly to the fitted size; EXIF orientation honoured.
// Throws Error with libjpeg's message; a file cut short or with damaged picture data is an
// error, not a half-grey picture, and so is a file of more than jpegScanLimit scans.

#include "pricelist/pictures/decodedpicture.h"

class PictureFile;

DecodedPicture decodeJpeg(PictureFile& file, QSize box);
