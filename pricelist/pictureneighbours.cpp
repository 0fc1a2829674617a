#include "pricelist/pictureneighbours.h"

#include "pricelist/picturebox.h"
#include "pricelist/pictures/picturecache.h"
#include "pricelist/prisdata.h"
#include "pricelist/producttable.h"
#include "webdocs/webdocument.h"

#include <QFileInfo>

void prefetchNeighbourPictures(TPrisDataForm& dialog) noexcept
{
    try {
        ProductTable& table = dialog.table();
        const int row = table.currentRow();
        if (row < 0)
            return;
        QStringList paths;
        for (int neighbour : {row + 1, row - 1}) {
            if (neighbour < 0 || neighbour >= table.recordCount())
                continue;
            const QString reference = table.MyTablepicture->valueAt(neighbour).toString();
            if (reference.isEmpty())
                continue;
            const QString path = finddocument(reference, true);
            if (QFileInfo(path).isFile())
                paths << path;
        }
        PictureCache::instance().prefetch(paths, dialog.Image1->size());
    } catch (...) {
        // Only a head start: the picture is decoded when its product is shown.
    }
}
