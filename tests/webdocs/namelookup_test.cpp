#include "tests/webdocs/downloadfixture.h"
#include "webdocs/httpclient.h"

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// A resolver that does not answer until it is let go (or 20 s have passed).
struct SilentResolver {
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false;
        int running = 0;
    };
    std::shared_ptr<State> state = std::make_shared<State>();

    HostLookup lookup() const
    {
        return [state = state](const std::string&) -> std::vector<std::string> {
            std::unique_lock lock(state->mutex);
            ++state->running;
            state->changed.wait_for(lock, 20s, [&] { return state->released; });
            --state->running;
            state->changed.notify_all();
            throw HttpFetchError(QStringLiteral("let go"));
        };
    }
    // Lets every waiting look-up go and waits until their threads are past it.
    ~SilentResolver()
    {
        std::unique_lock lock(state->mutex);
        state->released = true;
        state->changed.notify_all();
        state->changed.wait_for(lock, 20s, [&] { return state->running == 0; });
    }
};

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

using NameLookupTest = DownloadFixture;

TEST_F(NameLookupTest, ResolverThatNeverAnswersFailsWithinTheLimitAndTheWindowStaysPainted)
{
    SilentResolver resolver;
    form.client().lookup = resolver.lookup();
    form.client().stallLimit = 600ms;
    PaintCounter counter;
    form.installEventFilter(&counter);
    int paintsAtTimer = -1;
    QTimer::singleShot(200, &form, [&] {
        paintsAtTimer = counter.paints;
        form.update(); // as when the window is uncovered
    });
    const QString url = QStringLiteral("http://never.answers.example:%1/a.jpg").arg(server.port());

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(downloadtofile(path(QStringLiteral("a.jpg")), url));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
    ASSERT_GE(paintsAtTimer, 0) << "no events were handled while the look-up waited";
    EXPECT_GT(counter.paints, paintsAtTimer); // the update asked for at 200 ms was painted during the wait
    EXPECT_TRUE(server.requests().isEmpty());
    form.removeEventFilter(&counter);
}

TEST_F(NameLookupTest, NamesOutsideAsciiAreLookedUpInTheirAsciiForm)
{
    std::vector<std::string> asked;
    form.client().lookup = [&](const std::string& host) {
        asked.push_back(host);
        return std::vector<std::string>{"127.0.0.1"};
    };
    server.enqueue(HttpAnswer::withLength(200, "OK", "blue"));
    ASSERT_TRUE(downloadtofile(path(QStringLiteral("a.jpg")),
                               QStringLiteral("http://bl\u00e5veis.no:%1/a.jpg").arg(server.port())));
    EXPECT_EQ(asked, std::vector<std::string>{"xn--blveis-jua.no"});
    EXPECT_TRUE(server.requests().value(0).contains("\r\nHost: xn--blveis-jua.no:" + QByteArray::number(server.port())
                                                    + "\r\n"));
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "blue");

    // An address is never looked up; a name that is unknown fails at once.
    server.enqueue(HttpAnswer::withLength(200, "OK", "direct"));
    ASSERT_TRUE(fetch(QStringLiteral("/b.jpg"), QStringLiteral("b.jpg")));
    EXPECT_EQ(asked.size(), 1u);
    form.client().lookup = [](const std::string&) -> std::vector<std::string> { return {}; };
    EXPECT_FALSE(downloadtofile(path(QStringLiteral("c.jpg")), QStringLiteral("http://nowhere.example/c.jpg")));
    EXPECT_EQ(messages.size(), 1);
}
