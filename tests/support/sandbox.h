#pragma once
// A private APPDATA and working folder for one test, undone when it ends. The site's
// connection file is looked for in the sandbox (connectionFile(), not made), never in /etc.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString appData() const;     // $APPDATA, no trailing separator
    QString workFolder() const;  // the current working folder during the test
    QString root() const { return dir_.path(); }
    QString connectionFile() const { return dir_.path() + QStringLiteral("/tilkobling.ini"); }

    static QByteArray readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
    QString oldWorkFolder_;
    QByteArray oldAppData_;
    bool hadAppData_;
    QByteArray oldConnectionFile_;
    bool hadConnectionFile_;
};
