#pragma once
// Services whose form depends on the front end rather than the platform:
// how a message reaches the user, and the fatal exit built on it. Every
// executable links exactly one messagebox (a message box, a line on the
// terminal, or a recorder in the tests).

// A window handle of the platform; null when there is no window.
using WindowHandle = void*;

// Shows text under caption with an OK button, owned by owner; like
// MessageBoxA with MB_OK.
void messagebox(WindowHandle owner, const char* text, const char* caption);

// Shows message in a box without owner, captioned "Exiting on error", and
// ends the process with status once the box is closed. For table overflows,
// memory exhaustion and folders the program cannot do without.
[[noreturn]] void fatalexit(const char* message, int status);

// The caption of every message about a file that could not be opened, read
// or written.
inline constexpr const char* kFileErrorCaption = "File Error";

// The caption of every warning: something the output holds or leaves out
// that the user should know of.
inline constexpr const char* kWarningCaption = "Warning";
