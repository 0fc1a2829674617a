#include "find/productfinder.h"

#include "find/textsearch.h"

#include <algorithm>

ProductFinder::ProductFinder(DataSource& source, std::vector<const Field*> fields)
    : source_(&source), fields_(std::move(fields))
{
    source.addLink(this);
}

ProductFinder::~ProductFinder()
{
    if (source_)
        source_->removeLink(this);
}

void ProductFinder::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    dirty_ = true;
}

bool ProductFinder::searched(const Field* field) const
{
    return std::find(fields_.begin(), fields_.end(), field) != fields_.end();
}

void ProductFinder::dataChanged(const Field* field)
{
    // A move (no field) changes no text.
    if (field && searched(field))
        dirty_ = true;
}

const std::vector<int>& ProductFinder::matches()
{
    DataSet* ds = source_ ? source_->dataSet() : nullptr;
    if (!ds || !ds->isActive()) {
        rows_.clear();
        return rows_;
    }
    if (dirty_) {
        rows_ = textsearch::findWords(*ds, fields_, text_);
        dirty_ = false;
    }
    return rows_;
}

bool ProductFinder::step(bool forward)
{
    const std::vector<int>& rows = matches();
    if (rows.empty())
        return false;
    DataSet& ds = *source_->dataSet();
    const int current = ds.currentRow();
    int target;
    if (forward) {
        const auto it = std::upper_bound(rows.begin(), rows.end(), current);
        target = it == rows.end() ? rows.front() : *it;
    } else {
        const auto it = std::lower_bound(rows.begin(), rows.end(), current);
        target = it == rows.begin() ? rows.back() : *std::prev(it);
    }
    if (target != current)
        ds.moveTo(target);
    return true;
}

bool ProductFinder::next()
{
    return step(true);
}

bool ProductFinder::previous()
{
    return step(false);
}

int ProductFinder::matchCount()
{
    return int(matches().size());
}

int ProductFinder::currentMatch()
{
    const std::vector<int>& rows = matches();
    const int current = source_ && source_->dataSet() ? source_->dataSet()->currentRow() : -1;
    const auto it = std::lower_bound(rows.begin(), rows.end(), current);
    return it != rows.end() && *it == current ? int(it - rows.begin()) + 1 : 0;
}

QString ProductFinder::countText()
{
    if (matchCount() == 0)
        return QStringLiteral("Ingen treff");
    return QStringLiteral("%1 av %2").arg(currentMatch()).arg(matchCount());
}
