#include "common/hs_reg.h"

#include "common/nativefs.h"
#include "common/fileops.h"
#include "common/platform.h"
#include "common/regional.h"
#include "common/textfil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString standardSection = QStringLiteral("STANDARD");
const QString foldersSection = QStringLiteral("FOLDERS");
const QString stampSection = QStringLiteral("INI_SELF");

QString withSeparator(const QString& path)
{
    const QChar sep = Platform::separator();
    return path.isEmpty() || path.endsWith(sep) ? path : path + sep;
}

bool isDirectory(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// A user name as one file name: the same name always gives the same file, and no name
// reaches outside the settings folder or names a device.
QString safeFileName(const QString& name)
{
    QString safe;
    for (QChar c : name) {
        const bool forbidden = c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c);
        safe += forbidden ? QLatin1Char('_') : c;
    }
    safe.replace(QStringLiteral(".."), QStringLiteral("_"));
    while (safe.endsWith(QLatin1Char('.')) || safe.endsWith(QLatin1Char(' ')))
        safe[safe.size() - 1] = QLatin1Char('_');
    static const QStringList devices = {
        QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"), QStringLiteral("NUL"),
        QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4"),
        QStringLiteral("COM5"), QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8"),
        QStringLiteral("COM9"), QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3"),
        QStringLiteral("LPT4"), QStringLiteral("LPT5"), QStringLiteral("LPT6"), QStringLiteral("LPT7"),
        QStringLiteral("LPT8"), QStringLiteral("LPT9")};
    if (devices.contains(safe, Qt::CaseInsensitive))
        safe += QLatin1Char('_');
    return safe;
}

// Integers as the settings files write them: decimal, or hexadecimal after "$", "0x", "0X".
bool parseIniInteger(const QString& text, int& value)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X"))) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (!(c.isDigit() && c.unicode() < 128) && !(base == 16 && QStringLiteral("abcdefABCDEF").contains(c)))
            return false;
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return false;
    if (base == 16 && magnitude <= 0xFFFFFFFFull) { // hexadecimal covers the 32 bits
        const int bits = static_cast<int>(static_cast<quint32>(magnitude));
        value = negative ? -bits : bits;
        return true;
    }
    if (negative ? magnitude > 2147483648ull : magnitude > 2147483647ull)
        return false;
    value = negative ? static_cast<int>(-static_cast<qlonglong>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

QString programFilePath()
{
    const QString& path = SettingsStore::instance().programPath;
    if (!path.isEmpty() || !QCoreApplication::instance())
        return path;
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}
}

SettingsStore& SettingsStore::instance()
{
    static SettingsStore store;
    return store;
}

bool SettingsStore::writeBack()
{
    if (!document || documentUnreadable)
        return false;
    if (nativefs::isReadOnly(nativePath(documentPath)))
        return false;
    if (document->save(documentPath))
        return true;
    // Once per file and reason: every placement and folder lookup writes the files again.
    const QString failure = documentPath + QLatin1Char('\n') + QString::number(document->lastError());
    if (!reportedFailures.contains(failure)) {
        reportedFailures.insert(failure);
        WriteLog(QStringLiteral("FEIL: kan ikke lagre filen ") + documentPath + QStringLiteral(": ")
                 + systemErrorText(document->lastError()));
    }
    return false;
}

void SettingsStore::reset()
{
    *this = SettingsStore{};
}

void openini(const QString& path)
{
    SettingsStore& store = SettingsStore::instance();
    const QString login = logintext();
    const bool existed = QFileInfo(path).isFile();
    IniDocument doc;
    store.documentUnreadable = !doc.load(path); // then an empty document, and the file is kept
    store.loadError = doc.lastError();
    store.document = std::move(doc);
    store.documentPath = path;
    store.currentSection = stampSection;
    const QStringList values = {nowText(), path, programFilePath(), currentuser(),
                                QStringLiteral("5.56"), QStringLiteral("746"), login};
    const QStringList names = {QStringLiteral("TIME"), QStringLiteral("NAME"), QStringLiteral("PROGRAM"),
                               QStringLiteral("USER"), QStringLiteral("INIVERSION"), QStringLiteral("BUILD"),
                               QStringLiteral("LOGIN")};
    if (!existed)
        for (qsizetype i = 0; i < names.size(); ++i)
            writeinistring(QStringLiteral("CREATED_") + names[i], values[i]);
    for (qsizetype i = 0; i < names.size(); ++i)
        writeinistring(QStringLiteral("MODIFIED_") + names[i], values[i]);
    store.currentSection = standardSection;
}

static void switchDocument(const QString& path)
{
    SettingsStore& store = SettingsStore::instance();
    store.writeBack();
    store.document.reset();
    openini(path);
}

void openuserini()
{
    switchDocument(userinipath());
    SettingsStore& store = SettingsStore::instance();
    if (store.documentUnreadable && !store.reportedFailures.contains(store.documentPath)) {
        store.reportedFailures.insert(store.documentPath);
        WriteLog(unreadablewarning());
    }
}

QString unreadablewarning()
{
    const SettingsStore& store = SettingsStore::instance();
    return QStringLiteral("ADVARSEL: ") + store.documentPath + QStringLiteral(" kan ikke leses (")
        + systemErrorText(store.loadError) + QStringLiteral(") og vil ikke bli lagret.");
}

void openmainini()
{
    switchDocument(SettingsStore::instance().settingsFilePath);
}

void closeini()
{
    SettingsStore& store = SettingsStore::instance();
    const QString path = store.settingsFilePath;
    const bool readOnly = nativefs::isReadOnly(nativePath(path));
    bool ok = true;
    if (!readOnly)
        ok = store.writeBack();
    store.document.reset();
    if (!ok)
        WriteLog(QStringLiteral("INI-CRASH i HS_REG: ") + path);
    if (verboseLogging()) {
        if (readOnly)
            WriteLog(QStringLiteral("ADVARSEL: ") + path + QStringLiteral(" er skrivebeskyttet og vil ikke bli lagret."));
        else
            WriteLog(QStringLiteral("Oppdaterer ") + path);
    }
}

QString userinipath()
{
    return SettingsStore::instance().settingsFolder + safeFileName(currentuser()) + QStringLiteral(".INI");
}

void setsection(const QString& name)
{
    SettingsStore::instance().currentSection = name;
}

void resetsection()
{
    SettingsStore::instance().currentSection = standardSection;
}

QString readinistring(const QString& key)
{
    const SettingsStore& store = SettingsStore::instance();
    return store.document ? store.document->value(store.currentSection, key) : QString();
}

bool readinibool(const QString& key)
{
    return readiniinteger(key) != 0;
}

int readiniinteger(const QString& key)
{
    int value = 0;
    return parseIniInteger(readinistring(key), value) ? value : 0;
}

void writeinistring(const QString& key, const QString& value)
{
    SettingsStore& store = SettingsStore::instance();
    if (store.document)
        store.document->setValue(store.currentSection, key, value);
}

namespace {
// A typed write of the value the key already means ("-1" or "$1" for true) is no change
// of this run's: another copy's write of the key meanwhile is kept at the write-back.
template <class SameMeaning>
void writeTyped(const QString& key, const QString& text, SameMeaning sameMeaning)
{
    SettingsStore& store = SettingsStore::instance();
    if (!store.document)
        return;
    int held = 0;
    if (store.document->hasKey(store.currentSection, key) && parseIniInteger(readinistring(key), held)
        && sameMeaning(held))
        store.document->restateValue(store.currentSection, key, text);
    else
        store.document->setValue(store.currentSection, key, text);
}
}

void writeinibool(const QString& key, bool value)
{
    writeTyped(key, value ? QStringLiteral("1") : QStringLiteral("0"), [&](int held) { return (held != 0) == value; });
}

void writeiniinteger(const QString& key, int value)
{
    writeTyped(key, QString::number(value), [&](int held) { return held == value; });
}

void setfolder(const QString& name, const QString& path)
{
    SettingsStore& store = SettingsStore::instance();
    const QString remembered = store.currentSection;
    store.currentSection = foldersSection;
    writeinistring(name + QStringLiteral("_folder"), withSeparator(path));
    store.currentSection = remembered;
}

QString kvarnelobase()
{
    const QChar sep = Platform::separator();
    return platform().appData() + sep + QStringLiteral("Kvarnelo") + sep;
}

QString kvarnelopath(const QString& name)
{
    const QString base = kvarnelobase();
    if (name.isEmpty())
        return base;
    SettingsStore& store = SettingsStore::instance();
    const QString remembered = store.currentSection;
    store.currentSection = foldersSection;
    QString folder = readinistring(name + QStringLiteral("_folder"));
    if (folder.isEmpty())
        folder = base + QString(name).replace(QLatin1Char('\\'), Platform::separator()) + Platform::separator();
    if (!isDirectory(folder) && name != QLatin1String("bin") && folder.contains(base)) {
        WriteLog(QStringLiteral("hs_reg.kvarnelopath(") + name + QStringLiteral("): Lager mappen ") + folder);
        QDir().mkpath(folder);
    }
    folder = withSeparator(folder);
    setfolder(name, folder);
    store.writeBack();
    store.currentSection = remembered;
    return folder;
}

QString currentuser()
{
    SettingsStore& store = SettingsStore::instance();
    if (store.userName.isEmpty()) {
        store.userName = !store.userOverride.isEmpty() ? store.userOverride : loginname();
        if (store.userName.isEmpty())
            store.userName = QStringLiteral("anonymous");
    }
    return store.userName;
}

QString loginname()
{
    return platform().loginName();
}

QString computername()
{
    return platform().computerName();
}

QString domainname()
{
    return platform().domainName();
}

QString ipaddress()
{
    const QString& override = SettingsStore::instance().addressOverride;
    if (!override.isEmpty())
        return override;
    if (domainname().isEmpty())
        return {};
    for (const QString& address : platform().interfaceAddresses())
        if (!address.isEmpty() && address != QLatin1String("0.0.0.0"))
            return address;
    return QStringLiteral("0.0.0.0");
}

QString logintext()
{
    return QStringLiteral("LOGIN: ") + loginname() + QStringLiteral("  node: ") + computername() + QLatin1Char('.')
        + domainname() + QStringLiteral(" IP:") + ipaddress();
}
