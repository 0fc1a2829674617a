#pragma once
// A started program in a sandbox (settings file, folder tree under APPDATA) and an
// in-memory product table to export.

#include "common/hs_reg.h"
#include "common/startup.h"
#include "pricelist/export/exportjob.h"
#include "tests/db/productset.h"
#include "tests/support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

class ExportFixture : public ::testing::Test {
protected:
    Sandbox sandbox;
    ProductSet table;
    const QDate day{2026, 12, 10};

    void SetUp() override
    {
        startup({}, sandbox.appData() + QStringLiteral("/bin/prisliste"));
        table.open();
    }
    void TearDown() override
    {
        shutdown();
        SettingsStore::instance().reset();
    }
    // One product; null where a QVariant() is given.
    void add(const QVariant& text, const QVariant& price, int sale = 0, int web = 0, const QVariant& description = {},
             const QVariant& picture = {})
    {
        table.appendRecord({table.recordCount() + 1, picture, description, QVariant(), text, price, 1.0, sale, web});
    }
    QString folder(const char* name) { return kvarnelopath(QString::fromLatin1(name)); }
    ExportResult exportOnly(bool pdf, bool csv, bool html, ProductSelection products = ProductSelection::All,
                            bool pictures = false)
    {
        ExportOptions options;
        options.pdf = pdf;
        options.csv = csv;
        options.html = html;
        options.products = products;
        options.pictures = pictures;
        return ExportJob(table, options, QStringLiteral("Brisvald Blomster Søm & Shop"), day).run();
    }
    static QString readText(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // A picture file of one colour in a folder of the sandbox (made when missing); its folder.
    QString writePicture(const QString& folderName, const QString& name, QSize size, Qt::GlobalColor colour)
    {
        const QString dir = sandbox.root() + QLatin1Char('/') + folderName + QLatin1Char('/');
        QDir().mkpath(dir);
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(dir + name)) << name.toStdString();
        return dir;
    }
    // Every entry of a folder, hidden ones included.
    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

// Texts that break careless writers: quotes, both separators, line breaks, markup,
// characters outside Latin-1 (held by Windows-1252), formula starters.
inline const QStringList hostileTexts = {
    QStringLiteral("Roser \"røde\""),
    QStringLiteral("Sytråd; 3 farger, blå"),
    QStringLiteral("Linje 1\nLinje 2\r\nLinje 3"),
    QStringLiteral("<b>Bånd</b> & sløyfer </td><script>x()</script>"),
    QStringLiteral("Œuvre €5 – “spesial” ‰"),
    QStringLiteral("=HYPERLINK(\"http://x\";\"y\")"),
    QStringLiteral("+47 blomster"),
    QStringLiteral("-rabatt"),
    QStringLiteral("@SUM(A1)"),
    QStringLiteral("\tTabulator"),
    QStringLiteral("\rVognretur"),
    QStringLiteral("æøå ÆØÅ 'enkel'"),
};

// Texts with control characters, and what a reader of the export gets of each: tab, line
// feed and carriage return stay, every other C0 character, DEL and C1 are left out.
struct ControlText {
    QString raw;
    QString clean;
};
inline const std::vector<ControlText> controlTexts = {
    {QStringLiteral("Nul") + QChar(0) + QStringLiteral("byte"), QStringLiteral("Nulbyte")},
    {QStringLiteral("\x1B[31mRød\x1B[0m"), QStringLiteral("[31mRød[0m")},
    {QStringLiteral("Slett\x7F"), QStringLiteral("Slett")},
    {QStringLiteral("C1") + QChar(0x81) + QChar(0x9D) + QStringLiteral(" ut"), QStringLiteral("C1 ut")},
    {QStringLiteral("\x01\x08\x0B\x0C\x1F" "=1+1"), QStringLiteral("=1+1")},
    {QStringLiteral("Tab\tstår"), QStringLiteral("Tab\tstår")},
};
