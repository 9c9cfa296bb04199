#pragma once
// Services whose form depends on the front end rather than the platform:
// how a message reaches the user. Every executable links exactly one
// implementation (a message box, a line on the terminal, or a recorder in
// the tests).

// A window handle of the platform; null when there is no window.
using WindowHandle = void*;

// Shows text under caption with an OK button, owned by owner; like
// MessageBoxA with MB_OK.
void messagebox(WindowHandle owner, const char* text, const char* caption);

// The caption of every message about a file that could not be opened, read
// or written.
inline constexpr const char* kFileErrorCaption = "File Error";
