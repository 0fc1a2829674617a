#include "tests/support/testdatabase.h"

#include "db/win1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <mysql.h>

#include <csignal>
#include <sys/types.h>

namespace testdb {

unsigned port()
{
    QFile file(QStringLiteral(PRISLISTE_TEST_DB_DIR "/port"));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "the test MariaDB server is not running (ctest starts it: fixture mariadb)";
        return 0;
    }
    return file.readAll().trimmed().toUInt();
}

ConnectionSettings programSettings()
{
    ConnectionSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port();
    s.user = QStringLiteral("prisliste");
    s.password = QStringLiteral("Blomst24");
    s.database = QStringLiteral("brisvald");
    return s;
}

ConnectionSettings adminSettings()
{
    ConnectionSettings s = programSettings();
    s.user = QStringLiteral("testadmin");
    s.password = QStringLiteral("Adm1nPas");
    return s;
}

void pointProgramAtServer()
{
    qputenv("PRISLISTE_CONNECTION_FILE", PRISLISTE_TEST_DB_DIR "/no-connection-file.ini");
    qputenv("PRISLISTE_DB_HOST", "127.0.0.1");
    qputenv("PRISLISTE_DB_PORT", QByteArray::number(port()));
}

Admin::Admin()
{
    connection_.setSettings(adminSettings());
    connection_.open();
}

void Admin::exec(const QString& statement)
{
    connection_.execute(toWin1252(statement));
}

QStringList Admin::column(const QString& statement)
{
    MYSQL_RES* result = connection_.query(toWin1252(statement));
    QStringList out;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        out << (row[0] ? fromWin1252(row[0], qsizetype(lengths[0])) : QStringLiteral("<NULL>"));
    }
    mysql_free_result(result);
    connection_.checkRowError();
    return out;
}

QStringList Admin::sessionLog(unsigned long threadId)
{
    return column(QStringLiteral("SELECT CONCAT(command_type, ' ', CONVERT(argument USING latin1)) FROM mysql.general_log "
                                 "WHERE thread_id = %1 ORDER BY event_time")
                      .arg(threadId));
}

namespace {
bool runScript(const QStringList& arguments, const QByteArray& password, const QStringList& serverOptions = {})
{
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PRISLISTE_DB_PASSWORD"), QString::fromLatin1(password));
    if (!serverOptions.isEmpty())
        env.insert(QStringLiteral("MARIADB_PRIVATE_ARGS"), serverOptions.join(QLatin1Char(' ')));
    script.setProcessEnvironment(env);
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral(PRISLISTE_SOURCE_DIR "/scripts/mariadb-private"), arguments);
    return script.waitForFinished(120000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}
}

PrivateServer::PrivateServer(const QByteArray& programPassword, const QStringList& serverOptions)
{
    static int counter = 0;
    folder_ = QStringLiteral(PRISLISTE_TEST_DB_DIR "-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    if (!runScript({QStringLiteral("start"), folder_, QStringLiteral("--fresh"), QStringLiteral("--general-log"),
                    QStringLiteral("--sql=" PRISLISTE_SOURCE_DIR "/tests/support/product-test.sql")},
                   programPassword, serverOptions)) {
        ADD_FAILURE() << "the private server did not start";
        return;
    }
    QFile file(folder_ + QStringLiteral("/port"));
    if (file.open(QIODevice::ReadOnly))
        port_ = file.readAll().trimmed().toUInt();
}

PrivateServer::~PrivateServer()
{
    stop();
    QDir(folder_).removeRecursively();
}

void PrivateServer::stop()
{
    thaw(); // a frozen server cannot stop
    runScript({QStringLiteral("stop"), folder_}, QByteArray());
}

void PrivateServer::restart()
{
    if (!runScript({QStringLiteral("start"), folder_, QStringLiteral("--general-log"),
                    QStringLiteral("--port=%1").arg(port_)},
                   QByteArray()))
        ADD_FAILURE() << "the private server did not start again";
}

namespace {
pid_t serverPid(const QString& folder)
{
    QFile file(folder + QStringLiteral("/mariadbd.pid"));
    return file.open(QIODevice::ReadOnly) ? pid_t(file.readAll().trimmed().toInt()) : 0;
}

void signalServer(const QString& folder, int signal)
{
    if (const pid_t pid = serverPid(folder); pid > 0)
        ::kill(pid, signal);
}

// Whether every thread of the process has stopped: a busy machine may let a thread answer
// one more query after kill() returned.
bool allThreadsStopped(pid_t pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList ids = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& id : ids) {
        QFile stat(tasks.filePath(id + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue; // the thread ended
        const QByteArray line = stat.readAll();
        const qsizetype afterName = line.lastIndexOf(')');
        if (afterName < 0 || line.mid(afterName + 2, 1) != "T")
            return false;
    }
    return !ids.isEmpty();
}
}

void PrivateServer::freeze()
{
    const pid_t pid = serverPid(folder_);
    ASSERT_GT(pid, 0) << "no server to freeze";
    ::kill(pid, SIGSTOP);
    QElapsedTimer waited;
    waited.start();
    while (!allThreadsStopped(pid) && waited.elapsed() < 10000)
        QThread::msleep(5);
    EXPECT_TRUE(allThreadsStopped(pid)) << "the server did not stop";
}

void PrivateServer::thaw()
{
    signalServer(folder_, SIGCONT);
}

ConnectionSettings PrivateServer::programSettings() const
{
    ConnectionSettings s = testdb::programSettings();
    s.port = port_;
    return s;
}

ConnectionSettings PrivateServer::adminSettings() const
{
    ConnectionSettings s = testdb::adminSettings();
    s.port = port_;
    return s;
}

QString uniqueTableName(const QString& stem)
{
    static int counter = 0;
    return QStringLiteral("%1_%2_%3").arg(stem).arg(QCoreApplication::applicationPid()).arg(++counter);
}

}
