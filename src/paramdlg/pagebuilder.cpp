// The rows of one page of a generated dialog. Every control is a child of
// the dialog, placed in its client coordinates, also on a tabbed dialog.

#include "paramdlg/pagebuilder.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "paramdlg/rundialog.h"
#include "params/pagelimits.h"
#include "params/valuetext.h"

namespace {


int trunc(double v)
{
    return static_cast<int>(v);
}

HWND control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

void setfont(HWND window, const ParamDialogSpec& spec)
{
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(spec.font), TRUE);
}

// The layout values of a page, from the text height and the page area.
struct Layout {
    int top, editX, editW, labelX, labelW, h, step, wrap;
};

Layout layout(HWND dialog, ParamDialogSpec& spec)
{
    RECT area;
    if (spec.pageSizes[0] > 1 && spec.tabControl)
        GetClientRect(static_cast<HWND>(spec.tabControl), &area);
    else
        GetClientRect(dialog, &area);
    const double w = area.right - area.left;
    const int th = spec.textHeight;
    Layout l{};
    l.top = trunc(0.6 * th) + spec.tabStripHeight + spec.topMargin;
    l.editX = trunc(w * 0.01 * spec.editLeftPct);
    l.editW = trunc(w * 0.01 * spec.editWidthPct);
    l.labelX = trunc(w * 0.01 * spec.labelLeftPct);
    l.labelW = trunc(w * 0.01 * spec.labelWidthPct);
    l.h = trunc(1.3 * th);
    l.step = trunc(1.3 * l.h);
    l.wrap = trunc(1.2 * th);
    spec.choiceDrop = trunc(0.9 * th);
    return l;
}

// One control as a row asks for it.
struct Control {
    const char* cls;
    std::string text;
    DWORD style, exstyle;
    int x, y, w, h;
};

// Shows entry e as a group box holding its options, on row top y; returns
// the row's advance and leaves rx, ry just after the last radio button.
int placegroup(HWND dialog, ParamDialogSpec& spec, const Layout& l, const ParamEntry& e, int g, int y, int& rx,
               int& ry)
{
    const int th = spec.textHeight;
    const int width = l.editW + l.labelW;
    int advance = trunc(2.2 * l.h);
    const std::string label = e.label ? e.label : "";
    HWND box = control(dialog, idGroup + g);
    SetWindowTextA(box, label.substr(0, label.find(':')).c_str());
    MoveWindow(box, l.editX, y, width, advance - th / 2, FALSE);
    setfont(box, spec);
    ShowWindow(box, SW_SHOW);

    rx = l.editX + spec.choiceIndent;
    ry = y + spec.choiceDrop;
    const char* names = optionnames(e.label);
    for (int k = 0; *names; ++k) {
        const char* comma = std::strchr(names, ',');
        const std::string name = comma ? std::string(names, comma) : std::string(names);
        names = comma ? comma + 1 : "";
        HWND radio = control(dialog, radioid(g, k));
        SetWindowTextA(radio, name.c_str());
        const int rw = textsize(spec, name.c_str()).cx + spec.choicePad;
        if (rx + rw > width + spec.choiceIndent) {
            // Options that do not fit go on a new line, and the group grows.
            rx = l.editX + spec.choiceIndent;
            ry += l.wrap;
            advance += l.wrap;
            MoveWindow(box, l.editX, y, width, advance - th / 2, FALSE);
        }
        setfont(radio, spec);
        MoveWindow(radio, rx, ry, rw, l.h, FALSE);
        ShowWindow(radio, SW_SHOW);
        rx += rw + spec.choiceGap;
    }

    const bool unit = (e.flags & PARAM_UNIT) != 0;
    const int letters = static_cast<int>(std::strlen(e.choices ? e.choices : "")) - (unit ? 1 : 0);
    const char current = unit ? e.choices[letters] : *static_cast<const char*>(e.value);
    for (int k = 0; k < letters; ++k)
        CheckDlgButton(dialog, radioid(g, k), e.choices[k] == current ? BST_CHECKED : BST_UNCHECKED);
    return advance;
}

HWND create(HWND dialog, const ParamDialogSpec& spec, const Control& c, int id)
{
    return CreateWindowExA(c.exstyle, c.cls, c.text.c_str(), c.style, c.x, c.y, c.w, c.h, dialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), static_cast<HINSTANCE>(spec.instance),
                           nullptr);
}

}  // namespace

int buildpage(WindowHandle window, ParamDialogSpec& spec)
{
    HWND dialog = static_cast<HWND>(window);
    int rows = 0;
    const int first = pagestart(spec, rows);
    const Layout l = layout(dialog, spec);
    const int th = spec.textHeight;
    int y = l.top;
    int g = 0;
    for (int row = 0; row < rows; ++row) {
        const int i = first + row;
        const ParamEntry& e = spec.entries[i];
        const std::uint32_t kind = e.flags & PARAM_KIND;
        const bool number = kind == PARAM_INT || kind == PARAM_FLOAT;
        const bool unit = number && (e.flags & PARAM_UNIT);
        const bool choice = kind == PARAM_CHOICE || unit;
        const bool check = kind == PARAM_YESNO || kind == PARAM_BOOL;
        char text[paramTextSize] = "";

        Control value{"EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                      l.editX, y, l.editW, l.h};
        std::string labelText = e.label ? e.label : "";
        int advance = l.step;
        if (kind == PARAM_TEXT || number) {
            valuetext(spec, text, i);
            value.text = text;
        }
        if (choice) {
            value = {"STATIC", " ", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, WS_EX_STATICEDGE,
                     l.editX, y, l.editW + l.labelW, 2 * l.h};
            labelText = " ";
            int rx = 0, ry = 0;
            advance = placegroup(dialog, spec, l, e, g++, y, rx, ry);
            if (unit)
                value = {"EDIT", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                         WS_EX_STATICEDGE, rx, ry, trunc(rx / 2.5), 2 * l.h - trunc(1.2 * l.h)};
        }
        bool ticked = false;
        if (check) {
            value = {"BUTTON", labelText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                     l.editX, y, l.editW + l.labelW, l.h};
            labelText = " ";
            valuetext(spec, text, i);
            ticked = text[0] != '0';
        }

        HWND valueWnd = create(dialog, spec, value, idValue + i);
        if (!valueWnd)
            return 1;
        spec.valueWnd[row] = valueWnd;
        HWND labelWnd = create(dialog, spec,
                               {"STATIC", labelText, WS_CHILD | WS_VISIBLE, 0, l.labelX, y + th / 4, l.labelW, value.h},
                               idLabel + i);
        if (!labelWnd)
            return 1;
        spec.labelWnd[row] = labelWnd;

        // Hidden controls keep their row's identifier and handle.
        if (kind == PARAM_CHOICE)
            ShowWindow(valueWnd, SW_HIDE);
        if (check)
            SendMessageA(valueWnd, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (choice || check)
            ShowWindow(labelWnd, SW_HIDE);
        setfont(valueWnd, spec);
        setfont(labelWnd, spec);
        y += advance;
    }
    if (y > spec.contentBottom)
        spec.contentBottom = y;
    return 0;
}

int clearpage(WindowHandle window, ParamDialogSpec& spec)
{
    HWND dialog = static_cast<HWND>(window);
    int rows = 0;
    pagestart(spec, rows);
    for (int row = 0; row < rows && row < maxPageRows; ++row) {
        if (!DestroyWindow(static_cast<HWND>(spec.labelWnd[row])))
            return 1;
        spec.labelWnd[row] = nullptr;
        if (!DestroyWindow(static_cast<HWND>(spec.valueWnd[row])))
            return 1;
        spec.valueWnd[row] = nullptr;
    }
    hidegroups(dialog);
    return 0;
}

void hidegroups(WindowHandle window)
{
    HWND dialog = static_cast<HWND>(window);
    for (int g = 0; g < templateGroups; ++g) {
        ShowWindow(control(dialog, idGroup + g), SW_HIDE);
        for (int k = 0; k < groupOptions; ++k) {
            // A button left checked would be read as the next page's choice.
            CheckDlgButton(dialog, radioid(g, k), BST_UNCHECKED);
            ShowWindow(control(dialog, radioid(g, k)), SW_HIDE);
        }
    }
}
