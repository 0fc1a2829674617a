#pragma once
// Windows metafiles: WMF through libwmf and EMF through libemf2svg, each turned into SVG
// and drawn by Qt SVG at the picture's natural size (96 pixels per inch).

#include "pricelist/decodedpicture.h"

class PictureFile;

DecodedPicture decodeWmf(PictureFile& file, QSize box);
DecodedPicture decodeEmf(PictureFile& file, QSize box);
