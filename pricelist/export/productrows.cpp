#include "pricelist/export/productrows.h"

#include "common/errors.h"
#include "db/dataset.h"
#include "db/recordstore.h"
#include "db/win1252.h"
#include "pricelist/product/productfields.h"

ProductRows::ProductRows(const DataSet& table)
    : records_(table.records()),
      id_(table.fieldByName(productfield::id)),
      text_(table.fieldByName(productfield::producttext)),
      description_(table.fieldByName(productfield::object_text)),
      picture_(table.fieldByName(productfield::picture)),
      price_(table.fieldByName(productfield::price)),
      outPrice_(table.fieldByName(productfield::utpris)),
      sale_(table.fieldByName(productfield::sale)),
      web_(table.fieldByName(productfield::web))
{
    // The texts are read as the store's bytes: only text fields hold those.
    for (const Field* field : {text_, description_, picture_})
        if (!isTextKind(field->kind()))
            throw Error(table.name() + QStringLiteral(": Field '%1' is not a text field").arg(field->fieldName()));
}

int ProductRows::count() const
{
    return records_.size();
}

std::vector<int> ProductRows::select(ProductSelection selection) const
{
    std::vector<int> rows;
    rows.reserve(size_t(count()));
    for (int row = 0; row < count(); ++row) {
        if ((selection == ProductSelection::WebShop && !inWebShop(row))
            || (selection == ProductSelection::OnSale && !onSale(row)))
            continue;
        rows.push_back(row);
    }
    return rows;
}

qint64 ProductRows::integer(int row, const Field* field) const
{
    if (isFloatKind(field->kind()))
        return qint64(records_.floatValue(row, field->index()));
    return records_.integerValue(row, field->index());
}

QString ProductRows::string(int row, const Field* field) const
{
    const QByteArrayView bytes = records_.bytes(row, field->index());
    return fromWin1252(bytes.data(), bytes.size());
}

qint64 ProductRows::id(int row) const
{
    return integer(row, id_);
}

QString ProductRows::text(int row) const
{
    return string(row, text_);
}

QString ProductRows::description(int row) const
{
    return string(row, description_);
}

QString ProductRows::picture(int row) const
{
    return string(row, picture_);
}

double ProductRows::price(int row) const
{
    return records_.floatValue(row, price_->index());
}

double ProductRows::outPrice(int row) const
{
    return records_.floatValue(row, outPrice_->index());
}

// The flags count as set at 1, as the list's green rows do.
bool ProductRows::onSale(int row) const
{
    return integer(row, sale_) == 1;
}

bool ProductRows::inWebShop(int row) const
{
    return integer(row, web_) == 1;
}
