#pragma once
// Keyboard rules shared by the bound text controls: which characters a field accepts,
// which keys start the table's edit, and the write-back when the control loses the focus.

#include <QChar>
#include <QFocusEvent>

class Field;
class FieldDataLink;
class QKeyEvent;
class QWidget;

namespace boundinput {

// Whether a typed character may go into the field: integer fields the digits, "+" and
// "-"; float fields also "E", "e" and the regional decimal separator; other kinds every
// character.
bool acceptsCharacter(const Field& field, QChar ch);

// The printable character a key types, or a null QChar.
QChar typedCharacter(const QKeyEvent& event);

// Keys that change the text and so must start the table's edit first: a printable
// character, Backspace, Delete, Ctrl+V, Ctrl+X, Shift+Insert (and Return when
// `returnEdits`, for multi-line text).
bool startsEdit(const QKeyEvent& event, bool returnEdits = false);

// Whether a focus change leaves the control within its window (a move to another control
// or a click elsewhere in it); a popup or another window becoming active does not.
bool leavesControl(Qt::FocusReason reason);

// Writes the control's pending input on leaving it. When the field refuses it, `keep`
// selects the text and puts the focus back, then the error propagates.
template <class Keep>
void writeBack(FieldDataLink& link, Keep&& keep);

void beep();

} // namespace boundinput

#include "db/fielddatalink.h"

template <class Keep>
void boundinput::writeBack(FieldDataLink& link, Keep&& keep)
{
    try {
        link.updateRecord();
    } catch (...) {
        keep();
        throw;
    }
}
