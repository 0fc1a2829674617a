#pragma once
// Lines of plain text drawn as glyph runs: each character's glyph is taken from the
// font's character map and placed by its advance, without the text shaping that would
// otherwise take most of the time of a list of many pages. Lines added are gathered and
// drawn as one run, so a page's texts cost one text object, not one per line. No kerning
// or ligatures, which the list's Latin texts and prices do not need. A text with a
// character the font lacks (or outside the Basic Multilingual Plane) is drawn the
// ordinary way at once.

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
    // Adds text with its baseline's left end at `origin`.
    void add(QPainter& painter, const QPointF& origin, const QString& text);
    // Draws what was added, with the painter's pen.
    void flush(QPainter& painter);

private:
    struct Glyph {
        quint32 index = 0; // 0: the font has none
        qreal advance = 0;
    };
    const Glyph& glyph(char16_t c);
    QFont font_;            // for the texts drawn the ordinary way
    QFontMetricsF metrics_;
    QRawFont raw_;
    std::unordered_map<char16_t, Glyph> glyphs_;
    QVector<quint32> indexes_;
    QVector<QPointF> positions_;
};
