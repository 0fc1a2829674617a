#include "common/inidocument.h"

#include "common/fileops.h"
#include "common/filewritelock.h"

namespace {
// Section names and keys are compared without regard to case.
CaselessName folded(const QString& name)
{
    return {name};
}
}

size_t qHash(const CaselessName& name, size_t seed)
{
    // Case-folded code point by code point, as QString::compare folds them.
    const QString& text = name.text;
    size_t hash = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) { // the usual names, without a call per character
            hash = hash * 31 + (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        hash = hash * 31 + QChar::toCaseFolded(c);
    }
    return ::qHash(hash, seed);
}

bool IniDocument::load(const QString& path)
{
    parse({}); // empty, indexes too
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
    keyIndex_.clear();
    changes_.clear();
    const DecodedText decoded = decodeText(bytes);
    encoding_ = decoded.encoding;
    qsizetype current = -1;
    for (const QStringView raw : splitLines(decoded.text)) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.sliced(1, line.size() - 2).trimmed().toString();
            current = sectionOf(name);
            if (current < 0)
                current = addSection(name);
            continue;
        }
        if (current < 0)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            addLine(current, {QString(), line.toString(), false});
        else
            addLine(current, {line.first(eq).trimmed().toString(), line.sliced(eq + 1).trimmed().toString(), true});
    }
}

QByteArray IniDocument::serialize() const
{
    QString text;
    for (const Section& section : sections_) {
        text.append(QLatin1Char('[')).append(section.name).append(QLatin1String("]\r\n"));
        for (const Line& line : section.lines) {
            if (line.hasEquals)
                text.append(line.key).append(QLatin1Char('='));
            text.append(line.value).append(QLatin1String("\r\n"));
        }
        text.append(QLatin1String("\r\n"));
    }
    return encodeText(text, encoding_);
}

qsizetype IniDocument::sectionOf(const QString& name) const
{
    return sectionIndex_.value(folded(name), -1);
}

qsizetype IniDocument::addSection(const QString& name)
{
    const qsizetype index = qsizetype(sections_.size());
    sectionIndex_.insert(folded(name), index);
    sections_.push_back({name, {}});
    return index;
}

void IniDocument::addLine(qsizetype section, Line line)
{
    std::vector<Line>& lines = sections_[std::size_t(section)].lines;
    // A key that stands twice is found at its first line, as the file reads from the top.
    if (line.hasEquals) {
        auto key = std::pair(section, folded(line.key));
        if (!keyIndex_.contains(key))
            keyIndex_.insert(std::move(key), qsizetype(lines.size()));
    }
    lines.push_back(std::move(line));
}

qsizetype IniDocument::lineOf(qsizetype section, const QString& key) const
{
    return keyIndex_.value(std::pair(section, folded(key)), -1);
}

bool IniDocument::hasKey(const QString& section, const QString& key) const
{
    const qsizetype s = sectionOf(section);
    return s >= 0 && lineOf(s, key) >= 0;
}

QString IniDocument::value(const QString& section, const QString& key) const
{
    const qsizetype s = sectionOf(section);
    const qsizetype line = s >= 0 ? lineOf(s, key) : -1;
    return line >= 0 ? sections_[std::size_t(s)].lines[std::size_t(line)].value : QString();
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& text)
{
    // A line break inside a value would start new lines (or sections) in the file.
    const QString value = oneLine(text);
    if (hasKey(section, key) && this->value(section, key) == value)
        return;
    changes_.push_back({section, key, value});
    store(section, key, value);
}

void IniDocument::restateValue(const QString& section, const QString& key, const QString& text)
{
    store(section, key, oneLine(text));
}

void IniDocument::store(const QString& section, const QString& key, const QString& value)
{
    qsizetype s = sectionOf(section);
    if (s < 0)
        s = addSection(section);
    if (const qsizetype line = lineOf(s, key); line >= 0)
        sections_[std::size_t(s)].lines[std::size_t(line)].value = value;
    else
        addLine(s, {key, value, true});
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
    if (const qsizetype s = sectionOf(section); s >= 0)
        for (const Line& line : sections_[std::size_t(s)].lines)
            if (line.hasEquals)
                names << line.key;
    return names;
}
