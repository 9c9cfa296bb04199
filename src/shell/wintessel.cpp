// The desktop program's entry. For now it chooses files in the current
// folder, converts them with the completion message on, and ends.

#include <windows.h>

#include "shell/batch.h"
#include "shell/shellstate.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    progressstart(progressRecord, instance);
    converterSpec.statusBoxOn = 1;
    GetCurrentDirectoryA(sizeof dataDirectory, dataDirectory);
    initfiledialog(nullptr, dataDirectory);
    openfiles(nullptr);
    gobatch(nullptr);
    return 0;
}
