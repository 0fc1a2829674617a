#include "pricelist/export/glyphline.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>

GlyphLine::GlyphLine(const QFont& font, const QPaintDevice& device)
    : metrics_(font, &device), raw_(QRawFont::fromFont(font))
{
    if (raw_.isValid())
        raw_.setPixelSize(font.pointSizeF() * device.logicalDpiY() / 72.0);
}

const GlyphLine::Glyph& GlyphLine::glyph(char16_t c)
{
    const auto found = glyphs_.find(c);
    if (found != glyphs_.end())
        return found->second;
    Glyph g;
    if (raw_.isValid() && !QChar::isSurrogate(c)) {
        const QList<quint32> index = raw_.glyphIndexesForString(QString(QChar(c)));
        if (index.size() == 1 && index[0] != 0) {
            g.index = index[0];
            g.advance = raw_.advancesForGlyphIndexes(index).value(0).x();
        }
    }
    return glyphs_.emplace(c, g).first->second;
}

bool GlyphLine::layOut(const QString& text)
{
    indexes_.resize(text.size());
    positions_.resize(text.size());
    qreal x = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Glyph& g = glyph(text[i].unicode());
        if (g.index == 0)
            return false;
        indexes_[i] = g.index;
        positions_[i] = QPointF(x, 0);
        x += g.advance;
    }
    return true;
}

qreal GlyphLine::width(const QString& text)
{
    qreal x = 0;
    for (const QChar c : text) {
        const Glyph& g = glyph(c.unicode());
        if (g.index == 0)
            return metrics_.horizontalAdvance(text);
        x += g.advance;
    }
    return x;
}

QString GlyphLine::elided(const QString& text, qreal available)
{
    if (width(text) <= available)
        return text;
    const QString ellipsis(QChar(0x2026));
    const qreal room = available - width(ellipsis);
    qsizetype keep = text.size();
    while (keep > 0 && width(text.left(keep)) > room)
        --keep;
    return text.left(keep) + ellipsis;
}

void GlyphLine::draw(QPainter& painter, const QPointF& origin, const QString& text)
{
    if (text.isEmpty())
        return;
    if (!layOut(text)) {
        painter.drawText(origin, text);
        return;
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes_);
    run.setPositions(positions_);
    painter.drawGlyphRun(origin, run);
}
