#include "shell/helpers.h"

#include <cstdio>


namespace {

constexpr const char* appName = "WINTESSEL";
constexpr const char* untitled = "(untitled)";
constexpr int titleLength = 323;

const char* orUntitled(const char* name)
{
    return name && *name ? name : untitled;
}

}  // namespace

void settitle(HWND window, const char* name)
{
    char title[titleLength + 1];
    std::snprintf(title, sizeof title, "%s - %s", appName, orUntitled(name));
    SetWindowTextA(window, title);
}

void warnbox(HWND owner, const char* format, const char* argument)
{
    char text[titleLength + 1];
    std::snprintf(text, sizeof text, format, orUntitled(argument));
    MessageBoxA(owner, text, appName, MB_ICONEXCLAMATION | MB_OK);
}
