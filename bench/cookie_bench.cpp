// One answer that sets 40,000 cookies: what parsing it costs, what the download window
// spends on it, and what Qt's jar alone, cookie by cookie, would have spent.

#include "common/messages.h"
#include "tests/support/httptestserver.h"
#include "webdocs/HttpDownload.h"
#include "webdocs/cookiestore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QTemporaryDir>
#include <QUrl>

#include <boost/beast/http.hpp>

#include <cstdio>

namespace {

constexpr int cookieCount = 40000;

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageHandler([](const MessageRequest& r) {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MessageAnswer::Ok;
    });

    QByteArrayList headers;
    for (int i = 0; i < cookieCount; ++i)
        headers << "Set-Cookie: c" + QByteArray::number(i) + "=" + QByteArray::number(i);
    const HttpAnswer answer = HttpAnswer::withLength(200, "OK", "x", headers);
    const QByteArray bytes = answer.pieces.front().bytes;
    const QUrl url(QStringLiteral("http://127.0.0.1/a.jpg"));

    // Parsing: the answer's head, then each cookie.
    QElapsedTimer timer;
    timer.start();
    namespace http = boost::beast::http;
    http::response_parser<http::string_body> parser;
    parser.header_limit(1 << 20);
    boost::system::error_code ec;
    parser.put(boost::asio::buffer(bytes.constData(), std::size_t(bytes.size())), ec);
    qsizetype parsed = 0;
    for (const auto& field : parser.get())
        if (field.name() == http::field::set_cookie)
            parsed += QNetworkCookie::parseCookies(QByteArray(field.value().data(), qsizetype(field.value().size()))).size();
    const double parsing = seconds(timer);

    // The store alone, taking the answer's values.
    QByteArrayList values;
    for (const QByteArray& header : headers)
        values << header.mid(12);
    timer.restart();
    CookieStore store;
    store.takeFromAnswer(values, url);
    const double taking = seconds(timer);

    // The download window: the flood, then one more download that sends the cookies back.
    QTemporaryDir folder;
    HttpTestServer server;
    THttpDownloadForm form;
    server.enqueue(answer);
    server.enqueue(HttpAnswer::withLength(200, "OK", "y"));
    timer.restart();
    const bool flood = downloadtofile(folder.filePath(QStringLiteral("a.jpg")), server.url(QStringLiteral("/a.jpg")));
    const double download = seconds(timer);
    timer.restart();
    const bool next = downloadtofile(folder.filePath(QStringLiteral("b.jpg")), server.url(QStringLiteral("/b.jpg")));
    const double nextDownload = seconds(timer);

    // Qt's jar taking the same cookies one header at a time.
    timer.restart();
    QNetworkCookieJar jar;
    for (int i = 0; i < cookieCount; ++i)
        jar.setCookiesFromUrl(QNetworkCookie::parseCookies(headers[i].mid(12)), url);
    const double qtJar = seconds(timer);

    std::printf("%d cookies in one answer (%lld bytes)\n", cookieCount, static_cast<long long>(bytes.size()));
    std::printf("  parsing the head and the cookies   %8.3f s (%lld cookies)\n", parsing, static_cast<long long>(parsed));
    std::printf("  the cookie store taking them       %8.3f s\n", taking);
    std::printf("  download of the flooding answer    %8.3f s (%s)\n", download, flood ? "ok" : "FAILED");
    std::printf("  next download, cookies sent back   %8.3f s (%s)\n", nextDownload, next ? "ok" : "FAILED");
    std::printf("  Qt's jar, one cookie at a time     %8.3f s\n", qtJar);
    return flood && next ? 0 : 1;
}
