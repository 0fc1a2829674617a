#include "packaging/programicon.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QIcon>

void useProgramIcon()
{
    // The resource holds the PNG sizes rendered from the SVG at build time; PNG needs no plugin.
    QIcon icon;
    QDirIterator png(QStringLiteral(":/programicon"), {QStringLiteral("*.png")}, QDir::Files,
                     QDirIterator::Subdirectories);
    while (png.hasNext())
        icon.addFile(png.next());
    QGuiApplication::setWindowIcon(icon);
    // Wayland desktops find the icon through the desktop entry, not the window.
    QGuiApplication::setDesktopFileName(QStringLiteral(PRISLISTE_APP_ID));
}
