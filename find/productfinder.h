#pragma once
// Finding products by words in their text and description. The matching rows are found
// once per search text and kept until the records or the searched fields change (the
// finder follows the data source), so a step only moves the table.

#include "db/datalink.h"
#include "db/datasource.h"

#include <QPointer>
#include <QString>
#include <vector>

class ProductFinder : private DataLink {
public:
    ProductFinder(DataSource& source, std::vector<const Field*> fields);
    ~ProductFinder() override;
    ProductFinder(const ProductFinder&) = delete;
    ProductFinder& operator=(const ProductFinder&) = delete;

    void setText(const QString& text);
    const QString& text() const { return text_; }

    // Moves the table to the first match after (before) the current product, wrapping
    // around; a pending edit is ended as by any move. False when nothing matches (an
    // empty search matches nothing).
    bool next();
    bool previous();

    int matchCount();
    // The current product's place among the matches, from 1; 0 when it is none of them.
    int currentMatch();
    // "3 av 17", or "Ingen treff".
    QString countText();

private:
    const std::vector<int>& matches();
    bool step(bool forward);
    bool searched(const Field* field) const;

    void stateChanged() override { dirty_ = true; }
    void dataChanged(const Field* field) override;
    void rowInserted(int) override { dirty_ = true; }
    void rowRemoved(int) override { dirty_ = true; }
    void rowsReset() override { dirty_ = true; }

    QPointer<DataSource> source_;
    std::vector<const Field*> fields_;
    QString text_;
    std::vector<int> rows_;
    bool dirty_ = true;
};
