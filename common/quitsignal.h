#pragma once
// A request from the system to end the program (SIGTERM, SIGINT, SIGHUP on Linux) closes
// the main window as the user would, so its placement, the settings file and the log are
// still written. Nothing happens where there is no such request (Windows).

class QWidget;

void closeOnQuitSignal(QWidget* mainWindow);

// Whether such a request has come: the program is ending with perhaps nobody there to
// answer a question.
bool quitRequested();
