#pragma once
// One line of plain text drawn as a glyph run: each character's glyph is taken from the
// font's character map and placed by its advance, without the text shaping that would
// otherwise take most of the time of a list of many pages. No kerning or ligatures, which
// the list's Latin texts and prices do not need. A text with a character the font lacks
// (or outside the Basic Multilingual Plane) is drawn the ordinary way.

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QString>
#include <QVector>
#include <unordered_map>

class QPaintDevice;
class QPainter;

class GlyphLine {
public:
    GlyphLine(const QFont& font, const QPaintDevice& device);

    // Width in device pixels.
    qreal width(const QString& text);
    // The text cut to fit width, ending in "…" when it was cut.
    QString elided(const QString& text, qreal width);
    // Draws text with its baseline's left end at `origin`; the painter's font must be the
    // one given to the constructor.
    void draw(QPainter& painter, const QPointF& origin, const QString& text);

private:
    struct Glyph {
        quint32 index = 0; // 0: the font has none
        qreal advance = 0;
    };
    const Glyph& glyph(char16_t c);
    bool layOut(const QString& text); // fills indexes_/positions_; false: draw the ordinary way

    QFontMetricsF metrics_; // for the texts drawn the ordinary way
    QRawFont raw_;
    std::unordered_map<char16_t, Glyph> glyphs_;
    QVector<quint32> indexes_;
    QVector<QPointF> positions_;
};
