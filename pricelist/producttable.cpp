#include "pricelist/producttable.h"

#include "common/errors.h"
#include "pricelist/JaNei.h"
#include "pricelist/product/productfields.h"
#include "pricelist/product/productrules.h"

namespace {
const char* const productTable = "product";

QString listOrder()
{
    return QString(productfield::web) + QLatin1Char(',') + productfield::producttext;
}
}

QByteArray ProductTable::listSelect()
{
    return sql::selectStatement(QString::fromLatin1(productTable), listOrder());
}

ProductTable::ProductTable(DbConnection& connection) : SqlTable(QStringLiteral("MyTable"), connection)
{
    setTableName(QString::fromLatin1(productTable));
    setOrderFields(listOrder());

    MyTableid = addField(productfield::id, FieldKind::Integer);
    MyTablecreated = addField(productfield::created, FieldKind::String, 10);
    MyTableuser_created = addField(productfield::user_created, FieldKind::Integer);
    MyTableupdated = addField(productfield::updated, FieldKind::DateTime);
    MyTablerec_lock = addField(productfield::rec_lock, FieldKind::Integer);
    MyTablerwx_spesial = addField(productfield::rwx_spesial, FieldKind::Integer);
    MyTablerwx_user = addField(productfield::rwx_user, FieldKind::Integer);
    MyTablerwx_group = addField(productfield::rwx_group, FieldKind::Integer);
    MyTablerwx_all = addField(productfield::rwx_all, FieldKind::Integer);
    MyTableuser = addField(productfield::user, FieldKind::Integer);
    MyTableusergroup = addField(productfield::usergroup, FieldKind::Integer);
    MyTablechecked = addField(productfield::checked, FieldKind::Integer);
    MyTableuser_favorite = addField(productfield::user_favorite, FieldKind::Integer);
    MyTablepicture = addField(productfield::picture, FieldKind::String, 128);
    MyTableobject_url = addField(productfield::object_url, FieldKind::String, 128);
    MyTableobject_name = addField(productfield::object_name, FieldKind::String, 64);
    MyTableobject_tag = addField(productfield::object_tag, FieldKind::Integer);
    MyTableobject_text = addField(productfield::object_text, FieldKind::Memo);
    MyTableusertag = addField(productfield::usertag, FieldKind::Integer);
    MyTableproductcode = addField(productfield::productcode, FieldKind::String, 40);
    MyTablerecalc_id = addField(productfield::recalc_id, FieldKind::Integer);
    MyTablerecalc_number = addField(productfield::recalc_number, FieldKind::Float);
    MyTableEAN = addField(productfield::EAN, FieldKind::String, 40);
    MyTableproducttext = addField(productfield::producttext, FieldKind::String, 128);
    MyTableinternaltext = addField(productfield::internaltext, FieldKind::Memo);
    MyTablepiece = addField(productfield::piece, FieldKind::String, 20);
    MyTableproductgroup = addField(productfield::productgroup, FieldKind::String, 20);
    MyTablelastpriceupdate = addField(productfield::lastpriceupdate, FieldKind::DateTime);
    MyTablecost = addField(productfield::cost, FieldKind::Float);
    MyTablecurrency = addField(productfield::currency, FieldKind::String, 30);
    MyTablecurrencycost = addField(productfield::currencycost, FieldKind::Float);
    MyTableprice = addField(productfield::price, FieldKind::Float);
    MyTablevatcode = addField(productfield::vatcode, FieldKind::Integer);
    MyTablefreight = addField(productfield::freight, FieldKind::Float);
    MyTableaddpercent = addField(productfield::addpercent, FieldKind::Float);
    MyTableaddsum = addField(productfield::addsum, FieldKind::Float);
    MyTablevalue = addField(productfield::value, FieldKind::Float);
    MyTableownproduction = addField(productfield::ownproduction, FieldKind::Integer);
    MyTableinternalwork = addField(productfield::internalwork, FieldKind::Float);
    MyTablefirstsale = addField(productfield::firstsale, FieldKind::DateTime);
    MyTablelastsale = addField(productfield::lastsale, FieldKind::DateTime);
    MyTablelastorder = addField(productfield::lastorder, FieldKind::DateTime);
    MyTableinstock = addField(productfield::instock, FieldKind::Float);
    MyTableinsale = addField(productfield::insale, FieldKind::Float);
    MyTableinorder = addField(productfield::inorder, FieldKind::Float);
    MyTablevendor = addField(productfield::vendor, FieldKind::Integer);
    MyTablevendorid = addField(productfield::vendorid, FieldKind::String, 40);
    MyTablevendor2 = addField(productfield::vendor2, FieldKind::Integer);
    MyTablevendorid2 = addField(productfield::vendorid2, FieldKind::String, 40);
    MyTablemaxstock = addField(productfield::maxstock, FieldKind::Float);
    MyTableminstock = addField(productfield::minstock, FieldKind::Float);
    MyTabledrawing = addField(productfield::drawing, FieldKind::String, 128);
    MyTablefolder = addField(productfield::folder, FieldKind::String, 128);
    MyTableweight = addField(productfield::weight, FieldKind::Float);
    MyTableheight = addField(productfield::height, FieldKind::Integer);
    MyTablewidth = addField(productfield::width, FieldKind::Integer);
    MyTabledeepth = addField(productfield::deepth, FieldKind::Integer);
    MyTablevolume = addField(productfield::volume, FieldKind::Float);
    MyTablestandard = addField(productfield::standard, FieldKind::String, 80);
    MyTablesale = addField(productfield::sale, FieldKind::Integer);
    MyTableweb = addField(productfield::web, FieldKind::Integer);
    MyTablewarranty = addField(productfield::warranty, FieldKind::Integer);
    MyTablerequirement = addField(productfield::requirement, FieldKind::String, 128);
    MyTablepersons = addField(productfield::persons, FieldKind::Memo);
    MyTablediscount = addField(productfield::discount, FieldKind::Float);
    MyTabledirect_cost = addField(productfield::direct_cost, FieldKind::Float);
    MyTablereal_cost = addField(productfield::real_cost, FieldKind::Float);
    MyTablelocation = addField(productfield::location, FieldKind::String, 63);
    MyTablelocationpos = addField(productfield::locationpos, FieldKind::String, 63);
    MyTableinrecentstock = addField(productfield::inrecentstock, FieldKind::Float);
    MyTableinrecentstockdate = addField(productfield::inrecentstockdate, FieldKind::DateTime);
    MyTableutpris = addCalculatedField(productfield::utpris, FieldKind::Currency);

    // What the detail dialog calls them, for the errors that name a field.
    MyTableproducttext->setDisplayLabel(QStringLiteral("Tekst"));
    MyTableobject_text->setDisplayLabel(QStringLiteral("Utfyllende tekst"));
    MyTablepicture->setDisplayLabel(QStringLiteral("Bilde"));

    onCalcFields = [this](DataSet&) { MyTableCalcFields(); };
    onNewRecord = [this](DataSet&) { MyTableNewRecord(); };
    beforeDelete = [this](DataSet&) { MyTableBeforeDelete(); };
}

void ProductTable::MyTableCalcFields()
{
    MyTableutpris->setAsFloat(productrules::outPrice(MyTableprice->asFloat()));
}

void ProductTable::MyTableNewRecord()
{
    const productrules::NewProductDefaults& d = productrules::newProduct;
    MyTableinstock->setAsFloat(d.instock);
    MyTablerwx_all->setAsInteger(d.rwxAll);
    MyTablerwx_user->setAsInteger(d.rwxUser);
    MyTablerwx_group->setAsInteger(d.rwxGroup);
    MyTablesale->setAsInteger(d.sale);
    MyTableweb->setAsInteger(d.web);
    MyTableproductcode->setAsString(productrules::newProductCode(now()));
}

void ProductTable::MyTableBeforeDelete()
{
    if (!askyesno(QStringLiteral("Vil du slette posten ") + MyTableproducttext->asString() + QLatin1Char('?'), false))
        throw SilentAbort();
}
