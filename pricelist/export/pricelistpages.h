#pragma once
// The price list on paper and in PDF, one layout for both: on every page a title with
// the shop's name and the date, a table of product text and out-price (products on sale
// marked, optionally a small picture beside each), and "Side N av M" at the foot. Rows
// have one height, so a page breaks only between rows.

#include "pricelist/export/exportstep.h"

#include <QDate>
#include <QString>
#include <memory>
#include <vector>

class GlyphLine;
class ProductRows;
class QPagedPaintDevice;
class QPainter;

class PriceListPages {
public:
    PriceListPages(const ProductRows& products, std::vector<int> rows, bool pictures, QString shopName, QDate date);
    ~PriceListPages();

    // Sets A4 and the margins (a printer keeps the paper its user chose).
    static void setUpPage(QPagedPaintDevice& device);
    // Paints every page; throws what step throws (the device then holds a part only).
    void paint(QPagedPaintDevice& device, const ExportStep& step);

    int pageCount() const { return pageCount_; }
    // Products whose picture reference named no usable local picture.
    int picturesLeftOut() const { return picturesLeftOut_; }

private:
    struct Metrics;
    void paintPageFrame(QPainter& painter, const Metrics& m, int page) const;
    void paintRow(QPainter& painter, const Metrics& m, int row, int y, bool striped);

    const ProductRows& products_;
    std::vector<int> rows_;
    bool pictures_;
    QString shopName_;
    QDate date_;
    int pageCount_ = 0;
    int picturesLeftOut_ = 0;
    std::unique_ptr<GlyphLine> textLine_; // while painting
    std::unique_ptr<GlyphLine> markLine_;
    std::unique_ptr<GlyphLine> salePriceLine_;
};
