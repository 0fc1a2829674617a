#pragma once
// What the user typed into a list to find a row by the start of its text: each character
// adds to it, Backspace shortens it, and a key after a pause of a second starts it anew.

#include <QString>
#include <functional>

class TypeAhead {
public:
    TypeAhead();

    // Milliseconds on a steady clock; tests replace it so they need not sleep.
    std::function<qint64()> clock;
    static constexpr qint64 pauseMs = 1000;

    // Adds typed characters (after a pause they start a new text); returns the text.
    const QString& type(const QString& characters);
    // Drops the last character; false when there was none (also after a pause).
    bool backspace();
    void reset() { text_.clear(); }
    const QString& text() const { return text_; }

private:
    void forgetAfterPause();

    QString text_;
    qint64 lastKey_ = 0;
};
