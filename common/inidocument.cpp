#include "common/inidocument.h"

#include "common/fileops.h"
#include "common/filewritelock.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Section names and keys are compared without regard to case.
QString folded(const QString& name)
{
    return name.toCaseFolded();
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
    sectionIndex_.clear();
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
            if (!current)
                current = &addSection(name);
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            addLine(*current, {QString(), line, false});
        else
            addLine(*current, {line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), true});
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
    const auto found = sectionIndex_.constFind(folded(name));
    return found == sectionIndex_.cend() ? nullptr : &sections_[std::size_t(*found)];
}

const IniDocument::Section* IniDocument::findSection(const QString& name) const
{
    const auto found = sectionIndex_.constFind(folded(name));
    return found == sectionIndex_.cend() ? nullptr : &sections_[std::size_t(*found)];
}

IniDocument::Section& IniDocument::addSection(const QString& name)
{
    sectionIndex_.insert(folded(name), qsizetype(sections_.size()));
    sections_.push_back({name, {}, {}});
    return sections_.back();
}

void IniDocument::addLine(Section& section, Line line)
{
    // A key that stands twice is found at its first line, as the file reads from the top.
    if (line.hasEquals) {
        const QString key = folded(line.key);
        if (!section.keyIndex.contains(key))
            section.keyIndex.insert(key, qsizetype(section.lines.size()));
    }
    section.lines.push_back(std::move(line));
}

qsizetype IniDocument::lineOf(const Section& section, const QString& key)
{
    return section.keyIndex.value(folded(key), -1);
}

bool IniDocument::hasKey(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    return s && lineOf(*s, key) >= 0;
}

QString IniDocument::value(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    const qsizetype line = s ? lineOf(*s, key) : -1;
    return line >= 0 ? s->lines[std::size_t(line)].value : QString();
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
    if (!s)
        s = &addSection(section);
    if (const qsizetype line = lineOf(*s, key); line >= 0)
        s->lines[std::size_t(line)].value = value;
    else
        addLine(*s, {key, value, true});
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
