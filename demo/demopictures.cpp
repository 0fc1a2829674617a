// Draws the demo shop's product pictures: simple shapes in the product's colours with the
// product's name above (the detail dialog shows the out-price over the lower part), saved
// as JPEG files into the folder given.
//   demo-pictures <folder>
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>

namespace {

enum class Motif { Flower, Pot, Spool, Ball, Candle, Card, Vase, Wreath, Scissors, Needles, Bag, Stitch };

struct Picture {
    const char* file;
    const char* caption;
    Motif motif;
    QColor colour;
};

const Picture pictures[] = {
    {"roser_rode.jpg", "Roser, røde", Motif::Flower, QColor(200, 20, 40)},
    {"roser_hvite.jpg", "Roser, hvite", Motif::Flower, QColor(245, 245, 235)},
    {"tulipaner.jpg", "Tulipaner", Motif::Flower, QColor(250, 150, 40)},
    {"orkide.jpg", "Orkidé", Motif::Pot, QColor(235, 220, 245)},
    {"julestjerne.jpg", "Julestjerne", Motif::Pot, QColor(210, 20, 30)},
    {"jord.jpg", "Blomsterjord", Motif::Bag, QColor(110, 70, 40)},
    {"sytrad_svart.jpg", "Sytråd, svart", Motif::Spool, QColor(30, 30, 30)},
    {"sytrad_hvit.jpg", "Sytråd, hvit", Motif::Spool, QColor(250, 250, 250)},
    {"rundpinne.jpg", "Rundpinne", Motif::Needles, QColor(200, 160, 90)},
    {"pelsull.jpg", "Pelsull", Motif::Ball, QColor(150, 150, 160)},
    {"saks.jpg", "Skreddersaks", Motif::Scissors, QColor(90, 90, 100)},
    {"broderi_rosemaling.jpg", "Rosemaling", Motif::Stitch, QColor(30, 70, 150)},
    {"duftlys.jpg", "Duftlys", Motif::Candle, QColor(245, 230, 190)},
    {"gavekort.jpg", "Gavekort", Motif::Card, QColor(180, 30, 60)},
    {"vase_hvit.jpg", "Vase, hvit", Motif::Vase, QColor(248, 248, 248)},
    {"adventskrans.jpg", "Adventskrans", Motif::Wreath, QColor(40, 110, 50)},
};

void flower(QPainter& p, QPointF c, qreal r, const QColor& colour)
{
    p.setPen(QPen(colour.darker(140), 1.5));
    p.setBrush(colour);
    for (int i = 0; i < 6; ++i) {
        const qreal a = qDegreesToRadians(60.0 * i);
        p.drawEllipse(c + QPointF(qCos(a), qSin(a)) * r * 0.55, r * 0.45, r * 0.45);
    }
    p.setBrush(QColor(240, 200, 40));
    p.drawEllipse(c, r * 0.35, r * 0.35);
}

void draw(QPainter& p, const Picture& pic)
{
    const QColor green(60, 140, 60);
    const QColor outline = pic.colour.darker(160);
    p.setPen(QPen(outline, 2));
    p.setBrush(pic.colour);
    switch (pic.motif) {
    case Motif::Flower:
        p.setPen(QPen(green, 5));
        for (int i = -1; i <= 1; ++i)
            p.drawLine(QPointF(120, 200), QPointF(120 + i * 45, 90));
        for (int i = -1; i <= 1; ++i)
            flower(p, QPointF(120 + i * 45, 80 - (i == 0 ? 15 : 0)), 32, pic.colour);
        break;
    case Motif::Pot:
        p.setBrush(QColor(190, 90, 50));
        p.drawPolygon(QPolygonF({QPointF(80, 150), QPointF(160, 150), QPointF(148, 205), QPointF(92, 205)}));
        p.setPen(QPen(green, 5));
        p.drawLine(QPointF(120, 150), QPointF(120, 80));
        flower(p, QPointF(100, 85), 26, pic.colour);
        flower(p, QPointF(145, 100), 26, pic.colour);
        break;
    case Motif::Bag:
        p.drawRoundedRect(QRectF(70, 50, 100, 150), 12, 12);
        p.setPen(QPen(Qt::white, 3));
        p.drawText(QRectF(70, 100, 100, 40), Qt::AlignCenter, QStringLiteral("20 L"));
        break;
    case Motif::Spool:
        p.setBrush(QColor(200, 170, 120));
        p.drawRect(QRectF(80, 50, 80, 14));
        p.drawRect(QRectF(80, 186, 80, 14));
        p.setBrush(pic.colour);
        p.drawRect(QRectF(88, 64, 64, 122));
        break;
    case Motif::Needles:
        p.setPen(QPen(pic.colour.darker(120), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(60, 190), QPointF(180, 50));
        p.drawLine(QPointF(60, 50), QPointF(180, 190));
        p.setPen(QPen(QColor(120, 120, 130), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(50, 60, 140, 150), 200 * 16, 140 * 16);
        break;
    case Motif::Ball:
        p.drawEllipse(QPointF(120, 125), 70, 70);
        p.setPen(QPen(outline, 2));
        for (int i = -2; i <= 2; ++i)
            p.drawArc(QRectF(55 + i * 8, 60, 130, 130), (30 + i * 20) * 16, 120 * 16);
        break;
    case Motif::Scissors:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(200, 40, 40), 6));
        p.drawEllipse(QPointF(85, 175), 22, 22);
        p.drawEllipse(QPointF(155, 175), 22, 22);
        p.setPen(QPen(pic.colour, 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(98, 158), QPointF(150, 40));
        p.drawLine(QPointF(142, 158), QPointF(90, 40));
        break;
    case Motif::Stitch:
        p.setBrush(QColor(245, 240, 225));
        p.drawRect(QRectF(50, 40, 140, 160));
        flower(p, QPointF(120, 120), 40, pic.colour);
        flower(p, QPointF(75, 70), 16, QColor(200, 40, 40));
        flower(p, QPointF(165, 170), 16, QColor(200, 40, 40));
        break;
    case Motif::Candle:
        p.drawRect(QRectF(85, 90, 70, 110));
        p.setBrush(QColor(255, 190, 40));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(120, 70), 10, 18);
        break;
    case Motif::Card:
        p.drawRoundedRect(QRectF(40, 70, 160, 100), 8, 8);
        p.setPen(QPen(Qt::white, 3));
        p.drawText(QRectF(40, 70, 160, 100), Qt::AlignCenter, QStringLiteral("500 kr"));
        break;
    case Motif::Vase: {
        QPainterPath path;
        path.moveTo(100, 50);
        path.cubicTo(60, 120, 70, 190, 100, 205);
        path.lineTo(140, 205);
        path.cubicTo(170, 190, 180, 120, 140, 50);
        path.closeSubpath();
        p.setPen(QPen(QColor(160, 160, 160), 2));
        p.drawPath(path);
        break;
    }
    case Motif::Wreath:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(pic.colour, 26));
        p.drawEllipse(QPointF(120, 140), 70, 45);
        p.setPen(QPen(QColor(240, 240, 230), 1));
        p.setBrush(QColor(240, 240, 230));
        for (int i = 0; i < 4; ++i)
            p.drawRect(QRectF(68 + i * 32, 80, 12, 40));
        break;
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-pictures <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "demo-pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const Picture& pic : pictures) {
        QImage image(240, 240, QImage::Format_RGB32);
        image.fill(QColor(250, 248, 240));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(15);
        font.setBold(true);
        p.setFont(font);
        p.save();
        p.translate(0, 18);
        p.scale(1.0, 0.9);
        draw(p, pic);
        p.restore();
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRectF(0, 4, 240, 24), Qt::AlignCenter, QString::fromUtf8(pic.caption));
        p.end();
        if (!image.save(folder.filePath(QString::fromLatin1(pic.file)), "JPEG", 90)) {
            std::fprintf(stderr, "demo-pictures: cannot write %s\n", pic.file);
            return 1;
        }
    }
    return 0;
}
