#pragma once
// The yes/no question: one modal dialog per question, released after it.

#include <QString>

// Returns true for "Ja", false for "Nei"; a dialog closed without a button press
// returns the default answer.
bool askyesno(const QString& question, bool defaultAnswer);
