#pragma once
// Window placement per user: each window's position, size and maximized state in the
// section "VINDU-" + its name of the per-user file, and the one-deep stack of the
// rectangles of the windows placed most recently (the yes/no question centres on it).
//
// Left/Top are the position of the window's frame, Width/Height its outer size, frame
// included; a window without a frame (or not yet framed) uses its plain geometry.

#include <QSize>
#include <QString>
#include <functional>

class QWidget;

struct WindowRect {
    int left = 0;
    int width = 0;
    int height = 0;
    int top = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

class WindowPlacement {
public:
    static WindowPlacement& instance();

    WindowRect lastPlaced; // the window whose placement was restored most recently
    WindowRect previous;   // the one before it; a save puts it back as lastPlaced

    // The size of the desktop over all screens together. Tests may replace it.
    using DesktopSize = std::function<QSize()>;
    void setDesktopSize(DesktopSize size) { desktopSize_ = std::move(size); }
    QSize desktopSize() const;

    // Back to the start of the run (tests).
    void reset();

private:
    DesktopSize desktopSize_;
};

// Called when the window closes: stores its placement and extra text, then puts the
// previous rectangle back as the last-placed one. Writes both settings files.
void savewindowpos(const QWidget* window, const QString& name, const QString& extra);

// Called when the window is shown: restores its position (kept on the desktop when it
// lies beyond it), its size unless modeAndExtra is "OnlyPos", and its maximized state.
// modeAndExtra comes back holding the stored extra text. Writes both settings files.
void loadwindowpos(QWidget* window, const QString& name, QString& modeAndExtra);

// The outer rectangle of a top-level window: frame position and size.
WindowRect outerRect(const QWidget* window);
