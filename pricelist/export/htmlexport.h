#pragma once
// The price list as one self-contained web page: its own CSS, no scripts, no outside
// links; it reads well on a phone and on a desktop, and is well-formed XML as well. Every
// text is escaped. With pictures, each product's thumbnail (at most 200 pixels) is
// written into the pictures folder and linked relatively from the page.

#include "pricelist/export/exportstep.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

class ProductRows;
class QIODevice;

// & < > " ' as character references; control characters left out.
QString htmlEscaped(const QString& text);

class HtmlPriceList {
public:
    HtmlPriceList(const ProductRows& products, std::vector<int> rows, QString shopName, QDate date);

    // Thumbnails go into picturesFolder (written whole, one by one) and are linked
    // relative to pageFolder. Without this no pictures are shown.
    void setPictures(const QString& pageFolder, const QString& picturesFolder);

    void write(QIODevice& out, const ExportStep& step);

    int picturesLeftOut() const { return picturesLeftOut_; }
    const QStringList& thumbnailsWritten() const { return thumbnails_; }

private:
    QString thumbnailLink(int row);

    const ProductRows& products_;
    std::vector<int> rows_;
    QString shopName_;
    QDate date_;
    QString pageFolder_;
    QString picturesFolder_;
    int picturesLeftOut_ = 0;
    QStringList thumbnails_;
};
