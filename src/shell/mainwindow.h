#pragma once
// The main window: the start-up, the commands of its menu and accelerators,
// and the About box.

#include <windows.h>

inline constexpr const char* mainClass = "WINTESSEL";
// The menu, accelerator table and icon among the program's resources.
inline constexpr const char* resourceName = "BRACKENWEY";

LRESULT CALLBACK mainproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

INT_PTR CALLBACK aboutproc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
