#pragma once
// The flat buttons of the program's windows: a picture (above the caption when there is
// one), no frame until the mouse is over it, never the keyboard focus.

#include <QRect>
#include <QString>
#include <QStyle>
#include <functional>

class QToolButton;
class QWidget;

// A click runs onClick (when given) through the general error report.
QToolButton* makeFlatButton(QWidget* parent, const QString& name, const QString& caption,
                            QStyle::StandardPixmap picture, const QRect& geometry,
                            std::function<void()> onClick = {});
