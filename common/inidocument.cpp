#include "common/inidocument.h"

#include "common/fileops.h"
#include "common/filewritelock.h"

#include <QFile>
#include <QFileInfo>

namespace {
bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
}

bool IniDocument::load(const QString& path)
{
    sections_.clear();
    encoding_ = TextEncoding::Local8Bit;
    QByteArray bytes;
    lastError_ = readWholeFile(path, bytes, maximumFileSize);
    if (nativefs::isMissing(lastError_))
        lastError_ = 0;
    else if (lastError_ == 0)
        parse(bytes);
    fileBytes_ = bytes;
    changes_.clear();
    return lastError_ == 0;
}

bool IniDocument::save(const QString& path)
{
    FileWriteLock lock(path);
    QByteArray current;
    const int readError = readWholeFile(path, current, maximumFileSize);
    if (readError == 0 && current != fileBytes_) {
        mergeInto(current);
    } else if (readError != 0 && !nativefs::isMissing(readError)) {
        lastError_ = readError; // it became a file that cannot be read: left as it is
        return false;
    }
    const QByteArray bytes = serialize();
    lastError_ = writeWholeFile(path, bytes);
    if (lastError_ != 0)
        return false;
    fileBytes_ = bytes;
    changes_.clear();
    return true;
}

// Another copy of the program wrote the file: its values stay, and this copy's own
// changes go on top of them in the order they were made.
void IniDocument::mergeInto(const QByteArray& current)
{
    std::vector<Change> changes = std::move(changes_);
    parse(current);
    for (const Change& change : changes)
        setValue(change.section, change.key, change.value);
}

void IniDocument::parse(const QByteArray& bytes)
{
    sections_.clear();
    changes_.clear();
    const DecodedText decoded = decodeText(bytes);
    encoding_ = decoded.encoding;
    Section* current = nullptr;
    for (const QString& raw : splitLines(decoded.text)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = findSection(name);
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            current->lines.push_back({QString(), line, false});
        else
            current->lines.push_back({line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), true});
    }
}

QByteArray IniDocument::serialize() const
{
    const QString lineBreak = QStringLiteral("\r\n");
    QString text;
    for (const Section& section : sections_) {
        text += QLatin1Char('[') + section.name + QLatin1Char(']') + lineBreak;
        for (const Line& line : section.lines)
            text += (line.hasEquals ? line.key + QLatin1Char('=') + line.value : line.value) + lineBreak;
        text += lineBreak;
    }
    return encodeText(text, encoding_);
}

IniDocument::Section* IniDocument::findSection(const QString& name)
{
    for (Section& s : sections_)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

const IniDocument::Section* IniDocument::findSection(const QString& name) const
{
    for (const Section& s : sections_)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

bool IniDocument::hasKey(const QString& section, const QString& key) const
{
    if (const Section* s = findSection(section))
        for (const Line& line : s->lines)
            if (line.hasEquals && sameName(line.key, key))
                return true;
    return false;
}

QString IniDocument::value(const QString& section, const QString& key) const
{
    if (const Section* s = findSection(section))
        for (const Line& line : s->lines)
            if (line.hasEquals && sameName(line.key, key))
                return line.value;
    return {};
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& text)
{
    // A line break inside a value would start new lines (or sections) in the file.
    const QString value = oneLine(text);
    changes_.push_back({section, key, value});
    store(section, key, value);
}

void IniDocument::store(const QString& section, const QString& key, const QString& value)
{
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (Line& line : s->lines) {
        if (line.hasEquals && sameName(line.key, key)) {
            line.value = value;
            return;
        }
    }
    s->lines.push_back({key, value, true});
}

QStringList IniDocument::sectionNames() const
{
    QStringList names;
    for (const Section& s : sections_)
        names << s.name;
    return names;
}

QStringList IniDocument::keys(const QString& section) const
{
    QStringList names;
    if (const Section* s = findSection(section))
        for (const Line& line : s->lines)
            if (line.hasEquals)
                names << line.key;
    return names;
}
