#pragma once
// A typed text matched against stored Windows-1252 text in place, ignoring letter case
// the way the code page's letters have it ("ø" matches "Ø", "é" matches "É").

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class TextMatcher {
public:
    explicit TextMatcher(const QString& text);

    bool isEmpty() const { return folded_.isEmpty(); }
    // Stored text begins with the typed text / holds it anywhere. The empty text matches
    // every value; a typed character that Windows-1252 cannot hold matches none.
    bool isPrefixOf(QByteArrayView stored) const;
    bool isIn(QByteArrayView stored) const;
    // The same for a value not yet stored (the record being edited).
    bool isPrefixOf(const QString& text) const;
    bool isIn(const QString& text) const;

private:
    QByteArray folded_;
    bool representable_ = true;
};
