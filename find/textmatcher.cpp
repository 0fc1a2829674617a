#include "find/textmatcher.h"

#include "db/win1252.h"

#include <array>

namespace {

// Each Windows-1252 byte to the byte of its lower-case letter (itself when it has none).
const std::array<unsigned char, 256>& foldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString lower = fromWin1252(&byte, 1).toLower();
            const QByteArray back = toWin1252(lower);
            t[size_t(b)] = lower.size() == 1 && win1252Representable(lower) == lower && back.size() == 1
                               ? static_cast<unsigned char>(back[0])
                               : static_cast<unsigned char>(b);
        }
        return t;
    }();
    return table;
}

// Filled before the first matcher exists; the loops below then read it directly.
const std::array<unsigned char, 256>* table = nullptr;

inline unsigned char fold(char c)
{
    return (*table)[static_cast<unsigned char>(c)];
}

inline bool foldedEqual(const char* stored, const QByteArray& folded)
{
    for (qsizetype i = 0; i < folded.size(); ++i)
        if (fold(stored[i]) != static_cast<unsigned char>(folded[i]))
            return false;
    return true;
}

}

TextMatcher::TextMatcher(const QString& text) : representable_(win1252Representable(text) == text)
{
    table = &foldTable();
    folded_ = toWin1252(text);
    for (char& c : folded_)
        c = char(fold(c));
}

bool TextMatcher::isPrefixOf(QByteArrayView stored) const
{
    return representable_ && stored.size() >= folded_.size() && foldedEqual(stored.data(), folded_);
}

bool TextMatcher::isIn(QByteArrayView stored) const
{
    if (!representable_)
        return false;
    if (folded_.isEmpty())
        return true;
    const unsigned char first = static_cast<unsigned char>(folded_[0]);
    const char* p = stored.data();
    const qsizetype last = stored.size() - folded_.size();
    for (qsizetype i = 0; i <= last; ++i)
        if (fold(p[i]) == first && foldedEqual(p + i, folded_))
            return true;
    return false;
}

bool TextMatcher::isPrefixOf(const QString& text) const
{
    return isPrefixOf(QByteArrayView(toWin1252(text)));
}

bool TextMatcher::isIn(const QString& text) const
{
    return isIn(QByteArrayView(toWin1252(text)));
}
