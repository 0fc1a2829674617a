#include "pricelist/export/controlcharacters.h"

#include <algorithm>

namespace {
bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || (u >= 0x7F && u <= 0x9F);
}
}

QString withoutControlCharacters(const QString& text)
{
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text; // shared, not copied: nearly every text
    QString out = text;
    out.removeIf(isControl);
    return out;
}
