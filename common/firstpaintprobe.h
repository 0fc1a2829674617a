#pragma once
// For the start-up benchmark: when PRISLISTE_FIRST_PAINT_FD names an open file
// descriptor, the window's first paint writes "painted" to it and then closes the
// window, so the program ends as a user would end it. Does nothing otherwise.

class QWidget;

void reportFirstPaint(QWidget* window);
