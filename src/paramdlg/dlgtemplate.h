#pragma once
// In-memory dialog templates: a DLGTEMPLATE header and its items written
// word by word, for every window this program builds at run time (the
// generated parameter dialogs and the progress window). Win32 only.

#include <windows.h>

#include <vector>

// Class atoms of the predefined controls, as a template names them.
constexpr WORD buttonAtom = 0x0080;
constexpr WORD staticAtom = 0x0082;

class DialogTemplate {
public:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d)
    {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    // Writes text converted from the ANSI code page to UTF-16, terminator
    // included.
    void putwide(const char* text);
    // Pads to the next multiple of four bytes: every item starts on a DWORD
    // boundary.
    void aligndword();
    // The header with the font of DS_SETFONT; count is the declared number
    // of items.
    void header(DWORD style, WORD count, int x, int y, int cx, int cy, const char* title, WORD points,
                const char* face);
    // One standard item of a predefined class; no extended style, no
    // creation data.
    void item(DWORD style, int x, int y, int cx, int cy, WORD id, WORD atom, const char* title);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    const std::vector<WORD>& words() const { return words_; }

private:
    std::vector<WORD> words_;
};

// The answer to WM_NCHITTEST of a dialog built without a caption bar: its
// whole background reports itself as caption, so it drags the window.
// Returns TRUE, the result being set as the dialog's message result.
INT_PTR dragbybody(HWND dialog, WPARAM wparam, LPARAM lparam);
