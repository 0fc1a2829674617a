#include "pricelist/export/exportprogress.h"

#include <QProgressDialog>

ExportProgress::ExportProgress(QWidget* parent)
    : dialog_(std::make_unique<QProgressDialog>(QStringLiteral("Eksporterer prislisten..."), QStringLiteral("Avbryt"), 0,
                                                1000, parent))
{
    dialog_->setObjectName(QStringLiteral("ExportProgress"));
    dialog_->setWindowTitle(QStringLiteral("Eksporter prisliste"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(500);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
}

ExportProgress::~ExportProgress() = default;

bool ExportProgress::report(qint64 done, qint64 total)
{
    // Modal: setValue lets the dialog handle "Avbryt" in between.
    dialog_->setValue(total > 0 ? int(done * 1000 / total) : 0);
    return !dialog_->wasCanceled();
}
