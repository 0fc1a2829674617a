#include "db/textsearch.h"

#include "db/dataset.h"
#include "db/textmatcher.h"

#include <QRegularExpression>

namespace {

// Whether the row's value is the edit buffer's rather than the stored one.
bool pending(const DataSet& dataSet, int row)
{
    return dataSet.isEditing() && row == dataSet.currentRow();
}

}

int textsearch::findPrefix(const DataSet& dataSet, const Field& field, const QString& text, int from)
{
    const int count = dataSet.recordCount();
    if (count == 0)
        return -1;
    const TextMatcher matcher(text);
    from = std::clamp(from, 0, count - 1);
    for (int i = 0; i < count; ++i) {
        const int row = (from + i) % count;
        const bool found = pending(dataSet, row) ? matcher.isPrefixOf(field.asString())
                                                 : matcher.isPrefixOf(dataSet.storedText(row, field));
        if (found)
            return row;
    }
    return -1;
}

std::vector<int> textsearch::findWords(const DataSet& dataSet, const std::vector<const Field*>& fields, const QString& text)
{
    std::vector<TextMatcher> words;
    for (const QString& w : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        words.emplace_back(w);
    std::vector<int> rows;
    if (words.empty())
        return rows;
    const int count = dataSet.recordCount();
    for (int row = 0; row < count; ++row) {
        const bool edited = pending(dataSet, row);
        bool all = true;
        for (size_t w = 0; w < words.size() && all; ++w) {
            bool any = false;
            for (size_t f = 0; f < fields.size() && !any; ++f)
                any = edited ? words[w].isIn(fields[f]->asString()) : words[w].isIn(dataSet.storedText(row, *fields[f]));
            all = any;
        }
        if (all)
            rows.push_back(row);
    }
    return rows;
}
