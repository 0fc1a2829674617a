#pragma once
// A private APPDATA and working folder for one test, undone when it ends.

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

    static QByteArray readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
    QString oldWorkFolder_;
    QByteArray oldAppData_;
    bool hadAppData_;
};
