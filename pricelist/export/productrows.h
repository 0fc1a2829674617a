#pragma once
// The product values an export reads, straight from the data set's stored records: no
// QVariant per value. Rows are the data set's rows in the list's order; the data set must
// be in the browse state while this is used (no record in an edit buffer).

#include "pricelist/export/exportoptions.h"

#include <QString>
#include <vector>

class DataSet;
class Field;
class RecordStore;

class ProductRows {
public:
    // Throws Error when the data set lacks one of the product fields.
    explicit ProductRows(const DataSet& table);

    int count() const;
    // The rows that the selection takes, in the list's order.
    std::vector<int> select(ProductSelection selection) const;

    qint64 id(int row) const;
    QString text(int row) const;
    QString description(int row) const;
    QString picture(int row) const;
    double price(int row) const;
    double outPrice(int row) const;
    bool onSale(int row) const;
    bool inWebShop(int row) const;

private:
    qint64 integer(int row, const Field* field) const;
    QString string(int row, const Field* field) const;

    const RecordStore& records_;
    const Field* id_;
    const Field* text_;
    const Field* description_;
    const Field* picture_;
    const Field* price_;
    const Field* outPrice_;
    const Field* sale_;
    const Field* web_;
};
