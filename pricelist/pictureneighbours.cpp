#include "pricelist/pictureneighbours.h"

#include "pricelist/pictures/picturecache.h"
#include "pricelist/producttable.h"
#include "webdocs/webdocument.h"

#include <QFileInfo>

void prefetchNeighbourPictures(const ProductTable& table, QSize box, QString& lastAsked) noexcept
{
    try {
        const int row = table.currentRow();
        if (row < 0)
            return;
        QStringList references;
        for (int neighbour : {row + 1, row - 1})
            references << (neighbour >= 0 && neighbour < table.recordCount()
                               ? table.MyTablepicture->valueAt(neighbour).toString()
                               : QString());
        const QString asked = QStringLiteral("%1 %2x%3\n").arg(row).arg(box.width()).arg(box.height())
            + references.join(u'\n');
        if (asked == lastAsked)
            return;
        lastAsked = asked;
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
