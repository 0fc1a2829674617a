#pragma once
// An in-memory INI document: sections and keys compared without regard to case, kept
// in first-seen order; lines without "=" kept; the byte-order mark of the file kept.

#include "common/textcodec.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// A section name or key as the index holds it: equal and hashed without regard to case,
// sharing the text of the name itself (no folded copy is made).
struct CaselessName {
    QString text;
    friend bool operator==(const CaselessName& a, const CaselessName& b)
    {
        return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
    }
};
size_t qHash(const CaselessName& name, size_t seed = 0);

class IniDocument {
public:
    // Far beyond any settings file; a larger one is taken for one that cannot be read.
    static constexpr qint64 maximumFileSize = 64 * 1024 * 1024;

    // A missing file gives an empty document. Returns false when the file exists but
    // cannot be read, or is a folder, pipe or device, or is too large (the document is
    // then empty).
    bool load(const QString& path);
    // Writes the whole document through a temporary file and a rename; false on failure,
    // the old file untouched. Under a lock beside the file: when the file is no longer
    // what was loaded or last saved (another copy of the program wrote it), the values
    // set since then are put onto the file as it is now, and that becomes the document.
    bool save(const QString& path);
    // The operating system's error number of the last failed load or save (0 after success).
    int lastError() const { return lastError_; }

    // Replaces the document; the values set so far are forgotten as changes.
    void parse(const QByteArray& bytes);
    QByteArray serialize() const;

    bool hasKey(const QString& section, const QString& key) const;
    // Empty when missing.
    QString value(const QString& section, const QString& key) const;
    // A value the key already holds is no change: the write-back then keeps what another
    // copy of the program put there meanwhile.
    void setValue(const QString& section, const QString& key, const QString& value);
    // New text for a key that means what it held ("1" for a true written "-1"): written
    // with the document, but not a change of this copy's, so another copy's value wins.
    void restateValue(const QString& section, const QString& key, const QString& value);
    QStringList sectionNames() const;
    QStringList keys(const QString& section) const;

private:
    struct Line {
        QString key;   // empty for a line without "="
        QString value; // the whole line when it has no "="
        bool hasEquals = true;
    };
    struct Section {
        QString name;
        std::vector<Line> lines;
    };
    struct Change {
        QString section, key, value;
    };
    qsizetype addSection(const QString& name);
    void addLine(qsizetype section, Line line);
    // The first line of key in the section, or -1.
    qsizetype lineOf(qsizetype section, const QString& key) const;
    qsizetype sectionOf(const QString& name) const;
    void store(const QString& section, const QString& key, const QString& value);
    void mergeInto(const QByteArray& current);
    // Looked up by name, so that a file of many sections reads in linear time.
    std::vector<Section> sections_;
    QHash<CaselessName, qsizetype> sectionIndex_; // name -> index in sections_
    QHash<std::pair<qsizetype, CaselessName>, qsizetype> keyIndex_; // section, key -> first line
    int lastError_ = 0;
    TextEncoding encoding_ = TextEncoding::Local8Bit;
    QByteArray fileBytes_;        // the file as loaded or last saved (empty when missing)
    std::vector<Change> changes_; // values set since then, in the order they were set
};
