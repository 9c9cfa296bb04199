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
