#include "pricelist/export/glyphline.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>

GlyphLine::GlyphLine(const QFont& font, const QPaintDevice& device)
    : font_(font), metrics_(font, &device), raw_(QRawFont::fromFont(font))
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

void GlyphLine::add(QPainter& painter, const QPointF& origin, const QString& text)
{
    const qsizetype start = indexes_.size();
    qreal x = origin.x();
    for (const QChar c : text) {
        const Glyph& g = glyph(c.unicode());
        if (g.index == 0) {
            indexes_.resize(start);
            positions_.resize(start);
            const QFont font = painter.font();
            painter.setFont(font_);
            painter.drawText(origin, text);
            painter.setFont(font);
            return;
        }
        indexes_.append(g.index);
        positions_.append(QPointF(x, origin.y()));
        x += g.advance;
    }
}

void GlyphLine::flush(QPainter& painter)
{
    if (indexes_.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes_);
    run.setPositions(positions_);
    painter.drawGlyphRun(QPointF(0, 0), run);
    indexes_.clear();
    positions_.clear();
}
