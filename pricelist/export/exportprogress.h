#pragma once
// The progress bar with "Avbryt" of an export: shown once an export takes more than a
// moment; cancelling makes the next report answer false.

#include <QtGlobal>
#include <memory>

class QProgressDialog;
class QWidget;

class ExportProgress {
public:
    explicit ExportProgress(QWidget* parent);
    ~ExportProgress();

    // The ExportJob::progress callback.
    bool report(qint64 done, qint64 total);

private:
    std::unique_ptr<QProgressDialog> dialog_;
};
