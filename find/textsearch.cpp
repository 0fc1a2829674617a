#include "find/textsearch.h"

#include "db/dataset.h"
#include "find/textmatcher.h"

#include <QRegularExpression>
#include <algorithm>

int textsearch::findPrefix(const DataSet& dataSet, const Field& field, const QString& text, int from)
{
    const int count = dataSet.recordCount();
    if (count == 0)
        return -1;
    const TextMatcher matcher(text);
    const auto match = [&matcher](int, QByteArrayView stored) { return matcher.isPrefixOf(stored); };
    // The stored rows are walked in place; the one being edited or inserted is asked apart.
    const int pendingRow = dataSet.isEditing() ? dataSet.currentRow() : -1;
    const auto search = [&](int first, int last) {
        if (pendingRow < first || pendingRow >= last)
            return dataSet.findStoredText(field, first, last, match);
        if (const int row = dataSet.findStoredText(field, first, pendingRow, match); row >= 0)
            return row;
        if (matcher.isPrefixOf(field.asString()))
            return pendingRow;
        return dataSet.findStoredText(field, pendingRow + 1, last, match);
    };
    from = std::clamp(from, 0, count - 1);
    if (const int row = search(from, count); row >= 0)
        return row;
    return search(0, from);
}

std::vector<int> textsearch::findWords(const DataSet& dataSet, const std::vector<const Field*>& fields, const QString& text)
{
    std::vector<TextMatcher> words;
    for (const QString& w : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        words.emplace_back(w);
    std::vector<int> rows;
    if (words.empty() || words.size() > 32)
        return rows;

    // One walk per field marks the words found in each row; a row matches when every
    // word is marked.
    const int count = dataSet.recordCount();
    const int pendingRow = dataSet.isEditing() ? dataSet.currentRow() : -1;
    std::vector<quint32> found(size_t(count), 0);
    const auto wordsIn = [&words](const auto& value) {
        quint32 mask = 0;
        for (size_t w = 0; w < words.size(); ++w)
            if (words[w].isIn(value))
                mask |= quint32(1) << w;
        return mask;
    };
    for (const Field* field : fields) {
        dataSet.findStoredText(*field, 0, count, [&](int row, QByteArrayView stored) {
            if (row != pendingRow)
                found[size_t(row)] |= wordsIn(stored);
            return false;
        });
        if (pendingRow >= 0)
            found[size_t(pendingRow)] |= wordsIn(field->asString());
    }
    const quint32 all = words.size() == 32 ? ~quint32(0) : (quint32(1) << words.size()) - 1;
    for (int row = 0; row < count; ++row)
        if (found[size_t(row)] == all)
            rows.push_back(row);
    return rows;
}
