// "Prisliste" > "Eksporter..." on the real product table: the dialog, the remembered
// choice, the pending edit posted first, the closing message that offers the folder;
// the progress bar's "Avbryt".
#include "common/Felles.h"
#include "common/hs_reg.h"
#include "common/messages.h"
#include "common/startup.h"
#include "pricelist/export/exportdialog.h"
#include "pricelist/export/exportjob.h"
#include "pricelist/export/exportprogress.h"
#include "pricelist/prisliste.h"
#include "tests/export/csvreader.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ExportMenu : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::Admin admin;
    std::vector<MessageRequest> asked;
    QList<QUrl> opened;

    void SetUp() override
    {
        startup({}, sandbox.appData() + QStringLiteral("/bin/prisliste"));
        testdb::pointProgramAtServer();
        admin.exec(QStringLiteral("DELETE FROM product"));
        admin.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web, sale) VALUES "
                                  "(1, 'Roser', 100, 0, 0), (2, 'Amaryllis', 9.99, 1, 1), (3, 'Tulipaner', 20, 1, 0)"));
        setMessageHandler([this](const MessageRequest& r) {
            asked.push_back(r);
            return MessageAnswer::Ok;
        });
        setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    void TearDown() override
    {
        setMessageHandler({});
        setUrlOpener({});
        shutdown();
        SettingsStore::instance().reset();
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    // Runs `answer` on the export dialog once it shows modally.
    static void onDialog(std::function<void(ExportDialog&)> answer)
    {
        auto* timer = new QTimer;
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
            if (auto* dialog = qobject_cast<ExportDialog*>(QApplication::activeModalWidget())) {
                timer->deleteLater();
                timer->stop();
                answer(*dialog);
            }
        });
        timer->start();
    }
    template <class W>
    static W* child(QWidget& parent, const char* name)
    {
        auto* w = parent.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

TEST_F(ExportMenu, MenuItemsSitUnderPrislisteAndTakeNoFocus)
{
    TPrislisteForm form;
    QMenu* menu = child<QMenu>(form, "Prisliste1");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Prisliste"));
    QStringList items;
    for (QAction* a : menu->actions())
        items << a->objectName() + QLatin1Char('=') + a->text() + QLatin1Char('=') + a->shortcut().toString();
    EXPECT_TRUE(items.contains(QStringLiteral("Skrivut1=Skriv ut...=Ctrl+P"))) << items.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(items.contains(QStringLiteral("Eksporter1=Eksporter...=Ctrl+E"))) << items.join(QLatin1Char(' ')).toStdString();
    QStringList focusable;
    for (QWidget* w : form.findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus && !w->isWindow())
            focusable << w->objectName();
    EXPECT_EQ(focusable, QStringList{QStringLiteral("DBGrid1")});
}

TEST_F(ExportMenu, ExportsTheChoiceAfterPostingThePendingEditAndRemembersIt)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    t.first();
    while (t.MyTableid->asInteger() != 3)
        t.next();
    t.edit();
    t.MyTableproducttext->setAsString(QStringLiteral("Tulipaner æøå"));

    onDialog([](ExportDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Eksporter prisliste"));
        EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("FoldersLabel"))->text().contains(QStringLiteral("export")));
        dialog.findChild<QCheckBox*>(QStringLiteral("PdfBox"))->setChecked(false);
        dialog.findChild<QCheckBox*>(QStringLiteral("HtmlBox"))->setChecked(false);
        dialog.findChild<QRadioButton*>(QStringLiteral("WebShopButton"))->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ExportButton")), Qt::LeftButton);
    });
    form.findChild<QAction*>(QStringLiteral("Eksporter1"))->trigger();

    EXPECT_EQ(admin.column(QStringLiteral("SELECT producttext FROM product WHERE id = 3")),
              QStringList{QStringLiteral("Tulipaner æøå")});
    EXPECT_EQ(t.state(), DataSetState::Browse);
    const QString csvFolder = kvarnelopath(QStringLiteral("export\\csv"));
    const QString file = QDir(csvFolder).filePath(ExportJob::fileName(QDate::currentDate(), QStringLiteral("csv")));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, QStringLiteral("Eksporter prisliste"));
    EXPECT_EQ(asked[0].text, QStringLiteral("Prislisten er lagret i:\n") + file + QStringLiteral("\n\nVil du åpne mappen?"));
    EXPECT_EQ(asked[0].buttons, MessageButtons::OkCancel);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile() + QLatin1Char('/'), csvFolder);

    const auto records = readCsv(QString::fromUtf8(Sandbox::readFile(file).mid(3)), QLatin1Char(';'));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1][0], QStringLiteral("Amaryllis"));
    EXPECT_EQ(records[1][3], QStringLiteral("12,49"));
    EXPECT_EQ(records[2][0], QStringLiteral("Tulipaner æøå"));
    EXPECT_EQ(QDir(kvarnelopath(QStringLiteral("export\\pdf"))).entryList(QDir::Files), QStringList());

    // The next time the dialog shows the choice; "Avbryt" exports nothing.
    const ExportOptions remembered = loadExportOptions();
    EXPECT_FALSE(remembered.pdf);
    EXPECT_TRUE(remembered.csv);
    EXPECT_EQ(remembered.products, ProductSelection::WebShop);
    bool shown = false;
    onDialog([&shown](ExportDialog& dialog) {
        shown = true;
        EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("PdfBox"))->isChecked());
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("WebShopButton"))->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
    });
    form.findChild<QAction*>(QStringLiteral("Eksporter1"))->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(ExportMenu, NoFormatChosenDisablesTheExportButton)
{
    ExportDialog dialog;
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("ExportButton"));
    EXPECT_TRUE(button->isEnabled());
    for (const char* box : {"PdfBox", "CsvBox", "HtmlBox"})
        dialog.findChild<QCheckBox*>(QString::fromLatin1(box))->setChecked(false);
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(ExportMenu, AvbrytOnTheProgressBarStopsTheExportWithoutAFile)
{
    TPrislisteForm form;
    for (int i = 0; i < 1200; ++i)
        form.MyTable.appendRecord({1000 + i, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                                   QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                                   QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                                   QVariant(), QVariant(), QStringLiteral("Vare %1").arg(i)});
    ExportProgress progress(&form);
    auto* dialog = form.findChild<QProgressDialog*>(QStringLiteral("ExportProgress"));
    ASSERT_NE(dialog, nullptr);
    QStringList buttons;
    for (auto* b : dialog->findChildren<QPushButton*>())
        buttons << b->text();
    EXPECT_EQ(buttons, QStringList{QStringLiteral("Avbryt")});

    ExportOptions options;
    options.pdf = options.html = false;
    ExportJob job(form.MyTable, options, form.windowTitle());
    job.progress = [&](qint64 done, qint64 total) {
        if (done >= 600)
            dialog->cancel();   // what "Avbryt" does
        return progress.report(done, total);
    };
    EXPECT_THROW(job.run(), SilentAbort);
    EXPECT_EQ(QDir(kvarnelopath(QStringLiteral("export\\csv")))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(ExportMenu, SkrivUtPrintsTheSamePagesThroughThePrintDialog)
{
    TPrislisteForm form;
    const QString target = sandbox.root() + QStringLiteral("/utskrift.pdf");
    bool shown = false;
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            shown = true;
            // What a user does who prints to a file: the dialog's printer writes a PDF.
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(target);
            dialog->done(QDialog::Accepted);
        }
    });
    timer->start();
    form.findChild<QAction*>(QStringLiteral("Skrivut1"))->trigger();
    ASSERT_TRUE(shown);
    const QByteArray pdf = Sandbox::readFile(target);
    EXPECT_TRUE(pdf.startsWith("%PDF")) << pdf.left(20).toStdString();
    EXPECT_TRUE(asked.empty());
}

}
