#pragma once

// Gives every window of the program its icon (the one of the desktop entry), and tells the
// desktop which entry the program's windows belong to. Call once, after the application object
// exists and before the first window is created.
void useProgramIcon();
