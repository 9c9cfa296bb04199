#pragma once
// The Win32 side of the progress window, for the desktop program's message
// loop and its tests.

#include <windows.h>

#include "progress/progresswindow.h"

// The window procedure of the progress window.
INT_PTR CALLBACK progproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Places the button row; called once as the window is initialised.
void proglayout(ProgressWindow& record);
