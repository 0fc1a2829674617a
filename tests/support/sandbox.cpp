#include "tests/support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

Sandbox::Sandbox()
    : oldWorkFolder_(QDir::currentPath()),
      oldAppData_(qgetenv("APPDATA")),
      hadAppData_(qEnvironmentVariableIsSet("APPDATA")),
      oldConnectionFile_(qgetenv("PRISLISTE_CONNECTION_FILE")),
      hadConnectionFile_(qEnvironmentVariableIsSet("PRISLISTE_CONNECTION_FILE"))
{
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    QDir(dir_.path()).mkpath(QStringLiteral("appdata"));
    QDir(dir_.path()).mkpath(QStringLiteral("work"));
    qputenv("APPDATA", appData().toLocal8Bit());
    qputenv("PRISLISTE_CONNECTION_FILE", QFile::encodeName(connectionFile()));
    QDir::setCurrent(workFolder());
}

Sandbox::~Sandbox()
{
    QDir::setCurrent(oldWorkFolder_);
    if (hadAppData_)
        qputenv("APPDATA", oldAppData_);
    else
        qunsetenv("APPDATA");
    if (hadConnectionFile_)
        qputenv("PRISLISTE_CONNECTION_FILE", oldConnectionFile_);
    else
        qunsetenv("PRISLISTE_CONNECTION_FILE");
}

QString Sandbox::appData() const
{
    return dir_.path() + QStringLiteral("/appdata");
}

QString Sandbox::workFolder() const
{
    return dir_.path() + QStringLiteral("/work");
}

QByteArray Sandbox::readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void Sandbox::writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    f.write(bytes);
}
