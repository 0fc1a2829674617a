#include "pricelist/export/exportpicture.h"

#include "common/errors.h"
#include "common/hs_reg.h"
#include "pricelist/pictures/picturedecoder.h"
#include "webdocs/webdocument.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList documentFolders()
{
    QStringList folders {readinistring(QStringLiteral("DOC_LOCAL"))};
    for (int n = 1; n <= 9; ++n) {
        if (!readinistring(QStringLiteral("DOC_URL_TRANSELATE_0_%1").arg(n)).isEmpty())
            folders << readinistring(QStringLiteral("DOC_URL_TRANSELATE_1_%1").arg(n));
    }
    return folders;
}

} // namespace

bool insideDocumentFolders(const QString& path)
{
    // Resolved, so that neither "../" in a reference nor a link leads out of the folder.
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty())
        return false;
    for (const QString& folder : documentFolders()) {
        const QString root = QFileInfo(folder.isEmpty() ? QDir::currentPath() : QDir::fromNativeSeparators(folder)).canonicalFilePath();
        if (!root.isEmpty() && file.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')))
            return true;
    }
    return false;
}

QImage loadPictureFile(const QString& path, int maxSide)
{
    try {
        return decodePicture(path, QSize(maxSide, maxSide)).shown;
    } catch (const Error&) {
        return {};
    }
}

QImage loadExportPicture(const QString& reference, int maxSide)
{
    if (reference.trimmed().isEmpty())
        return {};
    const QString path = finddocument(reference, true);
    if (!insideDocumentFolders(path))
        return {};
    return loadPictureFile(path, maxSide);
}
