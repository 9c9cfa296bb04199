#include "platform/fileops_win.h"

#include <windows.h>

#include <cstring>

void existingdir(char* path)
{
    while (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        std::size_t n = std::strlen(path);
        if (n > 0 && path[n - 1] == '\\')
            path[n - 1] = '\0';
        char* slash = std::strrchr(path, '\\');
        if (!slash)
            break;
        *slash = '\0';
    }
}

KeptFolder::KeptFolder()
{
    // The length without the terminator when the folder fits, the size it
    // would need when it does not, 0 on failure.
    const DWORD n = GetCurrentDirectoryA(capacity, folder_);
    kept_ = n > 0 && n < capacity;
}

KeptFolder::~KeptFolder()
{
    if (kept_)
        SetCurrentDirectoryA(folder_);
}
