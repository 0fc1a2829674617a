#pragma once
// The metafile libraries, run only inside the metafile helper process: WMF through libwmf
// and EMF through libemf2svg, each turned into SVG. Throw Error with the library's reason.

#include <QByteArray>
#include <QSize>

struct MetafileSvg {
    QByteArray svg;
    QSize naturalSize; // at 96 pixels per inch
};

MetafileSvg wmfToSvg(const QByteArray& bytes);
MetafileSvg emfToSvg(const QByteArray& bytes);
