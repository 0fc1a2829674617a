#include "common/windowplacement.h"

#include "common/hs_reg.h"
#include "common/settingssection.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace {

const QString sectionPrefix = QStringLiteral("VINDU-");

// Runs work in the window's section of the per-user file, then reopens the settings
// file with the section that was current before, also when work throws.
template <class Work>
void inWindowSection(const QString& name, Work&& work)
{
    SettingsSection section; // the main file's section, current again at the end
    openuserini();
    section.enter(sectionPrefix + name);
    try {
        work();
    } catch (...) {
        openmainini();
        throw;
    }
    openmainini();
}

// The frame's size around the client area; 0 where the window has no frame.
QSize frameExtra(const QWidget* window)
{
    return window->frameGeometry().size() - window->geometry().size();
}

void setOuterHeight(QWidget* window, int height)
{
    window->resize(window->width(), height - frameExtra(window).height());
}

void setOuterWidth(QWidget* window, int width)
{
    window->resize(width - frameExtra(window).width(), window->height());
}

} // namespace

WindowPlacement& WindowPlacement::instance()
{
    static WindowPlacement placement;
    return placement;
}

QSize WindowPlacement::desktopSize() const
{
    if (desktopSize_)
        return desktopSize_();
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.united(screen->geometry());
    return desktop.size();
}

void WindowPlacement::reset()
{
    lastPlaced = {};
    previous = {};
    desktopSize_ = {};
}

WindowRect outerRect(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    return {frame.x(), frame.width(), frame.height(), frame.y()};
}

void savewindowpos(const QWidget* window, const QString& name, const QString& extra)
{
    inWindowSection(name, [&] {
        const WindowRect now = outerRect(window);
        writeinibool(QStringLiteral("Maximized"), window->isMaximized());
        writeiniinteger(QStringLiteral("Left"), now.left);
        writeiniinteger(QStringLiteral("Top"), now.top);
        writeiniinteger(QStringLiteral("Height"), now.height);
        writeiniinteger(QStringLiteral("Width"), now.width);
        writeinistring(QStringLiteral("Diverse"), extra);
    });
    WindowPlacement& placement = WindowPlacement::instance();
    placement.lastPlaced = placement.previous;
}

void loadwindowpos(QWidget* window, const QString& name, QString& modeAndExtra)
{
    inWindowSection(name, [&] {
        const QSize desktop = WindowPlacement::instance().desktopSize();

        int left = readiniinteger(QStringLiteral("Left"));
        if (left > desktop.width())
            left = desktop.width() - outerRect(window).width;
        window->move(left, window->frameGeometry().y());

        int top = readiniinteger(QStringLiteral("Top"));
        if (top > desktop.height())
            top = desktop.height() - outerRect(window).height;
        window->move(window->frameGeometry().x(), top);

        if (modeAndExtra != QLatin1String("OnlyPos")) {
            const int height = readiniinteger(QStringLiteral("Height"));
            if (height > 0)
                setOuterHeight(window, height);
            const int width = readiniinteger(QStringLiteral("Width"));
            if (width > 0)
                setOuterWidth(window, width);
        }

        if (readinibool(QStringLiteral("Maximized")))
            window->setWindowState(window->windowState() | Qt::WindowMaximized);

        modeAndExtra = readinistring(QStringLiteral("Diverse"));
    });
    WindowPlacement& placement = WindowPlacement::instance();
    placement.previous = placement.lastPlaced;
    placement.lastPlaced = outerRect(window);
}
