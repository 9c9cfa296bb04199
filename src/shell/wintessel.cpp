// The desktop program's process entry: the class WINTESSEL, the hidden main
// window whose creation does the whole start-up, and the message loop.

#include <windows.h>

#include "shell/mainwindow.h"
#include "shell/shellstate.h"

namespace {

constexpr const char* kNeedsNt = "This program requires Windows NT!";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA type{};
    type.style = CS_HREDRAW | CS_VREDRAW;
    type.lpfnWndProc = mainproc;
    type.hInstance = instance;
    type.hIcon = LoadIconA(instance, resourceName);
    type.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    type.lpszMenuName = resourceName;
    type.lpszClassName = mainClass;
    if (!RegisterClassA(&type)) {
        MessageBoxA(nullptr, kNeedsNt, mainClass, MB_ICONERROR | MB_OK);
        return 0;
    }

    HWND window = CreateWindowExA(0, mainClass, nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 500,
                                  250, nullptr, nullptr, instance, nullptr);
    UpdateWindow(window);
    HACCEL keys = LoadAcceleratorsA(instance, resourceName);

    // The progress window's keys first, then the accelerators.
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND progress = static_cast<HWND>(progressRecord.window);
        if (progress && IsDialogMessageA(progress, &msg))
            continue;
        if (TranslateAcceleratorA(window, keys, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
