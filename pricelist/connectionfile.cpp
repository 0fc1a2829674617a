#include "pricelist/connectionfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace {
[[noreturn]] void lineError(const QString& path, int line, const QString& what)
{
    throw ConnectionFileError(QStringLiteral("Tilkoblingsfilen %1, linje %2: %3").arg(path).arg(line).arg(what));
}

const QLatin1String knownKeys[] = {QLatin1String("HOST"), QLatin1String("PORT"), QLatin1String("USER"),
                                   QLatin1String("PASSWORD"), QLatin1String("TLS"), QLatin1String("CA")};
}

bool applyConnectionText(const QByteArray& bytes, const QString& path, ConnectionSettings& settings)
{
    const QList<QByteArray> lines = bytes.split('\n');
    bool inSection = false;
    bool anySection = false;
    bool givesPassword = false;
    QStringList seen;
    for (int number = 1; number <= lines.size(); ++number) {
        // Decoded line by line so that an error can name its line.
        const QByteArray& raw = lines[number - 1];
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = utf8(raw);
        if (utf8.hasError() || raw.contains('\0'))
            lineError(path, number, QStringLiteral("ugyldige tegn (filen skal være UTF-8)"));
        if (number == 1 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                lineError(path, number, QStringLiteral("seksjonsnavnet slutter ikke med «]»"));
            inSection = line.mid(1, line.size() - 2).trimmed().compare(QLatin1String("MYSQL"), Qt::CaseInsensitive) == 0;
            anySection = true;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            lineError(path, number, QStringLiteral("linjen er verken en seksjon, en kommentar eller nøkkel=verdi"));
        if (!anySection)
            lineError(path, number, QStringLiteral("nøkkelen står før seksjonen [MYSQL]"));
        if (!inSection)
            continue; // another section: not the program's
        const QString key = line.left(equals).trimmed().toUpper();
        const QString value = line.mid(equals + 1).trimmed();
        if (std::find(std::begin(knownKeys), std::end(knownKeys), key) == std::end(knownKeys))
            lineError(path, number, QStringLiteral("ukjent nøkkel i [MYSQL] (kjente: HOST, PORT, USER, PASSWORD, TLS, CA)"));
        if (seen.contains(key))
            lineError(path, number, key + QStringLiteral(" står to ganger"));
        seen << key;
        if (value.isEmpty() && key != QLatin1String("PASSWORD"))
            lineError(path, number, key + QStringLiteral(" er tom"));
        if (key == QLatin1String("HOST")) {
            settings.host = value;
        } else if (key == QLatin1String("PORT")) {
            bool ok = false;
            const unsigned port = value.toUInt(&ok);
            if (!ok || port == 0 || port > 65535)
                lineError(path, number, QStringLiteral("PORT må være et tall fra 1 til 65535"));
            settings.port = port;
        } else if (key == QLatin1String("USER")) {
            settings.user = value;
        } else if (key == QLatin1String("PASSWORD")) {
            settings.password = value;
            givesPassword = true;
        } else if (key == QLatin1String("TLS")) {
            const QString mode = value.toLower();
            if (mode == QLatin1String("krev"))
                settings.tls = TlsMode::Require;
            else if (mode == QLatin1String("foretrekk"))
                settings.tls = TlsMode::Prefer;
            else if (mode == QLatin1String("av"))
                settings.tls = TlsMode::Off;
            else
                lineError(path, number, QStringLiteral("TLS må være krev, foretrekk eller av"));
        } else { // CA: beside the file when relative
            settings.tlsCaFile = QDir::cleanPath(QFileInfo(path).absoluteDir().absoluteFilePath(value));
        }
    }
    return givesPassword;
}
