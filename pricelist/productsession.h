#pragma once
// A product session: the connection to the product database, the product table `MyTable`
// over it and the data source `MyDataSource` that the list and the detail dialog are
// bound to. The price list window holds one for the whole run; a job without windows
// (the nightly export) opens one of its own.

#include "db/connection.h"
#include "db/datasource.h"
#include "db/earlyopen.h"
#include "pricelist/producttable.h"

#include <memory>

class ProductSession {
public:
    // `early`: the list's select that main sent before Qt started, taken over by the
    // open when it can be (null: none). `dataSourceParent`: the data source's Qt parent,
    // so a window finds it by name; the session still destroys it, before the table.
    explicit ProductSession(std::unique_ptr<EarlyOpen> early = nullptr, QObject* dataSourceParent = nullptr);
    ~ProductSession();
    ProductSession(const ProductSession&) = delete;
    ProductSession& operator=(const ProductSession&) = delete;

    // Opens the connection with the product database's settings (a faulty connection file
    // is logged) and reads every product; throws when that fails.
    void open();

    // Declared in this order: the data source lets go of the table before the table goes,
    // and the table goes before its connection, which then quits.
    DbConnection MyConnection;
    ProductTable MyTable{MyConnection};
    DataSource MyDataSource;
};
