#include "pricelist/productsession.h"

#include "pricelist/connectionvalues.h"

ProductSession::ProductSession(std::unique_ptr<EarlyOpen> early, QObject* dataSourceParent)
    : MyDataSource(dataSourceParent)
{
    MyConnection.takeEarlyOpen(std::move(early));
    MyDataSource.setObjectName(QStringLiteral("MyDataSource"));
    MyDataSource.setDataSet(&MyTable);
}

ProductSession::~ProductSession()
{
    // Nothing may listen to the table once it starts to go.
    MyDataSource.setDataSet(nullptr);
}

void ProductSession::open()
{
    // The table opens its connection first, then reads every product.
    MyConnection.setSettings(loggedDatabaseSettings());
    MyTable.open();
}
