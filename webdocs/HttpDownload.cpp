#include "webdocs/HttpDownload.h"

#include "common/busycursor.h"
#include "common/errorreport.h"
#include "common/fileops.h"
#include "common/messages.h"
#include "common/platform.h"
#include "common/textfil.h"
#include "webdocs/cookiestore.h"
#include "webdocs/httpclient.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {
THttpDownloadForm* processWindow = nullptr;
THttpDownloadForm* lazyWindow = nullptr;

void deleteLazyWindow()
{
    delete lazyWindow;
    lazyWindow = nullptr;
}

// The nearest thing to opening without sharing: a second downloader of the same target
// (another copy of the program) cannot take the lock and fails instead of mixing bytes.
bool lockExclusively(QFile& file)
{
    return nativefs::lockOpenFile(file.handle()) == 0;
}

qint64 systemFreeSpace(const QString& path)
{
    std::int64_t bytes = 0;
    return nativefs::freeSpace(nativePath(path), bytes) == 0 ? qint64(bytes) : -1;
}
} // namespace

THttpDownloadForm::THttpDownloadForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      cookieJar_(new CookieStore(this)),
      IdHTTP1(std::make_unique<HttpClient>(*cookieJar_))
{
    freeSpace = systemFreeSpace;
    setObjectName(QStringLiteral("HttpDownloadForm"));
    setWindowTitle(QStringLiteral("Laster ned ....."));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(483, 108);

    // Progress bar: bytes received against bytes expected
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(32, 24, 417, 17);
    ProgressBar1->setTextVisible(false);
    // The classic bar paints in a fraction of the time of the default style's, and the
    // window repaints after every piece of a download.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(this);
        ProgressBar1->setStyle(classic);
    }

    // Percentage and file name, centred
    LPercent = new QLabel(QStringLiteral("0%"), this);
    LPercent->setObjectName(QStringLiteral("LPercent"));
    LPercent->setGeometry(32, 47, 417, 13);
    LPercent->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    LFileName = new QLabel(this);
    LFileName->setObjectName(QStringLiteral("LFileName"));
    LFileName->setGeometry(32, 72, 417, 13);
    LFileName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    if (!processWindow)
        processWindow = this;
}

THttpDownloadForm::~THttpDownloadForm()
{
    if (processWindow == this)
        processWindow = nullptr;
}

THttpDownloadForm& THttpDownloadForm::instance()
{
    if (!processWindow) {
        lazyWindow = new THttpDownloadForm;
        qAddPostRoutine(deleteLazyWindow); // runs while QApplication still exists
    }
    return *processWindow;
}

DownloadResult THttpDownloadForm::FormDblClick()
{
    setWindowTitle(QStringLiteral("kupdate 5.56 (746)"));
    DownLoadResult = false;
    // The texts go in before the window shows, so its first paint carries them: a repaint
    // of each label after that paint would cost another X server round trip per download.
    LFileName->setText(DownloadFile);
    LPercent->setText(QStringLiteral("0%"));
    show();
    paintOnScreen();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    const QChar separator = Platform::separator();
    if (!DownloadPath.isEmpty() && !DownloadPath.endsWith(separator))
        DownloadPath += separator;
    const QString target = DownloadPath + DownloadFile;
    const QString partFile = target + QStringLiteral(".part");

    if (DownloadResult result = receive(partFile); !result.received()) {
        QApplication::restoreOverrideCursor();
        if (result.outcome == DownloadResult::Outcome::Failed) {
            result.message = QStringLiteral("Feil i nedlasting av: ") + DownloadURL;
            NormalCursor normal; // also when a caller holds a busy cursor of its own
            showFeil(result.message);
        }
        hide();
        return result;
    }

    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        QFile::remove(target);
    QFile::rename(partFile, target); // never replaces: a target that could not be deleted stays
    QApplication::restoreOverrideCursor();
    DownLoadResult = true;
    hide(); // also when the answer had no body and so no end-of-body event
    return DownloadResult::success();
}

DownloadResult THttpDownloadForm::receive(const QString& partFile)
{
    // Made by the download itself: a link, pipe or second name planted under the ".part"
    // name is removed, never written through.
    int descriptor = -1;
    if (nativefs::openOwnFile(nativePath(partFile), descriptor) != 0)
        return DownloadResult::failure();
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)
        || !lockExclusively(file))
        return DownloadResult::failure(); // another downloader's file: it stays
    DownloadResult result = fetchInto(file, partFile);
    file.close();
    if (!result.received())
        nativefs::removeFile(nativePath(partFile)); // a half file would only fill the folder
    return result;
}

DownloadResult THttpDownloadForm::fetchInto(QFile& file, const QString& partFile)
{
    // Emptied only after the lock, and only when needed: on ext4 a truncated file is
    // written out at close, which costs more than the whole download of a small picture.
    if (file.size() > 0 && !file.resize(0))
        return DownloadResult::failure();
    const qint64 free = freeSpace ? freeSpace(partFile) : -1;
    const qint64 allowed = free < 0 ? maxDownloadSize : std::min(maxDownloadSize, std::max<qint64>(free - freeSpaceMargin, 0));
    qint64 written = 0;
    const auto toFile = [&](const char* data, std::size_t size) {
        if (qint64(size) > allowed - written)
            throw HttpFetchError(QStringLiteral("The answer is larger than the room for it"));
        if (file.write(data, qint64(size)) != qint64(size))
            throw HttpFetchError(QStringLiteral("Cannot write ") + partFile);
        written += qint64(size);
    };
    HttpProgress progress;
    progress.begin = [this, allowed](std::int64_t expected) {
        if (expected > allowed)
            throw HttpFetchError(QStringLiteral("The answer announces more than the room for it"));
        IdHTTP1WorkBegin(expected);
    };
    progress.work = [this](std::int64_t received) { IdHTTP1Work(received); };
    progress.end = [this] { IdHTTP1WorkEnd(); };
    // The window stays painted while the name look-up or the connection keeps it waiting.
    progress.waiting = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    IdHTTP1->policy = DownloadPolicy;
    try {
        IdHTTP1->get(DownloadURL, toFile, progress);
    } catch (const HttpRefusedError& refused) {
        const QString line = refusedFetchLine(refused.url, refused.address);
        WriteLog(line);
        return DownloadResult::refusal(line);
    } catch (const HttpCertificateError& e) {
        WriteLog(QStringLiteral("FEIL: ") + e.message() + QStringLiteral(" (") + DownloadURL + QStringLiteral(")"));
        return DownloadResult::failure();
    } catch (const std::exception&) {
        return DownloadResult::failure();
    }
    return DownloadResult::success();
}

// A window is painted only once the window system has put it on the screen, and on X that
// news (through a window manager, if any) comes through the event queue some time after
// show(): until then every paint is dropped. So the routine waits for it, a while at most,
// before the thread blocks. Input waits until the end.
void THttpDownloadForm::paintOnScreen()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (testAttribute(Qt::WA_Mapped))
        return;
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(exposeWait);
    while (!testAttribute(Qt::WA_Mapped) && limit.isActive())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void THttpDownloadForm::IdHTTP1WorkBegin(std::int64_t expected)
{
    DownLoadSize = expected;
    // The bar counts in 32 bits: a body past 2 GiB is shown in units of 2, 4, ... bytes.
    barShift_ = 0;
    while ((expected >> barShift_) > std::numeric_limits<qint32>::max())
        ++barShift_;
    ProgressBar1->setMaximum(static_cast<qint32>(std::max<std::int64_t>(expected, 0) >> barShift_));
}

void THttpDownloadForm::IdHTTP1Work(std::int64_t received)
{
    // The bar would repaint itself alone at once; it is painted with the percentage below.
    ProgressBar1->setUpdatesEnabled(false);
    ProgressBar1->setValue(static_cast<qint32>(std::min<std::int64_t>(
        std::max<std::int64_t>(received, 0) >> barShift_, std::numeric_limits<qint32>::max())));
    ProgressBar1->setUpdatesEnabled(true);
    if (DownLoadSize > 0)
        LPercent->setText(QString::number(received * 100 / DownLoadSize) + u'%');
    // Only the two controls that change, in one pass: every pass over the window's
    // backing store waits for the X server to finish reading the pass before.
    repaint(ProgressBar1->geometry().united(LPercent->geometry()));
    // A window put on the screen later than paintOnScreen waited for is painted whole now.
    if (!testAttribute(Qt::WA_Mapped))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void THttpDownloadForm::IdHTTP1WorkEnd()
{
    hide();
}

void THttpDownloadForm::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    guarded([this] { FormDblClick(); });
}

bool downloadtofile(const QString& targetFile, const QString& url)
{
    return downloadtofile(targetFile, url, FetchPolicy::unrestricted()).received();
}

DownloadResult downloadtofile(const QString& targetFile, const QString& url, const FetchPolicy& policy)
{
    THttpDownloadForm& form = THttpDownloadForm::instance();
    form.DownloadPolicy = policy;
    form.DownloadFile = targetFile;
    form.DownloadURL = QString(url).replace(u' ', QStringLiteral("%20"));
    return form.FormDblClick();
}
