#include "shell/mainwindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "numtext/numshort.h"
#include "paramdlg/paramfiles.h"
#include "paramdlg/rundialog.h"
#include "platform/fileops_win.h"
#include "platform/frontend.h"
#include "resource.h"
#include "shell/batch.h"
#include "shell/convparams.h"
#include "shell/helpers.h"
#include "shell/prefs.h"
#include "shell/settings.h"
#include "shell/shellstate.h"

namespace {

constexpr const char* programName = "Tessel ABF Converter";
constexpr const char* kHelpMissing = "Help not yet implemented!";
constexpr const char* kNoDataPath = "Couln't find the data path";
constexpr const char* kNotAbf = "This is not an ABF File!!";
constexpr const char* versionFormat = "%s, Version %.1f";
constexpr double version = 2.8;
constexpr const char* noticeFormat = "MIT licence. Built %s";
constexpr const char* buildDate = "Apr  3 2019";
// The file title, "->" and the output name in the title after Go.
constexpr int goTitleLength = 199;

HINSTANCE instance;
char paramDirectory[MAX_PATH] = "c:\\labparms";

void enablego(HWND window, bool enable)
{
    EnableMenuItem(GetMenu(window), CMD_GO, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(window);
}

void startup(HWND window, const CREATESTRUCTA& create)
{
    instance = create.hInstance;
    converterSpec.instance = instance;
    convparams(converterSpec, converterBlock);
    converterSpec.page = 0;
    converterSpec.fontName = fontFace;
    converterSpec.caption = programName;
    converterSpec.fontHeight = defaultFontHeight;
    converterSpec.x = 70;
    converterSpec.y = 10;
    converterSpec.showGo = 1;
    converterSpec.width = 600;
    converterSpec.showOpen = 1;
    converterSpec.mainWindowMode = 'N';
    converterSpec.onGo = [](WindowHandle w) -> std::int32_t { return gobatch(static_cast<HWND>(w)); };
    converterSpec.onOpen = [](WindowHandle w) -> std::int32_t { return openfiles(static_cast<HWND>(w)); };
    converterSpec.onPrefs = editprefs;
    copycut(converterSpec.fileExt, sizeof converterSpec.fileExt, "tsa");
    copycut(converterSpec.fileTypeName, sizeof converterSpec.fileTypeName, mainClass);
    converterSpec.paramDir = paramDirectory;

    progressstart(progressRecord, instance);

    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    settingspath(settingsPath, sizeof settingsPath, windows);
    startsettings(converterSpec, {fontFace, dataDirectory}, settingsPath);

    initfiledialog(window, dataDirectory);
    setupparamfiles(window, converterSpec);

    // An argument is shown as a text, never used as a format.
    for (int i = 1; i < __argc; ++i) {
        copycut(fileTitle, sizeof fileTitle, __argv[i]);
        if (std::strstr(__argv[i], ".abf") || std::strstr(__argv[i], ".ABF"))
            gobatch(window);
        else
            MessageBoxA(nullptr, __argv[i], kNotAbf, MB_OK);
    }
    if (__argc > 1)
        PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
    if (converterSpec.mainWindowMode == 'N')
        PostMessageA(window, WM_COMMAND, CMD_OPEN, 0);
    else
        ShowWindow(window, SW_SHOW);
    settitle(window, fileTitle);
    enablego(window, false);
}

void go(HWND window)
{
    if (!SetCurrentDirectoryA(dataDirectory)) {
        // The program ends here: first keep what closing would keep.
        savesession(converterSpec, dataDirectory, settingsPath);
        fatalexit(kNoDataPath, 1);
    }
    enablego(window, false);
    // The title names an output only when one was written; after a Go that
    // wrote none it is again the one Open gave, so no earlier output's name
    // stays in it.
    if (gobatch(window)) {
        char title[goTitleLength + 1];
        std::snprintf(title, sizeof title, "%s->%s", fileTitle, batchOutput.c_str());
        settitle(window, batchOutput.empty() ? fileTitle : title);
    }
    enablego(window, true);
}

void edit(HWND window)
{
    if (converterSpec.mainWindowMode != 'O')
        ShowWindow(window, SW_HIDE);
    rundialog(window, converterSpec);
    if (converterSpec.mainWindowMode == 'N') {
        savesession(converterSpec, dataDirectory, settingsPath);
        PostQuitMessage(0);
    } else {
        ShowWindow(window, SW_SHOW);
    }
}

// The commands; false for an id that is not one of them.
bool command(HWND window, int id)
{
    switch (id) {
    case CMD_OPEN:
        openfiles(window);
        if (selectionBuffer[0])
            enablego(window, true);
        if (converterSpec.mainWindowMode == 'N')
            PostMessageA(window, WM_COMMAND, CMD_EDIT, 0);
        return true;
    case CMD_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case CMD_HELP:
        warnbox(window, kHelpMissing, "");
        return true;
    case CMD_ABOUT:
        DialogBoxParamA(instance, "AboutBox", window, aboutproc, 0);
        return true;
    case CMD_GO:
        go(window);
        return true;
    case CMD_EDIT:
        edit(window);
        break;
    case CMD_READ: {
        // As the dialog's own Read and Save do: the file dialogs change the
        // current folder.
        const KeptFolder kept;
        readparamfile(window, converterSpec);
        break;
    }
    case CMD_SAVE: {
        const KeptFolder kept;
        saveparamfile(window, converterSpec);
        break;
    }
    case CMD_PREFS:
        editprefs(window);
        break;
    default:
        return false;
    }
    SetFocus(window);
    return true;
}

}  // namespace

LRESULT CALLBACK mainproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        startup(window, *reinterpret_cast<const CREATESTRUCTA*>(lparam));
        return 0;
    case WM_COMMAND:
        if (command(window, LOWORD(wparam)))
            return 0;
        break;
    case WM_CLOSE:
        savesession(converterSpec, dataDirectory, settingsPath);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process may be ended any time after this returns: keep what
        // the close path would have kept.
        if (wparam)
            savesession(converterSpec, dataDirectory, settingsPath);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

INT_PTR CALLBACK aboutproc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    char line[100];
    switch (message) {
    case WM_INITDIALOG:
        std::snprintf(line, sizeof line, noticeFormat, buildDate);
        SetDlgItemTextA(dialog, ABOUT_NOTICE, line);
        std::snprintf(line, sizeof line, versionFormat, programName, version);
        SetDlgItemTextA(dialog, ABOUT_VERSION, line);
        return TRUE;
    case WM_COMMAND:
        // Only OK (and Enter) closes the box; Escape's IDCANCEL is refused.
        if (LOWORD(wparam) == IDOK) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    // MSDN: a dialog procedure returns FALSE for a message it does not process.
    return FALSE;
}
