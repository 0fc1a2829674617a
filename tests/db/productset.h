#pragma once
// An in-memory table shaped like the product table: the fields the windows bind to, the
// out-price rule (price × 1.25) and the new-record defaults.

#include "db/dataset.h"

#include <QDateTime>

struct ProductSet : DataSet {
    Field* id;
    Field* picture;
    Field* objectText;
    Field* productcode;
    Field* producttext;
    Field* price;
    Field* instock;
    Field* sale;
    Field* web;
    Field* utpris;

    ProductSet() : DataSet(QStringLiteral("MyTable"))
    {
        id = addField(QStringLiteral("id"), FieldKind::Integer);
        picture = addField(QStringLiteral("picture"), FieldKind::String, 128);
        objectText = addField(QStringLiteral("object_text"), FieldKind::Memo);
        productcode = addField(QStringLiteral("productcode"), FieldKind::String, 40);
        producttext = addField(QStringLiteral("producttext"), FieldKind::String, 128);
        price = addField(QStringLiteral("price"), FieldKind::Float);
        instock = addField(QStringLiteral("instock"), FieldKind::Float);
        sale = addField(QStringLiteral("sale"), FieldKind::Integer);
        web = addField(QStringLiteral("web"), FieldKind::Integer);
        utpris = addCalculatedField(QStringLiteral("utpris"), FieldKind::Currency);
        onCalcFields = [this](DataSet&) { utpris->setAsFloat(price->asFloat() * 1.25); };
        onNewRecord = [this](DataSet&) {
            instock->setAsFloat(1.0);
            sale->setAsInteger(0);
            web->setAsInteger(0);
            productcode->setAsString(QStringLiteral("08.12.2025 14:03:07"));
        };
    }

    // Opens with `n` products "Vare 0" ... (price 10, 20, ...; web 1 for every third).
    void fill(int n)
    {
        open();
        for (int i = 0; i < n; ++i)
            appendRecord({i + 1, QVariant(), QVariant(), QVariant(), QStringLiteral("Vare %1").arg(i), 10.0 * (i + 1),
                          1.0, 0, i % 3 == 2 ? 1 : 0});
        first();
    }
    // Adds one product with the given text, price and web flag (QVariant() for null).
    void add(const QString& text, const QVariant& price, const QVariant& webFlag)
    {
        appendRecord({recordCount() + 1, QVariant(), QVariant(), QVariant(), text, price, 1.0, 0, webFlag});
    }
};
