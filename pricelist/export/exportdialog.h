#pragma once
// The dialog "Eksporter prisliste": which formats, which products, with or without
// pictures, and the folders the files go to. It only collects the choice; the caller
// runs the export.

#include "pricelist/export/exportoptions.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(QWidget* parent = nullptr);

    void setOptions(const ExportOptions& options);
    ExportOptions options() const;

private:
    void updateState();

    QCheckBox* pdfBox_;
    QCheckBox* csvBox_;
    QCheckBox* htmlBox_;
    QRadioButton* allButton_;
    QRadioButton* webShopButton_;
    QRadioButton* onSaleButton_;
    QCheckBox* picturesBox_;
    QLabel* foldersLabel_;
    QPushButton* exportButton_;
};
