#pragma once
// Windows metafiles (WMF, EMF), drawn at the size that fits the box by the metafile
// helper process (prisliste-metafile), never in the program itself: a crash, a limit
// reached or an answer that does not parse is the error "The metafile could not be
// drawn"; the libraries' own reasons come back as their errors.

#include "pricelist/pictures/decodedpicture.h"

#include <QString>

class PictureFile;

DecodedPicture decodeWmf(PictureFile& file, QSize box);
DecodedPicture decodeEmf(PictureFile& file, QSize box);

// The helper's path: beside the running program (the build), else in its libexec folder
// (installed). setMetafileHelper replaces it (an empty path restores the default).
QString metafileHelper();
void setMetafileHelper(const QString& path);
