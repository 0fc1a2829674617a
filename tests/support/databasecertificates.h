#pragma once
// A certificate authority of the test's own, and server certificates it signs, made with
// the openssl command in a temporary folder (nothing is taken from the system's store).

#include <QStringList>
#include <QTemporaryDir>

class DatabaseCertificates {
public:
    DatabaseCertificates(); // the authority; the test fails when openssl does
    QString caFile() const { return dir_.filePath(QStringLiteral("ca.pem")); }
    // A certificate of another authority, which verifies none of these.
    QString strangerCaFile();
    // A server certificate for `altNames` ("DNS:localhost,IP:127.0.0.1") and its key, as
    // the mariadbd options that serve them.
    QStringList serverOptions(const QString& stem, const QString& altNames);

private:
    bool openssl(const QStringList& arguments);
    QTemporaryDir dir_;
};
