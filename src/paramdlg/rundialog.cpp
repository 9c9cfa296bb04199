#include "paramdlg/rundialog.h"

#include <commctrl.h>

#include "paramdlg/dialogproc.h"
#include "params/pagelimits.h"
#include "platform/frontend.h"

namespace {

// Styles of the template's items.
constexpr DWORD dialogStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD defaultButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD pushButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD hiddenButton = WS_CHILD;
constexpr DWORD centredText = WS_CHILD | WS_VISIBLE | SS_CENTER;
constexpr DWORD groupBox = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX;
constexpr DWORD radioButton = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;


int trunc(double v)
{
    return static_cast<int>(v);
}

}  // namespace

SIZE textsize(const ParamDialogSpec& spec, const char* text)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, static_cast<HFONT>(spec.font));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

DialogTemplate paramtemplate(ParamDialogSpec& spec)
{
    const int th = spec.textHeight;
    spec.buttonWidth = trunc(3.6 * th);
    spec.buttonHeight = th;
    const int bw = spec.buttonWidth, w = spec.width, h = spec.height;
    const int x0 = (w - 2 * bw) / 3;
    // The text height in pixels serves directly as a length in dialog units.
    const int y0 = trunc(h - 1.5 * th);
    const char* caption = spec.caption ? spec.caption : "";

    DialogTemplate t;
    t.header(dialogStyle, templateItems, spec.x, spec.y, w, h, caption, 8, "MS Sans Serif");
    if (spec.showGo) {
        t.item(defaultButton, x0, y0, bw, th, idGo, buttonAtom, "&Go");
        t.item(pushButton, x0, y0, bw, th, idOk, buttonAtom, "OK");
    } else {
        t.item(defaultButton, x0, y0, bw, th, idOk, buttonAtom, "OK");
    }
    t.item(pushButton, bw + 2 * x0, y0, bw, th, idCancel, buttonAtom, "Cancel");
    t.item(hiddenButton, 1, 1, 20, 20, idExit, buttonAtom, "E&xit");
    t.item(hiddenButton, 1, 1, 20, 20, idOpen, buttonAtom, "&Open");
    t.item(hiddenButton, 1, 1, 20, 20, idMinimizeTop, buttonAtom, "Minimi&ze");
    t.item(hiddenButton, 1, 1, 20, 20, idMinimize, buttonAtom, "Mi&nimize");
    t.item(hiddenButton, 1, 1, 20, 20, idPrefs, buttonAtom, "&Prefs.");
    t.item(hiddenButton, 1, 1, 20, 20, idRead, buttonAtom, "&Read");
    t.item(hiddenButton, 1, 1, 2, 2, idSave, buttonAtom, "&Save");
    t.item(centredText, trunc(0.1 * w), trunc(0.4 * th), trunc(0.8 * w), trunc(1.3 * th), idTitle, staticAtom,
           caption);
    for (int g = 0; g < templateGroups; ++g) {
        t.item(groupBox, 10, 30, w - 20, 8 * th, static_cast<WORD>(idGroup + g), buttonAtom, "empty");
        for (int k = 0; k < groupOptions; ++k)
            t.item(radioButton, trunc(k * bw * 1.5 + 20), 42, trunc(1.3 * bw), th, static_cast<WORD>(radioid(g, k)),
                   buttonAtom, "mt");
    }
    t.aligndword();
    return t;
}

int rundialog(WindowHandle parent, ParamDialogSpec& spec)
{
    // Refused before anything is made, so that nothing is left behind: no
    // font, no backup file.
    if (const char* problem = tablelimit(spec))
        fatalexit(problem, 1);
    HFONT font = CreateFontA(-spec.fontHeight, 0, 0, 0, 0, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, spec.fontName);
    spec.font = font;
    spec.textHeight = textsize(spec, "Abc").cy;
    // The template lives in memory sized to its content, so no caption can
    // overrun it.
    const DialogTemplate t = paramtemplate(spec);

    if (spec.pageSizes[0] >= 2) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
        InitCommonControlsEx(&classes);
    }
    OpenDialog open;
    open.spec = &spec;
    const INT_PTR result = DialogBoxIndirectParamA(static_cast<HINSTANCE>(spec.instance), t.get(),
                                                   static_cast<HWND>(parent), dialogproc,
                                                   reinterpret_cast<LPARAM>(&open));
    if (result == -1 || !open.closed)
        spec.outcome = 1;  // it never ran: nothing was changed
    closedialog(open);
    // The controls are gone with the dialog; now the font can go too.
    DeleteObject(font);
    spec.font = nullptr;
    return 0;
}
