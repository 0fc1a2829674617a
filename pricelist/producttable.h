#pragma once
// The product table `MyTable`: the rows of the server table `product`, read in the order
// "web,producttext", with the product record's 72 fields (71 columns and the calculated
// out-price `utpris`) and its three record rules.

#include "db/sqltable.h"

#include <QDateTime>
#include <functional>

class ProductTable : public SqlTable {
public:
    explicit ProductTable(DbConnection& connection);
    // The statement that reads the list (selectStatement() of every product table).
    static QByteArray listSelect();

    // The field objects, in the record's order.
    Field* MyTableid;
    Field* MyTablecreated;
    Field* MyTableuser_created;
    Field* MyTableupdated;
    Field* MyTablerec_lock;
    Field* MyTablerwx_spesial;
    Field* MyTablerwx_user;
    Field* MyTablerwx_group;
    Field* MyTablerwx_all;
    Field* MyTableuser;
    Field* MyTableusergroup;
    Field* MyTablechecked;
    Field* MyTableuser_favorite;
    Field* MyTablepicture;
    Field* MyTableobject_url;
    Field* MyTableobject_name;
    Field* MyTableobject_tag;
    Field* MyTableobject_text;
    Field* MyTableusertag;
    Field* MyTableproductcode;
    Field* MyTablerecalc_id;
    Field* MyTablerecalc_number;
    Field* MyTableEAN;
    Field* MyTableproducttext;
    Field* MyTableinternaltext;
    Field* MyTablepiece;
    Field* MyTableproductgroup;
    Field* MyTablelastpriceupdate;
    Field* MyTablecost;
    Field* MyTablecurrency;
    Field* MyTablecurrencycost;
    Field* MyTableprice;
    Field* MyTablevatcode;
    Field* MyTablefreight;
    Field* MyTableaddpercent;
    Field* MyTableaddsum;
    Field* MyTablevalue;
    Field* MyTableownproduction;
    Field* MyTableinternalwork;
    Field* MyTablefirstsale;
    Field* MyTablelastsale;
    Field* MyTablelastorder;
    Field* MyTableinstock;
    Field* MyTableinsale;
    Field* MyTableinorder;
    Field* MyTablevendor;
    Field* MyTablevendorid;
    Field* MyTablevendor2;
    Field* MyTablevendorid2;
    Field* MyTablemaxstock;
    Field* MyTableminstock;
    Field* MyTabledrawing;
    Field* MyTablefolder;
    Field* MyTableweight;
    Field* MyTableheight;
    Field* MyTablewidth;
    Field* MyTabledeepth;
    Field* MyTablevolume;
    Field* MyTablestandard;
    Field* MyTablesale;
    Field* MyTableweb;
    Field* MyTablewarranty;
    Field* MyTablerequirement;
    Field* MyTablepersons;
    Field* MyTablediscount;
    Field* MyTabledirect_cost;
    Field* MyTablereal_cost;
    Field* MyTablelocation;
    Field* MyTablelocationpos;
    Field* MyTableinrecentstock;
    Field* MyTableinrecentstockdate;
    Field* MyTableutpris;

    // Out-price: price * 1.25, unrounded (a null price counts as 0).
    void MyTableCalcFields();
    // The defaults of a new record; productcode is the local date and time as regional
    // text (the time part left out at exactly midnight).
    void MyTableNewRecord();
    // Asks "Vil du slette posten <text>?" (default no); no refuses the delete silently.
    void MyTableBeforeDelete();

    // The clock of the new-record rule (replaceable in tests).
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};
