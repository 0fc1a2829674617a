#include "pricelist/export/exportdialog.h"

#include "common/hs_reg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
template <class Box>
Box* named(Box* box, const char* name)
{
    box->setObjectName(QString::fromLatin1(name));
    return box;
}
}

ExportDialog::ExportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EksporterForm"));
    setWindowTitle(QStringLiteral("Eksporter prisliste"));
    auto* layout = new QVBoxLayout(this);

    // Formats
    auto* formats = new QGroupBox(QStringLiteral("Formater"), this);
    auto* formatsLayout = new QHBoxLayout(formats);
    pdfBox_ = named(new QCheckBox(QStringLiteral("&PDF"), formats), "PdfBox");
    csvBox_ = named(new QCheckBox(QStringLiteral("&CSV"), formats), "CsvBox");
    htmlBox_ = named(new QCheckBox(QStringLiteral("&HTML"), formats), "HtmlBox");
    for (QCheckBox* box : {pdfBox_, csvBox_, htmlBox_}) {
        formatsLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this] { updateState(); });
    }
    layout->addWidget(formats);

    // Products
    auto* products = new QGroupBox(QStringLiteral("Varer"), this);
    auto* productsLayout = new QVBoxLayout(products);
    allButton_ = named(new QRadioButton(QStringLiteral("&Alle varer"), products), "AllButton");
    webShopButton_ = named(new QRadioButton(QStringLiteral("Bare «I &nettbutikken»"), products), "WebShopButton");
    onSaleButton_ = named(new QRadioButton(QStringLiteral("Bare «På &salg»"), products), "OnSaleButton");
    for (QRadioButton* button : {allButton_, webShopButton_, onSaleButton_})
        productsLayout->addWidget(button);
    layout->addWidget(products);

    picturesBox_ = named(new QCheckBox(QStringLiteral("Med &bilder (bare bilder som finnes lokalt)"), this), "PicturesBox");
    layout->addWidget(picturesBox_);

    // Where the files go: the registered export folders.
    QString folders = QStringLiteral("Filene lagres i:");
    for (const char* name : {"export\\pdf", "export\\csv", "export\\html"})
        folders += QLatin1Char('\n') + QDir::toNativeSeparators(kvarnelopath(QString::fromLatin1(name)));
    foldersLabel_ = named(new QLabel(folders, this), "FoldersLabel");
    foldersLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(foldersLabel_);

    auto* buttons = new QDialogButtonBox(this);
    exportButton_ = named(buttons->addButton(QStringLiteral("&Eksporter"), QDialogButtonBox::AcceptRole), "ExportButton");
    named(buttons->addButton(QStringLiteral("Avbryt"), QDialogButtonBox::RejectRole), "CancelButton");
    exportButton_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    setOptions(ExportOptions());
}

void ExportDialog::setOptions(const ExportOptions& options)
{
    pdfBox_->setChecked(options.pdf);
    csvBox_->setChecked(options.csv);
    htmlBox_->setChecked(options.html);
    allButton_->setChecked(options.products == ProductSelection::All);
    webShopButton_->setChecked(options.products == ProductSelection::WebShop);
    onSaleButton_->setChecked(options.products == ProductSelection::OnSale);
    picturesBox_->setChecked(options.pictures);
    updateState();
}

ExportOptions ExportDialog::options() const
{
    ExportOptions options;
    options.pdf = pdfBox_->isChecked();
    options.csv = csvBox_->isChecked();
    options.html = htmlBox_->isChecked();
    options.products = webShopButton_->isChecked() ? ProductSelection::WebShop
                       : onSaleButton_->isChecked() ? ProductSelection::OnSale
                                                    : ProductSelection::All;
    options.pictures = picturesBox_->isChecked();
    return options;
}

void ExportDialog::updateState()
{
    exportButton_->setEnabled(options().anyFormat());
}
