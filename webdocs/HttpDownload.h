#pragma once
// The download window: fetches one URL into a local file over HTTP or HTTPS while a small tool
// window shows the progress. The file is received as target + ".part" and renamed only
// after the whole body has arrived.

#include <QWidget>
#include <cstdint>
#include <memory>

class CookieStore;
class HttpClient;
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
    bool DownLoadResult = false;

    QProgressBar* ProgressBar1;
    QLabel* LPercent;
    QLabel* LFileName;

    // The download routine: DownloadURL into DownloadPath + DownloadFile. On failure it
    // shows "Feil i nedlasting av: " + DownloadURL and leaves the ".part" file.
    void FormDblClick();

    // Progress of the answer body.
    void IdHTTP1WorkBegin(std::int64_t expected);
    void IdHTTP1Work(std::int64_t received);
    void IdHTTP1WorkEnd();

    // The longest wait for the window system to put the shown window on the screen.
    int exposeWait = 200; // milliseconds

    CookieStore& cookies() { return *cookieJar_; }
    HttpClient& client() { return *IdHTTP1; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void paintOnScreen();
    bool receive(const QString& partFile);

    int barShift_ = 0; // the bar's values are byte counts shifted right by this

    CookieStore* cookieJar_;
    std::unique_ptr<HttpClient> IdHTTP1;
};

// Stores the target and the URL (every space as "%20", nothing else escaped) in the
// process-wide window, runs its download routine and returns DownLoadResult.
bool downloadtofile(const QString& targetFile, const QString& url);
