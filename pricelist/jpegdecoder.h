#pragma once
// JPEG through libjpeg(-turbo): only the rows and columns a box shows are decoded, and
// reading stops after the box's last row. Throws Error with libjpeg's message; a file cut
// short or with damaged picture data is an error, not a half-grey picture.

#include "pricelist/decodedpicture.h"

class PictureFile;

DecodedPicture decodeJpeg(PictureFile& file, QSize box);
