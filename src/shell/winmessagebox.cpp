// Messages of the engine in the desktop program: message boxes.

#include <windows.h>

#include "platform/frontend.h"

void messagebox(WindowHandle owner, const char* text, const char* caption)
{
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
}
