#include "pricelist/producttable.h"

#include "common/errors.h"
#include "common/regional.h"
#include "pricelist/JaNei.h"

namespace {
const char* const productTable = "product";
const char* const listOrder = "web,producttext";
}

QByteArray ProductTable::listSelect()
{
    return sql::selectStatement(QString::fromLatin1(productTable), QString::fromLatin1(listOrder));
}

ProductTable::ProductTable(DbConnection& connection) : SqlTable(QStringLiteral("MyTable"), connection)
{
    setTableName(QString::fromLatin1(productTable));
    setOrderFields(QString::fromLatin1(listOrder));

    MyTableid = addField(QStringLiteral("id"), FieldKind::Integer);
    MyTablecreated = addField(QStringLiteral("created"), FieldKind::String, 10);
    MyTableuser_created = addField(QStringLiteral("user_created"), FieldKind::Integer);
    MyTableupdated = addField(QStringLiteral("updated"), FieldKind::DateTime);
    MyTablerec_lock = addField(QStringLiteral("rec_lock"), FieldKind::Integer);
    MyTablerwx_spesial = addField(QStringLiteral("rwx_spesial"), FieldKind::Integer);
    MyTablerwx_user = addField(QStringLiteral("rwx_user"), FieldKind::Integer);
    MyTablerwx_group = addField(QStringLiteral("rwx_group"), FieldKind::Integer);
    MyTablerwx_all = addField(QStringLiteral("rwx_all"), FieldKind::Integer);
    MyTableuser = addField(QStringLiteral("user"), FieldKind::Integer);
    MyTableusergroup = addField(QStringLiteral("usergroup"), FieldKind::Integer);
    MyTablechecked = addField(QStringLiteral("checked"), FieldKind::Integer);
    MyTableuser_favorite = addField(QStringLiteral("user_favorite"), FieldKind::Integer);
    MyTablepicture = addField(QStringLiteral("picture"), FieldKind::String, 128);
    MyTableobject_url = addField(QStringLiteral("object_url"), FieldKind::String, 128);
    MyTableobject_name = addField(QStringLiteral("object_name"), FieldKind::String, 64);
    MyTableobject_tag = addField(QStringLiteral("object_tag"), FieldKind::Integer);
    MyTableobject_text = addField(QStringLiteral("object_text"), FieldKind::Memo);
    MyTableusertag = addField(QStringLiteral("usertag"), FieldKind::Integer);
    MyTableproductcode = addField(QStringLiteral("productcode"), FieldKind::String, 40);
    MyTablerecalc_id = addField(QStringLiteral("recalc_id"), FieldKind::Integer);
    MyTablerecalc_number = addField(QStringLiteral("recalc_number"), FieldKind::Float);
    MyTableEAN = addField(QStringLiteral("EAN"), FieldKind::String, 40);
    MyTableproducttext = addField(QStringLiteral("producttext"), FieldKind::String, 128);
    MyTableinternaltext = addField(QStringLiteral("internaltext"), FieldKind::Memo);
    MyTablepiece = addField(QStringLiteral("piece"), FieldKind::String, 20);
    MyTableproductgroup = addField(QStringLiteral("productgroup"), FieldKind::String, 20);
    MyTablelastpriceupdate = addField(QStringLiteral("lastpriceupdate"), FieldKind::DateTime);
    MyTablecost = addField(QStringLiteral("cost"), FieldKind::Float);
    MyTablecurrency = addField(QStringLiteral("currency"), FieldKind::String, 30);
    MyTablecurrencycost = addField(QStringLiteral("currencycost"), FieldKind::Float);
    MyTableprice = addField(QStringLiteral("price"), FieldKind::Float);
    MyTablevatcode = addField(QStringLiteral("vatcode"), FieldKind::Integer);
    MyTablefreight = addField(QStringLiteral("freight"), FieldKind::Float);
    MyTableaddpercent = addField(QStringLiteral("addpercent"), FieldKind::Float);
    MyTableaddsum = addField(QStringLiteral("addsum"), FieldKind::Float);
    MyTablevalue = addField(QStringLiteral("value"), FieldKind::Float);
    MyTableownproduction = addField(QStringLiteral("ownproduction"), FieldKind::Integer);
    MyTableinternalwork = addField(QStringLiteral("internalwork"), FieldKind::Float);
    MyTablefirstsale = addField(QStringLiteral("firstsale"), FieldKind::DateTime);
    MyTablelastsale = addField(QStringLiteral("lastsale"), FieldKind::DateTime);
    MyTablelastorder = addField(QStringLiteral("lastorder"), FieldKind::DateTime);
    MyTableinstock = addField(QStringLiteral("instock"), FieldKind::Float);
    MyTableinsale = addField(QStringLiteral("insale"), FieldKind::Float);
    MyTableinorder = addField(QStringLiteral("inorder"), FieldKind::Float);
    MyTablevendor = addField(QStringLiteral("vendor"), FieldKind::Integer);
    MyTablevendorid = addField(QStringLiteral("vendorid"), FieldKind::String, 40);
    MyTablevendor2 = addField(QStringLiteral("vendor2"), FieldKind::Integer);
    MyTablevendorid2 = addField(QStringLiteral("vendorid2"), FieldKind::String, 40);
    MyTablemaxstock = addField(QStringLiteral("maxstock"), FieldKind::Float);
    MyTableminstock = addField(QStringLiteral("minstock"), FieldKind::Float);
    MyTabledrawing = addField(QStringLiteral("drawing"), FieldKind::String, 128);
    MyTablefolder = addField(QStringLiteral("folder"), FieldKind::String, 128);
    MyTableweight = addField(QStringLiteral("weight"), FieldKind::Float);
    MyTableheight = addField(QStringLiteral("height"), FieldKind::Integer);
    MyTablewidth = addField(QStringLiteral("width"), FieldKind::Integer);
    MyTabledeepth = addField(QStringLiteral("deepth"), FieldKind::Integer);
    MyTablevolume = addField(QStringLiteral("volume"), FieldKind::Float);
    MyTablestandard = addField(QStringLiteral("standard"), FieldKind::String, 80);
    MyTablesale = addField(QStringLiteral("sale"), FieldKind::Integer);
    MyTableweb = addField(QStringLiteral("web"), FieldKind::Integer);
    MyTablewarranty = addField(QStringLiteral("warranty"), FieldKind::Integer);
    MyTablerequirement = addField(QStringLiteral("requirement"), FieldKind::String, 128);
    MyTablepersons = addField(QStringLiteral("persons"), FieldKind::Memo);
    MyTablediscount = addField(QStringLiteral("discount"), FieldKind::Float);
    MyTabledirect_cost = addField(QStringLiteral("direct_cost"), FieldKind::Float);
    MyTablereal_cost = addField(QStringLiteral("real_cost"), FieldKind::Float);
    MyTablelocation = addField(QStringLiteral("location"), FieldKind::String, 63);
    MyTablelocationpos = addField(QStringLiteral("locationpos"), FieldKind::String, 63);
    MyTableinrecentstock = addField(QStringLiteral("inrecentstock"), FieldKind::Float);
    MyTableinrecentstockdate = addField(QStringLiteral("inrecentstockdate"), FieldKind::DateTime);
    MyTableutpris = addCalculatedField(QStringLiteral("utpris"), FieldKind::Currency);

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
    MyTableutpris->setAsFloat(MyTableprice->asFloat() * 1.25);
}

void ProductTable::MyTableNewRecord()
{
    MyTableinstock->setAsFloat(1.0);
    MyTablerwx_all->setAsInteger(5);
    MyTablerwx_user->setAsInteger(7);
    MyTablerwx_group->setAsInteger(7);
    MyTablesale->setAsInteger(0);
    MyTableweb->setAsInteger(0);
    const QDateTime when = now();
    const RegionalSettings& r = regional();
    QString text = when.date().toString(r.shortDateFormat);
    if (when.time().msecsSinceStartOfDay() != 0)
        text += QLatin1Char(' ') + when.time().toString(r.longTimeFormat);
    MyTableproductcode->setAsString(text);
}

void ProductTable::MyTableBeforeDelete()
{
    if (!askyesno(QStringLiteral("Vil du slette posten ") + MyTableproducttext->asString() + QLatin1Char('?'), false))
        throw SilentAbort();
}
