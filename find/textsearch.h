#pragma once
// Searching a data set's rows by text, reading the stored records in place (no value is
// built per row). Letter case is ignored (TextMatcher). The record being edited or
// inserted is searched with its values as they are now.

#include <QString>
#include <vector>

class DataSet;
class Field;

namespace textsearch {

// The first row from `from` on, wrapping around past the last row, whose `field`
// begins with `text`; -1 when none does.
int findPrefix(const DataSet& dataSet, const Field& field, const QString& text, int from);

// The rows, in order, where every word of `text` (split at white space) stands anywhere
// in one of `fields`. No words, or more than 32: no rows.
std::vector<int> findWords(const DataSet& dataSet, const std::vector<const Field*>& fields, const QString& text);

}
