#pragma once
// The busy (hourglass) cursor for the length of a scope, taken back also on an error.

#include <QApplication>
#include <QCursor>
#include <vector>

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The normal cursor for the length of a scope, whatever busy cursors the callers hold (a
// message box in the middle of busy work); they are all put back as they were.
class NormalCursor {
public:
    NormalCursor()
    {
        while (const QCursor* cursor = QApplication::overrideCursor()) {
            held_.push_back(*cursor);
            QApplication::restoreOverrideCursor();
        }
    }
    ~NormalCursor()
    {
        for (auto it = held_.rbegin(); it != held_.rend(); ++it)
            QApplication::setOverrideCursor(*it);
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    std::vector<QCursor> held_; // innermost first
};
