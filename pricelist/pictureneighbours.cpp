#include "pricelist/pictureneighbours.h"

#include "pricelist/pictures/picturebox.h"
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
        QStringList references;
        for (int neighbour : {row + 1, row - 1})
            references << (neighbour >= 0 && neighbour < table.recordCount()
                               ? table.MyTablepicture->valueAt(neighbour).toString()
                               : QString());
        const QSize box = dialog.Image1->size();
        const QString asked = QStringLiteral("%1 %2x%3\n").arg(row).arg(box.width()).arg(box.height())
            + references.join(u'\n');
        if (asked == dialog.prefetchedNeighbours)
            return;
        dialog.prefetchedNeighbours = asked;
        QStringList paths;
        for (const QString& reference : references) {
            if (reference.isEmpty())
                continue;
            const QString path = finddocument(reference, true);
            if (QFileInfo(path).isFile())
                paths << path;
        }
        PictureCache::instance().prefetch(paths, box);
    } catch (...) {
        // Only a head start: the picture is decoded when its product is shown.
    }
}
