#pragma once
// An in-memory table shaped like the product table: the fields the windows bind to, with
// the product record's own out-price rule and new-record defaults.

#include "db/dataset.h"
#include "pricelist/product/productfields.h"
#include "pricelist/product/productrules.h"

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
        id = addField(productfield::id, FieldKind::Integer);
        picture = addField(productfield::picture, FieldKind::String, 128);
        objectText = addField(productfield::object_text, FieldKind::Memo);
        productcode = addField(productfield::productcode, FieldKind::String, 40);
        producttext = addField(productfield::producttext, FieldKind::String, 128);
        price = addField(productfield::price, FieldKind::Float);
        instock = addField(productfield::instock, FieldKind::Float);
        sale = addField(productfield::sale, FieldKind::Integer);
        web = addField(productfield::web, FieldKind::Integer);
        utpris = addCalculatedField(productfield::utpris, FieldKind::Currency);
        onCalcFields = [this](DataSet&) { utpris->setAsFloat(productrules::outPrice(price->asFloat())); };
        // The defaults of the fields this set holds, at a fixed time.
        onNewRecord = [this](DataSet&) {
            instock->setAsFloat(productrules::newProduct.instock);
            sale->setAsInteger(productrules::newProduct.sale);
            web->setAsInteger(productrules::newProduct.web);
            productcode->setAsString(productrules::newProductCode(QDateTime(QDate(2025, 12, 8), QTime(14, 3, 7))));
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
