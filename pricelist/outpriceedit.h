#pragma once
// Edit1 of the product detail dialog, the out-price box: a line edit that announces input
// before a key or an input method may change its text (so the table can start the edit
// first, as it does for the bound controls) and tells typing apart from a paste.

#include <QLineEdit>
#include <functional>

class OutPriceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit OutPriceEdit(QWidget* parent = nullptr);

    // Runs before a key or input method event that may change the text; must not throw.
    std::function<void()> onInputComing;
    // While a text change is being reported: whether it was typed (keys one at a time, an
    // input method), not pasted or dropped.
    bool isTyping() const { return typing_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool typing_ = false;
};
