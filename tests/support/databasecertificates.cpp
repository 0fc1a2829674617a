#include "tests/support/databasecertificates.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {
const QStringList ecKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                           QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
}

bool DatabaseCertificates::openssl(const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(dir_.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    const bool done = process.waitForFinished(30000);
    if (!done)
        process.kill();
    if (done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    ADD_FAILURE() << "openssl " << arguments.join(QLatin1Char(' ')).toStdString() << ":\n" << process.readAll().toStdString();
    return false;
}

DatabaseCertificates::DatabaseCertificates()
{
    openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey
            + QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"), QStringLiteral("ca.pem"),
                          QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=Prisliste test CA")});
}

QString DatabaseCertificates::strangerCaFile()
{
    openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey
            + QStringList{QStringLiteral("-keyout"), QStringLiteral("stranger.key"), QStringLiteral("-out"),
                          QStringLiteral("stranger.pem"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                          QStringLiteral("/CN=Stranger CA")});
    return dir_.filePath(QStringLiteral("stranger.pem"));
}

QStringList DatabaseCertificates::serverOptions(const QString& stem, const QString& altNames)
{
    const QString key = stem + QStringLiteral(".key"), request = stem + QStringLiteral(".csr"),
                  certificate = stem + QStringLiteral(".pem"), extensions = stem + QStringLiteral(".ext");
    QFile ext(dir_.filePath(extensions));
    if (!ext.open(QIODevice::WriteOnly) || ext.write("subjectAltName=" + altNames.toLatin1() + "\n") <= 0)
        ADD_FAILURE() << "cannot write " << extensions.toStdString();
    ext.close();
    openssl(QStringList{QStringLiteral("req")} + ecKey
            + QStringList{QStringLiteral("-keyout"), key, QStringLiteral("-out"), request, QStringLiteral("-subj"),
                          QStringLiteral("/CN=") + stem});
    openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request, QStringLiteral("-CA"),
             QStringLiteral("ca.pem"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
             QStringLiteral("-out"), certificate, QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
             extensions});
    return {QStringLiteral("--ssl-cert=") + dir_.filePath(certificate), QStringLiteral("--ssl-key=") + dir_.filePath(key),
            QStringLiteral("--ssl-ca=") + caFile()};
}
