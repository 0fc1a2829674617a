#pragma once
// A request from the system to end the program (SIGTERM, SIGINT, SIGHUP on Linux) closes
// the main window as the user would, so its placement, the settings file and the log are
// still written. Nothing happens where there is no such request (Windows).

class QWidget;

void closeOnQuitSignal(QWidget* mainWindow);
