#include "webdocs/webfolderlayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

QFont webfolderFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

void fitText(QWidget* control)
{
    const auto* label = qobject_cast<const QLabel*>(control);
    if (label && label->wordWrap()) {
        control->resize(control->width(), std::max(control->height(), label->heightForWidth(control->width())));
        return;
    }
    control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
}

void takeAnyLength(QLineEdit* edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}

void centreOverMainWindow(QWidget* dialog, const QWidget* mainWindow)
{
    const QRect over = mainWindow->frameGeometry();
    const QSize frame = dialog->isVisible() ? dialog->frameGeometry().size() - dialog->size()
                                            : over.size() - mainWindow->size();
    const QSize outer = dialog->size() + frame;
    QPoint at(over.x() + (over.width() - outer.width()) / 2, over.y() + (over.height() - outer.height()) / 2);
    if (const QScreen* screen = mainWindow->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - outer.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - outer.height())));
    }
    dialog->move(at);
}
