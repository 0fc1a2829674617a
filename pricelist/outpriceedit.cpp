#include "pricelist/outpriceedit.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace {

bool mayChangeText(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    for (QKeySequence::StandardKey key : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})
        if (event->matches(key))
            return true;
    // Ctrl with a letter is a command; Ctrl+Alt is AltGr on Windows.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const QString text = event->text();
    return !text.isEmpty() && text.front().isPrint() && modifiers != Qt::ControlModifier;
}

} // namespace

OutPriceEdit::OutPriceEdit(QWidget* parent) : QLineEdit(parent)
{
}

void OutPriceEdit::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly() && mayChangeText(event) && onInputComing)
        onInputComing();
    const QScopedValueRollback typing(typing_, !event->matches(QKeySequence::Paste));
    QLineEdit::keyPressEvent(event);
}

void OutPriceEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!isReadOnly() && !event->commitString().isEmpty() && onInputComing)
        onInputComing();
    const QScopedValueRollback typing(typing_, true);
    QLineEdit::inputMethodEvent(event);
}
