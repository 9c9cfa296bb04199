// The progress window of the desktop program: a borderless modeless dialog
// built from an in-memory template, with two centred lines, a two-colour
// percentage bar drawn straight onto an edit control, and a button row.

#include "progress/progresswindow.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "paramdlg/dlgtemplate.h"
#include "progress/progresswindow_win.h"

namespace {

constexpr int idFirstExtra = 33004;
constexpr int idCancel = 33008;
constexpr int idFirstLine = 33000;
constexpr int idSecondLine = 33001;
constexpr int idBar = 33012;

// Each window's font, so the window can release it when it goes.
constexpr const char* fontProperty = "TesselProgressFont";

// The longest a conversion leaves the thread's queue unlooked at.
constexpr DWORD answerInterval = 250;  // ms

ProgressWindow& recordof(HWND window)
{
    return *reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

void setfont(HWND window, int id, HFONT font)
{
    SendDlgItemMessageA(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// trunc(n × f) with the product formed in double precision.
int scaled(int n, double f)
{
    return static_cast<int>(n * f);
}

void initprogress(HWND window, ProgressWindow& pw)
{
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(&pw));
    pw.window = window;
    RECT client{};
    GetClientRect(window, &client);
    int w = client.right, h = client.bottom;
    pw.barHeight = static_cast<float>(pw.textHeight * 1.5 / h);
    pw.bar = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE,
                             scaled(w, pw.barLeft), scaled(h, 1 - double(pw.barTop)),
                             scaled(w, 1 - 2 * double(pw.barLeft)), scaled(h, pw.barHeight), window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(idBar)),
                             static_cast<HINSTANCE>(pw.instance), nullptr);
    if (!pw.showCancel)
        ShowWindow(GetDlgItem(window, idCancel), SW_HIDE);
    if (!pw.showFirstLine)
        ShowWindow(GetDlgItem(window, idFirstLine), SW_HIDE);
    if (!pw.showSecondLine)
        ShowWindow(GetDlgItem(window, idSecondLine), SW_HIDE);
    pw.percentage = 1;
    pw.open = 1;
    HFONT font = static_cast<HFONT>(pw.font);
    SetPropA(window, fontProperty, font);
    setfont(window, idCancel, font);
    setfont(window, idFirstLine, font);
    setfont(window, idSecondLine, font);
    proglayout(pw);
}

// A conversion pumps no messages, so the thread's windows would stop
// answering and the system would show them as not responding. A look at
// the queue serves what other threads and processes send (the system's
// question whether a window still answers among them) and dispatches
// nothing posted, so no command can start in the middle of a run.
void answersent()
{
    static DWORD last = 0;
    const DWORD now = GetTickCount();
    if (now - last < answerInterval)
        return;
    last = now;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

void placebutton(HWND window, int id, int x, int y, int w, int h, HFONT font)
{
    HWND button = GetDlgItem(window, id);
    MoveWindow(button, x, y, w, h, FALSE);
    ShowWindow(button, SW_SHOW);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

INT_PTR CALLBACK progproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        initprogress(window, *reinterpret_cast<ProgressWindow*>(lparam));
        return TRUE;  // the system sets the default focus
    case WM_NCHITTEST:
        return dragbybody(window, wparam, lparam);
    case WM_COMMAND: {
        int id = LOWORD(wparam);
        if (id < idFirstExtra || id > idCancel)
            return FALSE;  // Escape and Alt+F4 arrive as IDCANCEL and are ignored
        ProgressWindow& pw = recordof(window);
        pw.lastButton = id;
        if (pw.buttonEvent)
            SetEvent(pw.buttonEvent);
        return TRUE;
    }
    case WM_NCDESTROY:
        if (HANDLE font = RemovePropA(window, fontProperty)) {
            ProgressWindow* pw = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, DWLP_USER));
            if (pw && pw->font == font)
                pw->font = nullptr;
            DeleteObject(font);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void proglayout(ProgressWindow& pw)
{
    HWND window = static_cast<HWND>(pw.window);
    HFONT font = static_cast<HFONT>(pw.font);
    int n = pw.extraButtonsOn ? 1 + pw.extraButtonCount : 1;
    RECT cancel, whole;
    GetWindowRect(GetDlgItem(window, idCancel), &cancel);
    GetWindowRect(window, &whole);
    int bw = cancel.right - cancel.left, bh = cancel.bottom - cancel.top;
    int ww = whole.right - whole.left;
    if (0.8 * ww < bw * n)
        bw = static_cast<int>((ww / n) * 0.8);
    int gap = (ww - bw * n) / (n + 1);
    int y = cancel.top - whole.top - 3;
    if (pw.extraButtonsOn) {
        for (int id = idFirstExtra; id < idCancel; ++id)
            ShowWindow(GetDlgItem(window, id), SW_HIDE);
        for (int k = 1; k <= pw.extraButtonCount; ++k) {
            int id = idFirstExtra + k - 1;
            placebutton(window, id, gap + (k - 1) * (bw + gap), y, bw, bh, font);
            SetDlgItemTextA(window, id, pw.buttonLabels[k - 1]);
        }
        placebutton(window, idCancel, gap + pw.extraButtonCount * (bw + gap), y, bw, bh, font);
    } else {
        MoveWindow(GetDlgItem(window, idCancel), gap, y, bw, bh, FALSE);
        for (int id = idFirstExtra; id < idCancel; ++id)
            ShowWindow(GetDlgItem(window, id), SW_HIDE);
    }
    SetFocus(GetDlgItem(window, idFirstExtra));
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void progshow(WindowHandle owner, ProgressWindow& pw)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HFONT font = CreateFontA(-pw.fontSize, 0, 0, 0, 0, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, pw.fontFace);
    pw.font = font;
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, "Abc", 3, &size);
    pw.textHeight = size.cy;
    SelectObject(dc, old);
    DeleteDC(dc);

    int th = pw.textHeight;
    int bw = scaled(th, 3.6);
    int bx = (pw.width - bw) / 2;
    pw.buttonTop = static_cast<int>(pw.height - th * 1.5);
    pw.buttonWidth = bw;
    pw.buttonHeight = th;
    int line1 = scaled(th, 0.4);
    int line2 = line1 + scaled(th, 1.1);

    DialogTemplate t;
    t.header(WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_SETFONT, 7, pw.left, pw.top, pw.width, pw.height, "Progress",
             8, "MS Sans Serif");
    constexpr DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    t.item(button | BS_DEFPUSHBUTTON, bx, pw.buttonTop, bw, th, idFirstExtra, buttonAtom, pw.buttonLabels[0]);
    for (int k = 1; k < 4; ++k)
        t.item(button | BS_PUSHBUTTON, bx, pw.buttonTop, bw, th, static_cast<WORD>(idFirstExtra + k), buttonAtom,
               pw.buttonLabels[k]);
    t.item(button | BS_PUSHBUTTON, bx, pw.buttonTop, bw, th, idCancel, buttonAtom, "&Cancel");
    t.item(WS_CHILD | WS_VISIBLE | SS_CENTER, 0, line1, pw.width, th, idFirstLine, staticAtom,
           pw.firstLine.c_str());
    t.item(WS_CHILD | WS_VISIBLE | SS_CENTER, 0, line2, pw.width, th, idSecondLine, staticAtom,
           pw.secondLine.c_str());

    HWND window = CreateDialogIndirectParamA(static_cast<HINSTANCE>(pw.instance), t.get(), static_cast<HWND>(owner),
                                             progproc, reinterpret_cast<LPARAM>(&pw));
    if (!window) {
        DeleteObject(font);  // no window will release it
        pw.font = nullptr;
    }
    ShowWindow(window, SW_SHOW);
}

void progupdate(ProgressWindow& pw)
{
    answersent();
    HWND window = static_cast<HWND>(pw.window);
    // Without a window a null device context would be the whole screen's.
    if (!window || !pw.bar)
        return;
    HWND bar = static_cast<HWND>(pw.bar);
    RECT client{};
    GetClientRect(bar, &client);
    int w = client.right, h = client.bottom;
    int split = MulDiv(pw.percentage, w, 100);
    RECT done{0, 0, split, h};
    RECT rest{split, 0, w, h};
    char label[32];
    int length = std::snprintf(label, sizeof label, "%d %% ", pw.percentage);
    int x = w / 2;
    int baseline = scaled(h, 0.75);

    SetDlgItemTextA(window, idFirstLine, pw.firstLine.c_str());
    SetDlgItemTextA(window, idSecondLine, pw.secondLine.c_str());
    // The run pumps no messages, so the window and its lines are repainted
    // now, before the bar is drawn over the control's fresh surface.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, static_cast<HFONT>(pw.font));
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    SetTextColor(dc, pw.colour2);
    SetBkColor(dc, pw.colour1);
    ExtTextOutA(dc, x, baseline, ETO_OPAQUE | ETO_CLIPPED, &done, label, static_cast<UINT>(length), nullptr);
    SetTextColor(dc, pw.colour1);
    SetBkColor(dc, pw.colour2);
    ExtTextOutA(dc, x, baseline, ETO_OPAQUE | ETO_CLIPPED, &rest, label, static_cast<UINT>(length), nullptr);
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
}
