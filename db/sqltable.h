#pragma once
// A data set over one server table: open reads every row of "SELECT * FROM <table>
// ORDER BY <order fields>" into the record store; Post and Delete send one INSERT,
// UPDATE or DELETE of the record and require exactly one affected row.
//
// Defined fields are bound to the result's columns by name ("Field '%s' not found",
// "Type mismatch for field '%s', expecting: %s actual: %s"); String fields take their
// column's width, narrower or wider than declared. Without defined fields, one field per
// column is made.
// The key comes from the columns' flags (primary > unique/multiple/part of a key >
// auto-increment > every field but memo and binary). A failed write throws and leaves
// the data set's state and values as they were.

#include "db/connection.h"
#include "db/dataset.h"
#include "db/sqlstatements.h"

class SqlTable : public DataSet {
public:
    SqlTable(QString name, DbConnection& connection);

    void setTableName(const QString& table) { table_ = table; }
    const QString& tableName() const { return table_; }
    void setOrderFields(const QString& orderFields) { order_ = orderFields; }
    const QString& orderFields() const { return order_; }
    DbConnection& connection() const { return connection_; }

    QByteArray selectStatement() const;
    // Known after open.
    const std::vector<const Field*>& keyFields() const { return key_; }
    const Field* autoIncrementField() const { return autoIncrement_; }

protected:
    void readRecords() override;     // opens the connection first when it is closed
    void writeInsert() override;
    void writeUpdate() override;
    void writeDelete(int row) override;
    std::vector<const Field*> recordKey() const override { return key_; }

private:
    void bindFields(MYSQL_RES* result, std::vector<int>& columnOf);
    std::vector<sql::Assignment> keyCondition(int row) const;
    void expectOneRow(quint64 affected) const;
    QByteArray literalOf(const Field& field, const QVariant& value) const;

    DbConnection& connection_;
    QString table_;
    QString order_;
    std::vector<const Field*> key_;
    const Field* autoIncrement_ = nullptr;
};
