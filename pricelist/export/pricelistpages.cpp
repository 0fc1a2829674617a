#include "pricelist/export/pricelistpages.h"

#include "common/errors.h"
#include "common/regional.h"
#include "pricelist/export/exportpicture.h"
#include "pricelist/export/glyphline.h"
#include "pricelist/export/productrows.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {
const QColor saleColour(180, 0, 0);
const QColor stripeColour(242, 242, 242);
const QColor ruleColour(120, 120, 120);

QFont listFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
}

// Sizes in device pixels, from millimetres at the device's resolution.
struct PriceListPages::Metrics {
    explicit Metrics(QPagedPaintDevice& device, bool pictures)
        : dpi(device.logicalDpiY()), width(device.width()), height(device.height()),
          titleFont(listFont(16, true)), subtitleFont(listFont(10)), headingFont(listFont(10, true)),
          textFont(listFont(10)), markFont(listFont(8, true)), footFont(listFont(8))
    {
        const QFontMetrics metrics(textFont, &device);
        textAscent = metrics.ascent();
        textDescent = metrics.descent();
        headerHeight = mm(24);
        footerHeight = mm(10);
        rowHeight = mm(pictures ? 16 : 7);
        pictureSide = pictures ? mm(14) : 0;
        priceWidth = mm(32);
        markWidth = mm(20);
        gap = mm(2);
        rowsPerPage = std::max(1, (height - headerHeight - footerHeight) / rowHeight);
    }
    int mm(double millimetres) const { return int(millimetres * dpi / 25.4 + 0.5); }

    int dpi, width, height;
    int headerHeight, footerHeight, rowHeight, pictureSide, priceWidth, markWidth, gap, rowsPerPage;
    int textAscent, textDescent;
    QFont titleFont, subtitleFont, headingFont, textFont, markFont, footFont;
};

PriceListPages::PriceListPages(const ProductRows& products, std::vector<int> rows, bool pictures, QString shopName,
                               QDate date)
    : products_(products), rows_(std::move(rows)), pictures_(pictures), shopName_(std::move(shopName)), date_(date)
{
}

PriceListPages::~PriceListPages() = default;

void PriceListPages::setUpPage(QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 15, 12),
                                     QPageLayout::Millimeter));
}

void PriceListPages::paint(QPagedPaintDevice& device, const ExportStep& step)
{
    const Metrics m(device, pictures_);
    pageCount_ = std::max<int>(1, int((rows_.size() + size_t(m.rowsPerPage) - 1) / size_t(m.rowsPerPage)));
    picturesLeftOut_ = 0;
    textLine_ = std::make_unique<GlyphLine>(m.textFont, device);
    markLine_ = std::make_unique<GlyphLine>(m.markFont, device);
    salePriceLine_ = std::make_unique<GlyphLine>(m.textFont, device);
    QPainter painter;
    if (!painter.begin(&device))
        throw Error(QStringLiteral("Kan ikke lage prislisten: utskriften kunne ikke startes"));
    for (int page = 0; page < pageCount_; ++page) {
        if (page > 0 && !device.newPage())
            throw Error(QStringLiteral("Kan ikke lage prislisten: ny side kunne ikke startes"));
        paintPageFrame(painter, m, page);
        const size_t first = size_t(page) * size_t(m.rowsPerPage);
        const size_t end = std::min(rows_.size(), first + size_t(m.rowsPerPage));
        painter.setFont(m.textFont);
        for (size_t i = first; i < end; ++i) {
            paintRow(painter, m, rows_[i], m.headerHeight + int(i - first) * m.rowHeight, (i - first) % 2 == 1);
            if (step)
                step();
        }
        painter.setPen(Qt::black);
        textLine_->flush(painter);
        painter.setPen(saleColour);
        markLine_->flush(painter);
        salePriceLine_->flush(painter);
    }
    painter.end();
}

void PriceListPages::paintPageFrame(QPainter& painter, const Metrics& m, int page) const
{
    painter.setPen(Qt::black);
    painter.setFont(m.titleFont);
    painter.drawText(QRect(0, 0, m.width, m.mm(10)), Qt::AlignLeft | Qt::AlignVCenter, shopName_);
    painter.setFont(m.subtitleFont);
    painter.drawText(QRect(0, m.mm(10), m.width, m.mm(6)), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Prisliste ") + date_.toString(regional().shortDateFormat));

    // Column headings over a rule, on every page.
    const int headingTop = m.mm(17);
    painter.setFont(m.headingFont);
    const int textLeft = m.pictureSide ? m.pictureSide + m.gap : m.gap;
    painter.drawText(QRect(textLeft, headingTop, m.width / 2, m.mm(6)), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Vare"));
    painter.drawText(QRect(m.width - m.priceWidth, headingTop, m.priceWidth - m.gap, m.mm(6)),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Pris"));
    painter.setPen(QPen(ruleColour, m.mm(0.3)));
    painter.drawLine(0, m.headerHeight - m.mm(0.5), m.width, m.headerHeight - m.mm(0.5));

    painter.setPen(Qt::black);
    painter.setFont(m.footFont);
    painter.drawText(QRect(0, m.height - m.footerHeight, m.width, m.footerHeight), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Side %1 av %2").arg(page + 1).arg(pageCount_));
}

void PriceListPages::paintRow(QPainter& painter, const Metrics& m, int row, int y, bool striped)
{
    if (striped)
        painter.fillRect(QRect(0, y, m.width, m.rowHeight), stripeColour);
    int textLeft = m.gap;
    if (m.pictureSide) {
        const QString reference = products_.picture(row);
        if (!reference.trimmed().isEmpty()) {
            const QImage picture = loadExportPicture(reference, 200);
            if (picture.isNull()) {
                ++picturesLeftOut_;
            } else {
                const QSize fit = picture.size().scaled(m.pictureSide, m.pictureSide, Qt::KeepAspectRatio);
                const QRect box(m.gap / 2 + (m.pictureSide - fit.width()) / 2,
                                y + (m.rowHeight - fit.height()) / 2, fit.width(), fit.height());
                painter.drawImage(box, picture);
            }
        }
        textLeft = m.pictureSide + m.gap;
    }
    // Gathered into glyph runs that paint() draws once per page.
    const bool sale = products_.onSale(row);
    const int priceRight = m.width - m.gap;
    const int textWidth = priceRight - m.priceWidth - textLeft - (sale ? m.markWidth : 0);
    const int baseline = y + (m.rowHeight + m.textAscent - m.textDescent) / 2;
    GlyphLine& line = *textLine_;
    line.add(painter, QPointF(textLeft, baseline), line.elided(products_.text(row).simplified(), textWidth));
    if (sale) {
        const QString mark = QStringLiteral("På salg");
        markLine_->add(painter, QPointF(priceRight - m.priceWidth - markLine_->width(mark), baseline), mark);
    }
    const QString price = formatCurrency(products_.outPrice(row));
    GlyphLine& priceLine = sale ? *salePriceLine_ : line;
    priceLine.add(painter, QPointF(priceRight - priceLine.width(price), baseline), price);
}
