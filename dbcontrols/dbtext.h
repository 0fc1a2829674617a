#pragma once
// Bound read-only text: shows the display text of one field of the data source's current
// record; it never edits.

#include "dbcontrols/boundcontrol.h"

#include <QLabel>

class DBText : public BoundControl<QLabel> {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
};
