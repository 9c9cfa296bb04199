#include "paramdlg/dlgtemplate.h"

void DialogTemplate::putwide(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    const std::size_t at = words_.size();
    words_.resize(at + static_cast<std::size_t>(n > 0 ? n : 1));
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(&words_[at]), n);
}

void DialogTemplate::aligndword()
{
    // The vector's storage starts aligned, so an even word count is a DWORD
    // boundary.
    if (words_.size() % 2)
        word(0);
}

void DialogTemplate::header(DWORD style, WORD count, int x, int y, int cx, int cy, const char* title, WORD points,
                            const char* face)
{
    dword(style);
    dword(0);  // extended style
    word(count);
    word(static_cast<WORD>(x));
    word(static_cast<WORD>(y));
    word(static_cast<WORD>(cx));
    word(static_cast<WORD>(cy));
    word(0);  // no menu
    word(0);  // the default dialog class
    putwide(title);
    word(points);
    putwide(face);
}

void DialogTemplate::item(DWORD style, int x, int y, int cx, int cy, WORD id, WORD atom, const char* title)
{
    aligndword();
    dword(style);
    dword(0);  // extended style
    word(static_cast<WORD>(x));
    word(static_cast<WORD>(y));
    word(static_cast<WORD>(cx));
    word(static_cast<WORD>(cy));
    word(id);
    word(0xffff);  // a class atom follows
    word(atom);
    putwide(title);
    word(0);  // no creation data
}

INT_PTR dragbybody(HWND dialog, WPARAM wparam, LPARAM lparam)
{
    const LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wparam, lparam);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, hit == HTCLIENT ? HTCAPTION : hit);
    return TRUE;
}
