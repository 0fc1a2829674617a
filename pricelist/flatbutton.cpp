#include "pricelist/flatbutton.h"

#include "common/errorreport.h"

#include <QToolButton>

QToolButton* makeFlatButton(QWidget* parent, const QString& name, const QString& caption,
                            QStyle::StandardPixmap picture, const QRect& geometry,
                            std::function<void()> onClick)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(picture, nullptr, button));
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    // Where the window's font is missing, a wider one stands in: narrow it rather than
    // cut the caption short.
    const int room = geometry.width() - 6;
    const int needed = button->fontMetrics().horizontalAdvance(caption);
    if (!caption.isEmpty() && needed > room) {
        QFont narrower = button->font();
        narrower.setStretch(qMax(60, 100 * room / needed));
        button->setFont(narrower);
    }
    if (onClick)
        QObject::connect(button, &QToolButton::clicked, button, [onClick = std::move(onClick)] { guarded(onClick); });
    return button;
}
