#pragma once
// Bokmål for the Nynorsk words of Qt's own dialogs that a Bokmål user meets most (the file
// chooser, the print dialog, the standard buttons), laid over Qt's Nynorsk translation.

#include <QTranslator>

class BokmalWording : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
