// The data source: the order in which the table's notifications reach the window's
// handlers, and the bound parts being refreshed before the handlers run.
#include "db/datasource.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbtext.h"
#include "tests/db/productset.h"
#include "tests/support/qstringprint.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <functional>

namespace {

const char* stateName(DataSetState s)
{
    static const char* names[] = {"inactive", "browse", "edit", "insert"};
    return names[int(s)];
}

struct OrderCase {
    const char* name;
    std::function<void(ProductSet&, DBEdit& priceBox)> before;
    std::function<void(ProductSet&)> action;
    QStringList expected;
};

void typeIntoPending(ProductSet& t, DBEdit& box, const QString& text)
{
    // Input that the price box holds but has not written yet.
    t.edit();
    box.setText(text);
    emit box.textEdited(text);
}

template <class Control>
void bind(Control& control, DataSource& source, const char* field)
{
    control.setDataSource(&source);
    control.setDataField(QString::fromLatin1(field));
}

class NotificationOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(NotificationOrder, ReachesTheHandlersInTheTablesOrder)
{
    const OrderCase& c = GetParam();
    ProductSet t;
    t.fill(3);
    DataSource source;
    source.setDataSet(&t);
    DBEdit priceBox;
    priceBox.setDataSource(&source);
    priceBox.setDataField(QStringLiteral("price"));
    if (c.before)
        c.before(t, priceBox);

    QStringList seen;
    source.onStateChange = [&] { seen << QStringLiteral("state:%1").arg(QLatin1String(stateName(source.state()))); };
    source.onDataChange = [&](const Field* f) {
        seen << (f ? QStringLiteral("data:%1=%2").arg(f->fieldName(), f->displayText()) : QStringLiteral("data"));
    };
    c.action(t);
    EXPECT_EQ(seen, c.expected);
}

const QString insertTail = QStringLiteral("state:insert|data:instock=1|data:sale=0|data:web=0|"
                                          "data:productcode=08.12.2025 14:03:07|data");

QStringList seq(const QString& s)
{
    return s.isEmpty() ? QStringList() : s.split(QLatin1Char('|'));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, NotificationOrder,
    ::testing::Values(
        OrderCase{"InsertFromBrowse", {}, [](ProductSet& t) { t.insert(); }, seq(insertTail)},
        OrderCase{"InsertWhileEditingModified",
                  [](ProductSet& t, DBEdit&) {
                      t.edit();
                      t.producttext->setAsString(QStringLiteral("Tulipan"));
                  },
                  [](ProductSet& t) { t.insert(); }, seq(QStringLiteral("state:browse|data|") + insertTail)},
        OrderCase{"InsertWhileEditingUnmodified", [](ProductSet& t, DBEdit&) { t.edit(); },
                  [](ProductSet& t) { t.insert(); }, seq(QStringLiteral("state:browse|data|") + insertTail)},
        OrderCase{"Edit", {}, [](ProductSet& t) { t.edit(); }, seq(QStringLiteral("state:edit|data"))},
        OrderCase{"EditWhileEditing", [](ProductSet& t, DBEdit&) { t.edit(); }, [](ProductSet& t) { t.edit(); }, {}},
        OrderCase{"PostWritesPendingInputFirst",
                  [](ProductSet& t, DBEdit& box) { typeIntoPending(t, box, QStringLiteral("12,5")); },
                  [](ProductSet& t) { t.post(); },
                  seq(QStringLiteral("data:price=12,5|state:browse|data"))},
        OrderCase{"Cancel", [](ProductSet& t, DBEdit&) { t.edit(); }, [](ProductSet& t) { t.cancel(); },
                  seq(QStringLiteral("state:browse|data"))},
        OrderCase{"DeleteInBrowse", {}, [](ProductSet& t) { t.deleteRecord(); }, seq(QStringLiteral("data"))},
        OrderCase{"DeleteInEdit", [](ProductSet& t, DBEdit&) { t.edit(); }, [](ProductSet& t) { t.deleteRecord(); },
                  seq(QStringLiteral("state:browse|data"))},
        OrderCase{"DeleteInInsertDiscards", [](ProductSet& t, DBEdit&) { t.insert(); },
                  [](ProductSet& t) { t.deleteRecord(); }, seq(QStringLiteral("state:browse|data"))},
        OrderCase{"Next", {}, [](ProductSet& t) { t.next(); }, seq(QStringLiteral("data"))},
        OrderCase{"NextOnLast", [](ProductSet& t, DBEdit&) { t.last(); }, [](ProductSet& t) { t.next(); }, {}},
        OrderCase{"LastPostsPendingInputFirst",
                  [](ProductSet& t, DBEdit& box) { typeIntoPending(t, box, QStringLiteral("7")); },
                  [](ProductSet& t) { t.last(); },
                  seq(QStringLiteral("data:price=7|state:browse|data|data"))},
        OrderCase{"PriorCancelsUnmodifiedEdit",
                  [](ProductSet& t, DBEdit&) {
                      t.next();
                      t.edit();
                  },
                  [](ProductSet& t) { t.prior(); }, seq(QStringLiteral("state:browse|data|data"))},
        OrderCase{"FieldSetFromHandlerAfterOutPrice", [](ProductSet& t, DBEdit&) { t.edit(); },
                  [](ProductSet& t) { t.price->setAsFloat(100); }, seq(QStringLiteral("data:price=100"))}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(DataSource, BoundControlsShowTheNewValueBeforeTheHandlerRuns)
{
    ProductSet t;
    t.fill(2);
    DataSource source;
    source.setDataSet(&t);
    DBText outPrice;
    bind(outPrice, source, "utpris");
    QStringList shown;
    source.onDataChange = [&](const Field*) { shown << outPrice.text(); };

    t.edit();
    t.price->setAsFloat(9.99);   // a field set from a handler: the out-price computed anew first
    t.next();                    // posted, then moved
    EXPECT_EQ(shown, (QStringList{QStringLiteral("kr 12,50"), QStringLiteral("kr 12,49"), QStringLiteral("kr 12,49"),
                                  QStringLiteral("kr 25,00")}));
}

TEST(DataSource, EditAndPostShowTheRecordAgainWhereAControlDiffersFromIt)
{
    ProductSet t;
    t.fill(3);
    DataSource source;
    source.setDataSet(&t);
    DBEdit priceBox;
    bind(priceBox, source, "price");
    DBText outPrice;
    bind(outPrice, source, "utpris");

    // Input the box holds but has not written gives way to the value when the edit starts.
    priceBox.setText(QStringLiteral("99"));
    emit priceBox.textEdited(priceBox.text());
    t.edit();
    EXPECT_EQ(priceBox.text(), QStringLiteral("10"));
    EXPECT_FALSE(priceBox.hasPendingInput());

    // A move made by the handler while the post is announced shows the next record.
    t.price->setAsFloat(5);
    EXPECT_EQ(outPrice.text(), QStringLiteral("kr 6,25"));
    bool moved = false;
    source.onDataChange = [&](const Field* f) {
        if (!f && !moved) {
            moved = true;
            t.next();
        }
    };
    t.post();
    EXPECT_EQ(t.currentRow(), 1);
    EXPECT_EQ(priceBox.text(), QStringLiteral("20"));
    EXPECT_EQ(outPrice.text(), QStringLiteral("kr 25,00"));
    EXPECT_DOUBLE_EQ(t.price->valueAt(0).toDouble(), 5);
}

TEST(DataSource, DetachedOrSwappedDataSetLeavesNoDanglingNotifications)
{
    ProductSet a, b;
    a.fill(1);
    b.fill(2);
    b.next();
    DataSource source;
    source.setDataSet(&a);
    DBText text;
    text.setDataSource(&source);
    text.setDataField(QStringLiteral("producttext"));
    EXPECT_EQ(text.text(), QStringLiteral("Vare 0"));

    source.setDataSet(&b);
    EXPECT_EQ(text.text(), QStringLiteral("Vare 1"));
    int calls = 0;
    source.onDataChange = [&](const Field*) { ++calls; };
    a.edit();            // the old data set no longer reaches the source
    EXPECT_EQ(calls, 0);

    source.setDataSet(nullptr);
    EXPECT_EQ(text.text(), QString());
    EXPECT_EQ(source.state(), DataSetState::Inactive);
}

} // namespace
