#pragma once
// Where the current record stands after a data set read its records again.

#include <vector>

class RecordStore;

// The row in `fresh` of the record whose key fields (field indexes) hold the same values
// as row `oldRow` of `old`. When it is gone: the row of the first record after it in the
// old list that is still there (the one that took its place), else of the last one
// before it that is still there, else `oldRow` clamped to the new list. -1 when `fresh`
// is empty. Without key fields the row number stays (clamped).
int rowAfterRefresh(const RecordStore& old, int oldRow, const RecordStore& fresh, const std::vector<int>& keyFields);
