#include "pricelist/export/htmlexport.h"

#include "common/regional.h"
#include "pricelist/export/controlcharacters.h"
#include "pricelist/export/exportfile.h"
#include "pricelist/export/exportpicture.h"
#include "pricelist/export/productrows.h"

#include <QBuffer>
#include <QDir>
#include <QIODevice>
#include <QUrl>

namespace {
const char* const style = R"css(
*{box-sizing:border-box}
body{margin:0;font-family:"DejaVu Sans",Verdana,Arial,sans-serif;color:#222;background:#fff}
header{padding:1rem;border-bottom:2px solid #777}
h1{margin:0;font-size:1.5rem}
header p{margin:.25rem 0 0;color:#555}
main{max-width:48rem;margin:0 auto;padding:.5rem}
table{width:100%;border-collapse:collapse}
th{text-align:left;border-bottom:1px solid #777;padding:.4rem}
td{padding:.4rem;vertical-align:middle;border-bottom:1px solid #e4e4e4}
tbody tr:nth-child(even){background:#f3f3f3}
.pris{text-align:right;white-space:nowrap}
.bilde{width:5.5rem}
.bilde img{display:block;max-width:5rem;max-height:5rem;height:auto}
.tekst{font-weight:bold}
.beskrivelse{display:block;color:#555;font-size:.9em;white-space:pre-line;overflow-wrap:anywhere}
.salg .pris{color:#b40000}
.merke{display:inline-block;margin-left:.4rem;padding:0 .3rem;border:1px solid #b40000;border-radius:.2rem;font-size:.75em;color:#b40000}
@media (max-width:30rem){main{padding:0}.bilde{width:3.5rem}.bilde img{max-width:3rem;max-height:3rem}.merke{display:block;margin:0}}
)css";
}

QString htmlEscaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : withoutControlCharacters(text)) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        case '\'': out += QStringLiteral("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

HtmlPriceList::HtmlPriceList(const ProductRows& products, std::vector<int> rows, QString shopName, QDate date)
    : products_(products), rows_(std::move(rows)), shopName_(std::move(shopName)), date_(date)
{
}

void HtmlPriceList::setPictures(const QString& pageFolder, const QString& picturesFolder)
{
    pageFolder_ = pageFolder;
    picturesFolder_ = picturesFolder;
}

// Writes the row's thumbnail and returns its relative link; empty when it has none.
QString HtmlPriceList::thumbnailLink(int row)
{
    const QString reference = products_.picture(row);
    if (reference.trimmed().isEmpty())
        return {};
    const QImage picture = loadExportPicture(reference, 200);
    if (picture.isNull()) {
        ++picturesLeftOut_;
        return {};
    }
    const bool alpha = picture.hasAlphaChannel();
    const QString name = QStringLiteral("vare-%1.%2").arg(products_.id(row)).arg(alpha ? QLatin1String("png") : QLatin1String("jpg"));
    ExportFile file(picturesFolder_, name);
    if (!picture.save(&file.device(), alpha ? "PNG" : "JPEG", 85)) {
        ++picturesLeftOut_;
        return {};
    }
    file.commit();
    thumbnails_ << file.path();
    const QStringList parts = QDir(pageFolder_).relativeFilePath(file.path()).split(QLatin1Char('/'));
    QStringList encoded;
    for (const QString& part : parts)
        encoded << QString::fromLatin1(QUrl::toPercentEncoding(part));
    return encoded.join(QLatin1Char('/'));
}

void HtmlPriceList::write(QIODevice& out, const ExportStep& step)
{
    const QString title = htmlEscaped(shopName_);
    const QString when = htmlEscaped(date_.toString(regional().shortDateFormat));
    const bool pictures = !picturesFolder_.isEmpty();
    QString page;
    page += QStringLiteral("<!DOCTYPE html>\n<html lang=\"nb\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n<title>Prisliste – ")
        + title + QStringLiteral("</title>\n<style>") + QString::fromUtf8(style)
        + QStringLiteral("</style>\n</head>\n<body>\n<header><h1>") + title
        + QStringLiteral("</h1><p>Prisliste ") + when + QStringLiteral("</p></header>\n<main>\n<table>\n<thead><tr>")
        + (pictures ? QStringLiteral("<th class=\"bilde\"></th>") : QString())
        + QStringLiteral("<th>Vare</th><th class=\"pris\">Pris</th></tr></thead>\n<tbody>\n");
    out.write(page.toUtf8());
    for (const int row : rows_) {
        const bool sale = products_.onSale(row);
        QString line = sale ? QStringLiteral("<tr class=\"salg\">") : QStringLiteral("<tr>");
        if (pictures) {
            const QString link = thumbnailLink(row);
            line += link.isEmpty() ? QStringLiteral("<td class=\"bilde\"></td>")
                                   : QStringLiteral("<td class=\"bilde\"><img src=\"") + htmlEscaped(link)
                                         + QStringLiteral("\" alt=\"\"/></td>");
        }
        line += QStringLiteral("<td><span class=\"tekst\">") + htmlEscaped(products_.text(row)) + QStringLiteral("</span>");
        const QString description = products_.description(row).trimmed();
        if (!description.isEmpty())
            line += QStringLiteral("<span class=\"beskrivelse\">") + htmlEscaped(description) + QStringLiteral("</span>");
        line += QStringLiteral("</td><td class=\"pris\">") + htmlEscaped(formatCurrency(products_.outPrice(row)));
        if (sale)
            line += QStringLiteral("<span class=\"merke\">På salg</span>");
        line += QStringLiteral("</td></tr>\n");
        out.write(line.toUtf8());
        if (step)
            step();
    }
    out.write(QStringLiteral("</tbody>\n</table>\n</main>\n</body>\n</html>\n").toUtf8());
}
