#include "common/firstpaintprobe.h"

#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

namespace {

class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(QWidget* window, int fd) : QObject(window), window_(window), fd_(fd)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint) {
            window_->removeEventFilter(this);
            // After the paint returns, so the whole window has been drawn and flushed.
            QTimer::singleShot(0, window_, [window = window_, fd = fd_] {
                QFile out;
                if (out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::AutoCloseHandle))
                    out.write("painted\n");
                window->close();
            });
        }
        return false;
    }

private:
    QWidget* window_;
    int fd_;
};

} // namespace

void reportFirstPaint(QWidget* window)
{
    bool ok = false;
    const int fd = qEnvironmentVariableIntValue("PRISLISTE_FIRST_PAINT_FD", &ok);
    if (ok && fd > 2)
        new FirstPaintProbe(window, fd);
}
