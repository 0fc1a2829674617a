#include "common/Felles.h"

#include "common/busycursor.h"
#include "common/shellexec.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {

UrlOpener& urlOpener()
{
    static UrlOpener opener;
    return opener;
}

// A web address (or any address with a scheme of more than one letter, so that a
// Windows drive letter is not one) goes as it is; anything else is a local file.
QUrl urlFor(const QString& file, const QString& folder)
{
    const QUrl asUrl(file, QUrl::StrictMode);
    if (asUrl.isValid() && asUrl.scheme().size() > 1)
        return asUrl;
    QString path = QDir::fromNativeSeparators(file);
    if (!folder.isEmpty() && QFileInfo(path).isRelative())
        path = QDir(QDir::fromNativeSeparators(folder)).filePath(path);
    return QUrl::fromLocalFile(path);
}

} // namespace

void setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

void shellopen(const QString& file, const QString& parameters, const QString& folder)
{
    const BusyCursor busy;
    if (urlOpener()) {
        urlOpener()(urlFor(file, folder));
        return;
    }
#ifdef _WIN32
    nativeshell::open(file.toStdWString(), parameters.toStdWString(), folder.toStdWString());
#else
    Q_UNUSED(parameters); // the desktop's URL handler takes none
    QDesktopServices::openUrl(urlFor(file, folder));
#endif
}

QString stripslashes(const QString& text)
{
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}
