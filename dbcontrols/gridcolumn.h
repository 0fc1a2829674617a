#pragma once
// One column of the list grid: the field it shows, its title and alignments, its width.

#include <QString>
#include <Qt>

struct GridColumn {
    QString fieldName;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft;
    Qt::Alignment titleAlignment = Qt::AlignLeft;
    int width = 0;   // pixels; 0: the default width of the field's kind
};
