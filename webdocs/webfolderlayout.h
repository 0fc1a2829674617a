#pragma once
// What the two web folder dialogs share in their layout: the font, widths that grow with
// a wider substitute font, and the centring over the main window.

#include <QFont>

class QLineEdit;
class QWidget;

// The dialogs' font: the program's window font, Tahoma 11 pixels high.
QFont webfolderFont();

// A label or check box keeps its place and its design width, and grows to the right (a
// wrapped label downwards) only when the font at hand needs more room than Tahoma.
void fitText(QWidget* control);

// A line edit takes a stored value of any length: the default limit of 32767 characters
// would cut a longer one, and closing the dialog would store it cut.
void takeAnyLength(QLineEdit* edit);

// Moves dialog so that its outer frame is centred over mainWindow's, kept on the screen.
// Before its first showing the dialog's frame is taken to be as wide as the main window's.
void centreOverMainWindow(QWidget* dialog, const QWidget* mainWindow);
