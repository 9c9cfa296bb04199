#pragma once
// The behaviour of every generated parameter dialog. Win32 only.

#include <windows.h>

// The dialog procedure; its creation parameter is the dialog's OpenDialog
// record (rundialog makes it).
INT_PTR CALLBACK dialogproc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
