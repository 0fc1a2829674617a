#include "db/refreshposition.h"

#include "db/recordstore.h"

#include <QHash>
#include <algorithm>

namespace {

bool sameKey(const RecordStore& a, int rowA, const RecordStore& b, int rowB, const std::vector<int>& key)
{
    for (int f : key) {
        const bool nullA = a.isNull(rowA, f);
        if (nullA != b.isNull(rowB, f) || (!nullA && a.bytes(rowA, f) != b.bytes(rowB, f)))
            return false;
    }
    return true;
}

size_t keyHash(const RecordStore& store, int row, const std::vector<int>& key)
{
    size_t h = 0;
    for (int f : key)
        h = qHash(store.isNull(row, f) ? QByteArrayView("\1null") : store.bytes(row, f), h * 31 + 7);
    return h;
}

int findKey(const RecordStore& old, int oldRow, const RecordStore& fresh, const std::vector<int>& key)
{
    for (int r = 0; r < fresh.size(); ++r)
        if (sameKey(old, oldRow, fresh, r, key))
            return r;
    return -1;
}

}

int rowAfterRefresh(const RecordStore& old, int oldRow, const RecordStore& fresh, const std::vector<int>& keyFields)
{
    if (fresh.size() == 0)
        return -1;
    const int clamped = std::clamp(oldRow, 0, fresh.size() - 1);
    if (oldRow < 0 || oldRow >= old.size() || keyFields.empty())
        return clamped;
    if (const int row = findKey(old, oldRow, fresh, keyFields); row >= 0)
        return row;

    // The current record is gone: look for its old neighbours among the new keys (hashes
    // first, so the walk costs one pass over the new list, not one per neighbour).
    std::vector<size_t> freshKeys(size_t(fresh.size()));
    for (int r = 0; r < fresh.size(); ++r)
        freshKeys[size_t(r)] = keyHash(fresh, r, keyFields);
    std::sort(freshKeys.begin(), freshKeys.end());
    const auto survivor = [&](int r) {
        if (!std::binary_search(freshKeys.begin(), freshKeys.end(), keyHash(old, r, keyFields)))
            return -1;
        return findKey(old, r, fresh, keyFields);
    };
    for (int r = oldRow + 1; r < old.size(); ++r)
        if (const int row = survivor(r); row >= 0)
            return row;
    for (int r = oldRow - 1; r >= 0; --r)
        if (const int row = survivor(r); row >= 0)
            return row;
    return clamped;
}
