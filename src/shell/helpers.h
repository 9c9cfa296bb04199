#pragma once
// Small helpers the desktop program's windows share.

#include <windows.h>

// Title "WINTESSEL - name", or "WINTESSEL - (untitled)" when name is empty.
void settitle(HWND window, const char* name);

// Formats format with argument ("(untitled)" when it is empty) and shows it
// in a warning box captioned "WINTESSEL".
void warnbox(HWND owner, const char* format, const char* argument);
