#pragma once
// The flat buttons of the program's windows: a picture (above the caption when there is
// one), no frame until the mouse is over it, never the keyboard focus.

#include <QRect>
#include <QString>
#include <QStyle>

class QToolButton;
class QWidget;

QToolButton* makeFlatButton(QWidget* parent, const QString& name, const QString& caption,
                            QStyle::StandardPixmap picture, const QRect& geometry);
