#include "dbcontrols/boundinput.h"

#include "common/regional.h"
#include "db/field.h"

#include <QApplication>
#include <QKeyEvent>

namespace boundinput {

bool acceptsCharacter(const Field& field, QChar ch)
{
    const FieldKind kind = field.kind();
    const bool sign = ch == QLatin1Char('+') || ch == QLatin1Char('-');
    const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
    if (isIntegerKind(kind))
        return digit || sign;
    if (isFloatKind(kind))
        return digit || sign || ch == QLatin1Char('E') || ch == QLatin1Char('e') || ch == regional().decimalSeparator;
    return true;
}

QChar typedCharacter(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    // Ctrl+letter types a control code; AltGr (Ctrl+Alt on Windows) types a character.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier))
        return {};
    const QString text = event.text();
    if (text.isEmpty())
        return {};
    const QChar ch = text.at(0);
    if (ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch.category() == QChar::Other_Control)
        return {};
    return ch;
}

bool startsEdit(const QKeyEvent& event, bool returnEdits)
{
    if (!typedCharacter(event).isNull())
        return true;
    const Qt::KeyboardModifiers mods = event.modifiers();
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    case Qt::Key_Insert:
        return mods & Qt::ShiftModifier;
    case Qt::Key_V:
    case Qt::Key_X:
        return mods & Qt::ControlModifier;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return returnEdits;
    default:
        return false;
    }
}

bool leavesControl(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

void beep()
{
    QApplication::beep();
}

} // namespace boundinput
