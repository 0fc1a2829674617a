#pragma once
// The download window: fetches one URL into a local file over HTTP or HTTPS while a small tool
// window shows the progress. The file is received as target + ".part" and renamed only
// after the whole body has arrived; a download that fails removes it.

#include "webdocs/downloadresult.h"
#include "webdocs/fetchpolicy.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class CookieStore;
class HttpClient;
class QFile;
class QLabel;
class QProgressBar;

class THttpDownloadForm : public QWidget {
    Q_OBJECT

public:
    // The first window created becomes the process-wide one that downloadtofile uses.
    explicit THttpDownloadForm(QWidget* parent = nullptr);
    ~THttpDownloadForm() override;

    // The process-wide window; created hidden on first use when start-up made none.
    static THttpDownloadForm& instance();

    QString DownloadURL;        // spaces already escaped
    QString DownloadFile;       // target file
    QString DownloadPath;       // put in front of DownloadFile; empty unless a caller sets it
    qint64 DownLoadSize = 0;    // Content-Length of the body being received, 0 when unknown
    bool DownLoadResult = false; // the last download's result, as FormDblClick returned it
    // Where the download may connect. A URL or address it refuses is not fetched: the
    // routine logs a warning instead of showing the failure box.
    FetchPolicy DownloadPolicy = FetchPolicy::unrestricted();

    QProgressBar* ProgressBar1;
    QLabel* LPercent;
    QLabel* LFileName;

    // The download routine: DownloadURL into DownloadPath + DownloadFile. On failure it
    // shows "Feil i nedlasting av: " + DownloadURL and removes its own ".part" file; a refused
    // address is logged instead. The result says which.
    DownloadResult FormDblClick();

    // Progress of the answer body.
    void IdHTTP1WorkBegin(std::int64_t expected);
    void IdHTTP1Work(std::int64_t received);
    void IdHTTP1WorkEnd();

    // The longest wait for the window system to put the shown window on the screen.
    int exposeWait = 200; // milliseconds

    // The largest file a download writes, and the room it leaves free on the target's
    // file system: an answer announcing more is refused before its body is read, one
    // without a length is stopped when it passes either.
    qint64 maxDownloadSize = qint64(2) << 30;
    qint64 freeSpaceMargin = qint64(64) << 20;
    // The bytes free on the file system holding an existing path; negative when unknown.
    std::function<qint64(const QString& path)> freeSpace;

    CookieStore& cookies() { return *cookieJar_; }
    HttpClient& client() { return *IdHTTP1; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void paintOnScreen();
    DownloadResult receive(const QString& partFile);
    DownloadResult fetchInto(QFile& file, const QString& partFile);

    int barShift_ = 0; // the bar's values are byte counts shifted right by this

    CookieStore* cookieJar_;
    std::unique_ptr<HttpClient> IdHTTP1;
};

// Stores the target and the URL (every space as "%20", nothing else escaped) in the
// process-wide window and runs its download routine: true when the file was received.
// Without a policy the URL is fetched wherever it points: the caller has checked it.
bool downloadtofile(const QString& targetFile, const QString& url);
// The same within policy, with the routine's whole result.
DownloadResult downloadtofile(const QString& targetFile, const QString& url, const FetchPolicy& policy);
