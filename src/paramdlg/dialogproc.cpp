// Every generated parameter dialog: start-up from the generic template,
// page changes, the check of each box as it loses the focus, the report of
// a rejected value, the command buttons, and Close, which keeps the edited
// values or puts back those of start-up or the last Go.

#include "paramdlg/dialogproc.h"

#include <commctrl.h>

#include <cstring>

#include "numtext/numshort.h"
#include "paramdlg/dlgtemplate.h"
#include "paramdlg/pagebuilder.h"
#include "paramdlg/paramfiles.h"
#include "paramdlg/valuecheck.h"
#include "params/paramsection.h"
#include "params/valuetext.h"
#include "platform/fileops_win.h"

namespace {

constexpr const char* kBackupPrefix = "bkw";
constexpr const char* kErrorCaption = "Parameter Error";

// How often a report held back by a press on Cancel looks again.
constexpr UINT_PTR heldReportTimer = 1;
constexpr UINT heldReportWait = 50;  // ms

int trunc(double v)
{
    return static_cast<int>(v);
}

OpenDialog& openof(HWND dialog)
{
    return *reinterpret_cast<OpenDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void setfont(HWND control, const ParamDialogSpec& spec)
{
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(spec.font), TRUE);
}

void show(HWND dialog, int id, bool on)
{
    ShowWindow(GetDlgItem(dialog, id), on ? SW_SHOW : SW_HIDE);
}

void repaint(HWND dialog)
{
    InvalidateRect(dialog, nullptr, FALSE);
    UpdateWindow(dialog);
}

int pagecount(const ParamDialogSpec& spec)
{
    return static_cast<int>(spec.pageSizes[0]);
}

// The bytes of each entry's variable (a unit entry's selection letter with
// them), so Cancel restores exactly what was there.
std::vector<std::string> snapshot(const ParamDialogSpec& spec)
{
    std::vector<std::string> values;
    const int n = paramcount(spec);
    for (int i = 0; i < n; ++i) {
        const ParamEntry& e = spec.entries[i];
        const char* at = static_cast<const char*>(e.value);
        switch (e.flags & PARAM_KIND) {
        case PARAM_TEXT:
            values.emplace_back(at, strnlen(at, e.capacity));
            break;
        case PARAM_CHOICE:
        case PARAM_YESNO:
            values.emplace_back(at, 1);
            break;
        default:
            values.emplace_back(at, 4);  // the 32-bit integers and the float
            break;
        }
        if (e.flags & PARAM_UNIT)
            values.back().append(e.choices);
    }
    return values;
}

void restore(const ParamDialogSpec& spec, const std::vector<std::string>& values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ParamEntry& e = spec.entries[i];
        const std::string& v = values[i];
        if ((e.flags & PARAM_KIND) == PARAM_TEXT) {
            storetext(e, v.c_str());
            continue;
        }
        const std::size_t size = (e.flags & (PARAM_CHOICE | PARAM_YESNO)) ? 1 : 4;
        std::memcpy(e.value, v.data(), size);
        if (e.flags & PARAM_UNIT)
            std::memcpy(e.choices, v.data() + size, v.size() - size);
    }
}

// The values Cancel returns to: in the backup file and in memory.
void takebackup(OpenDialog& open)
{
    saveparams(paramSection, *open.spec, open.backup);
    open.snapshot = snapshot(*open.spec);
}

// Checks the box that has the focus; false when it was rejected.
bool checkfocused(HWND dialog, ParamDialogSpec& spec)
{
    if (spec.focusEdit != 0)
        checkedit(dialog, spec.focusEdit, spec);
    return !spec.errorPending;
}

void rebuildpage(HWND dialog, OpenDialog& open)
{
    open.nocheck = 1;
    clearpage(dialog, *open.spec);
    buildpage(dialog, *open.spec);
    open.nocheck = 0;
}

void placebuttons(HWND dialog, ParamDialogSpec& spec)
{
    RECT outer;
    GetWindowRect(dialog, &outer);
    const int wo = outer.right - outer.left;
    const bool none = spec.mainWindowMode == 'N';
    const struct {
        int id;
        bool on;
    } row[] = {
        {idGo, spec.showGo != 0},     {idSave, spec.showSave != 0}, {idRead, spec.showRead != 0},
        {idOpen, spec.showOpen != 0}, {idPrefs, spec.showPrefs != 0}, {idExit, none},
        {idOk, !none},                {idCancel, !none},
    };
    int n = 0;
    for (const auto& b : row)
        n += b.on;
    if (n * spec.buttonWidth > wo)
        spec.buttonWidth = trunc(0.9 * wo / n);
    const int gap = (wo - n * spec.buttonWidth) / (n + 1);
    const int y = spec.contentBottom + spec.buttonHeight / 2;
    const int h = trunc(1.3 * spec.buttonHeight);
    int i = 0;
    for (const auto& b : row) {
        if (!b.on) {
            show(dialog, b.id, false);
            continue;
        }
        MoveWindow(GetDlgItem(dialog, b.id), gap + i * (gap + spec.buttonWidth), y, spec.buttonWidth, h, FALSE);
        show(dialog, b.id, true);
        ++i;
    }
}

// Returns false when the tab control could not be made; start-up stops there.
bool maketabs(HWND dialog, ParamDialogSpec& spec, const RECT& client)
{
    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TCS_MULTILINE | TCS_HOTTRACK,
                                0, spec.topMargin, client.right, client.bottom - spec.topMargin, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(idTabs)),
                                static_cast<HINSTANCE>(spec.instance), nullptr);
    if (!tabs)
        return false;
    spec.tabControl = tabs;
    setfont(tabs, spec);
    setfont(GetDlgItem(dialog, idTitle), spec);
    for (int p = 0; p < pagecount(spec); ++p) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.iImage = -1;
        item.pszText = spec.pageNames[p];
        if (SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(p), reinterpret_cast<LPARAM>(&item)) == -1) {
            DestroyWindow(tabs);
            spec.tabControl = nullptr;
            return false;
        }
    }
    RECT strip;
    GetWindowRect(tabs, &strip);
    RECT display = strip;
    TabCtrl_AdjustRect(tabs, FALSE, &display);
    spec.tabStripHeight = display.top - strip.top;
    TabCtrl_SetCurSel(tabs, spec.page);
    return true;
}

void startup(HWND dialog, OpenDialog& open)
{
    ParamDialogSpec& spec = *open.spec;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&open));
    if (HWND owner = GetWindow(dialog, GW_OWNER))
        SendMessageA(dialog, WM_SETICON, ICON_BIG, static_cast<LPARAM>(GetClassLongPtrA(owner, GCLP_HICON)));
    if (spec.mainWindowMode != 'O')
        SetWindowLongPtrA(dialog, GWL_EXSTYLE, GetWindowLongPtrA(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    if (spec.page >= pagecount(spec))
        spec.page = 0;

    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, kBackupPrefix, 0, open.backup);
    spec.dialog = dialog;
    takebackup(open);
    spec.errorPending = 0;
    spec.focusEdit = 0;

    const int th = spec.textHeight;
    RECT client;
    GetClientRect(dialog, &client);
    const int w = client.right;
    if (pagecount(spec) < 2)
        CreateWindowExA(WS_EX_STATICEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, trunc(0.15 * w), trunc(2.1 * th),
                        trunc(0.7 * w), 2, dialog, nullptr, static_cast<HINSTANCE>(spec.instance), nullptr);
    hidegroups(dialog);
    spec.topMargin = 3 * th;
    spec.tabStripHeight = 0;
    if (pagecount(spec) >= 2 && !maketabs(dialog, spec, client))
        return;
    dlgcaption(spec);
    for (int id = idCancel; id <= idExit; ++id)
        setfont(GetDlgItem(dialog, id), spec);

    spec.contentBottom = 0;
    const std::uint8_t shown = spec.page;
    for (int p = 0; p < pagecount(spec); ++p) {
        spec.page = static_cast<std::uint8_t>(p);
        buildpage(dialog, spec);
        clearpage(dialog, spec);
    }
    RECT outer;
    GetWindowRect(dialog, &outer);
    const int wo = outer.right - outer.left;
    SetWindowPos(dialog, nullptr, 0, 0, wo, spec.contentBottom + 3 * spec.buttonHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (spec.tabControl) {
        GetClientRect(dialog, &client);
        RECT tabs;
        GetWindowRect(static_cast<HWND>(spec.tabControl), &tabs);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tabs), 2);
        MoveWindow(static_cast<HWND>(spec.tabControl), 0, tabs.top, tabs.right - tabs.left, client.bottom - tabs.top,
                   TRUE);
    }
    placebuttons(dialog, spec);
    if (spec.mainWindowMode != 'O') {
        // Where a caption bar would hold it, since the dialog has none.
        const float share = 0.07f;
        HWND minimise = GetDlgItem(dialog, idMinimizeTop);
        SetWindowTextA(minimise, "__");
        MoveWindow(minimise, trunc(wo * (1 - share * 1.6)), trunc(0.2 * th), trunc(wo * share * 1.2), trunc(1.4 * th),
                   FALSE);
        ShowWindow(minimise, SW_SHOW);
    }
    spec.page = shown;
    buildpage(dialog, spec);
    open.nocheck = 0;
}

void changepage(HWND dialog, OpenDialog& open)
{
    ParamDialogSpec& spec = *open.spec;
    HWND tabs = static_cast<HWND>(spec.tabControl);
    if (!checkfocused(dialog, spec)) {
        TabCtrl_SetCurSel(tabs, spec.page);
        return;
    }
    readpage(dialog, spec);
    open.nocheck = 1;
    clearpage(dialog, spec);
    spec.page = static_cast<std::uint8_t>(TabCtrl_GetCurSel(tabs));
    UpdateWindow(dialog);
    buildpage(dialog, spec);
    open.nocheck = 0;
    repaint(dialog);
}

// Whether Cancel is pressed and not yet released: the click that moved the
// focus there may still complete, or slide off.
bool cancelheld(HWND dialog)
{
    HWND cancel = GetDlgItem(dialog, idCancel);
    return GetFocus() == cancel &&
           (GetCapture() == cancel || (SendMessageA(cancel, BM_GETSTATE, 0, 0) & BST_PUSHED));
}

void report(HWND dialog, OpenDialog& open, int id, const ParamErrorInfo& info)
{
    ParamDialogSpec& spec = *open.spec;
    // Whoever presses Cancel may be leaving: a box now would swallow the
    // click. The report waits for the release; a completed Cancel closes
    // the dialog and drops it.
    if (cancelheld(dialog)) {
        open.heldReport = id;
        SetTimer(dialog, heldReportTimer, heldReportWait, nullptr);
        return;
    }
    KillTimer(dialog, heldReportTimer);
    open.heldReport = 0;
    if (spec.errorBox)
        MessageBoxA(dialog, rejectiontext(info).c_str(), kErrorCaption, MB_ICONEXCLAMATION | MB_OK);
    else if (spec.errorBeep)
        MessageBeep(MB_ICONQUESTION);
    // The box shows the variable again, whole: the report carries only 99
    // characters of it.
    HWND box = GetDlgItem(dialog, id);
    char text[paramTextSize] = "";
    valuetext(spec, text, id - idValue);
    SetWindowTextA(box, text);
    SetFocus(box);
    spec.errorPending = 0;
}

void close(HWND dialog, OpenDialog& open, bool cancel)
{
    ParamDialogSpec& spec = *open.spec;
    open.nocheck = 1;
    if (open.goClosePending) {
        open.goClosePending = 0;
        spec.outcome = -1;
    }
    if (open.openClosePending) {
        open.openClosePending = 0;
        spec.outcome = -2;
    }
    if (cancel) {
        spec.outcome = 1;
        restore(spec, open.snapshot);
    }
    KillTimer(dialog, heldReportTimer);
    open.heldReport = 0;
    open.closed = true;
    EndDialog(dialog, 0);
}

void command(HWND dialog, OpenDialog& open, int id, int code)
{
    ParamDialogSpec& spec = *open.spec;
    if (code == EN_SETFOCUS) {
        spec.focusEdit = id;
        return;
    }
    if (code == EN_KILLFOCUS) {
        if (!open.nocheck)
            checkedit(dialog, id, spec);
        spec.focusEdit = 0;
        return;
    }
    switch (id) {
    case idGo:
        if (!spec.onGo || !checkfocused(dialog, spec))
            return;
        readpage(dialog, spec);
        takebackup(open);
        if (spec.goCloses) {
            open.goClosePending = 1;
            PostMessageA(dialog, WM_COMMAND, idOk, 0);
            return;
        }
        spec.onGo(dialog);
        if (spec.chain)
            PostMessageA(dialog, WM_COMMAND, idOpen, 0);
        return;
    case idOpen: {
        if (!spec.onOpen || !checkfocused(dialog, spec))
            return;
        readpage(dialog, spec);
        if (spec.openCloses) {
            open.openClosePending = 1;
            PostMessageA(dialog, WM_COMMAND, idOk, 0);
            return;
        }
        const int chosen = spec.onOpen(dialog);
        repaint(dialog);
        if (spec.chain && chosen)
            PostMessageA(dialog, WM_COMMAND, idGo, 0);
        return;
    }
    case idPrefs:
        if (!spec.onPrefs || !checkfocused(dialog, spec))
            return;
        readpage(dialog, spec);
        spec.onPrefs(dialog);
        repaint(dialog);
        return;
    case idRead: {
        if (!spec.fileCommands || !checkfocused(dialog, spec))
            return;
        const KeptFolder kept;
        readparamfile(dialog, spec);
        rebuildpage(dialog, open);
        repaint(dialog);
        return;
    }
    case idSave: {
        if (!spec.fileCommands || !checkfocused(dialog, spec))
            return;
        const KeptFolder kept;
        saveparamfile(dialog, spec);
        SetFocus(dialog);
        repaint(dialog);
        return;
    }
    case idMinimize:
    case idMinimizeTop:
        ShowWindow(dialog, SW_MINIMIZE);
        return;
    case idOk:
    case idExit:
        if (!checkfocused(dialog, spec))
            return;
        spec.outcome = 0;
        readpage(dialog, spec);
        close(dialog, open, false);
        return;
    case idCancel:
    case IDCANCEL:
        close(dialog, open, true);
        return;
    default:
        return;
    }
}

}  // namespace

std::string rejectiontext(const ParamErrorInfo& info)
{
    std::string text = info.label ? info.label : "";
    text += "\nmust be a";
    const std::uint32_t kind = info.flags & PARAM_KIND;
    if (kind == PARAM_FLOAT)
        text += " number";
    else if (kind == PARAM_INT)
        text += "n integer";
    if (info.flags & PARAM_LIMITS) {
        if (kind == PARAM_TEXT)
            text += " valid list of numbers ";
        text += " between " + numshort(static_cast<float>(info.lower), 4) + " and " +
                numshort(static_cast<float>(info.upper), 4);
    }
    return text + "!";
}

void closedialog(OpenDialog& open)
{
    ParamDialogSpec& spec = *open.spec;
    if (!open.closed && !open.snapshot.empty())
        restore(spec, open.snapshot);
    if (open.backup[0]) {
        // Flush the profile cache before the file goes, or a later write
        // could bring it back.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, open.backup);
        DeleteFileA(open.backup);
        open.backup[0] = '\0';
    }
    spec.dialog = nullptr;
    spec.tabControl = nullptr;
    for (int row = 0; row < maxPageRows; ++row) {
        spec.labelWnd[row] = nullptr;
        spec.valueWnd[row] = nullptr;
    }
}

INT_PTR CALLBACK dialogproc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        startup(dialog, *reinterpret_cast<OpenDialog*>(lparam));
        return TRUE;  // the system sets the default focus
    case WM_NCHITTEST:
        return dragbybody(dialog, wparam, lparam);
    case WM_KEYUP:
        return TRUE;
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lparam);
        if (note->idFrom == static_cast<UINT_PTR>(idTabs) && note->code == static_cast<UINT>(TCN_SELCHANGE) &&
            GetWindowLongPtrA(dialog, DWLP_USER))
            changepage(dialog, openof(dialog));
        return FALSE;
    }
    case WM_COMMAND:
        if (GetWindowLongPtrA(dialog, DWLP_USER))
            command(dialog, openof(dialog), LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    case paramErrorMessage:
        if (GetWindowLongPtrA(dialog, DWLP_USER))
            report(dialog, openof(dialog), static_cast<int>(wparam), *reinterpret_cast<const ParamErrorInfo*>(lparam));
        return TRUE;
    case WM_TIMER: {
        if (wparam != heldReportTimer || !GetWindowLongPtrA(dialog, DWLP_USER))
            return FALSE;
        OpenDialog& open = openof(dialog);
        if (open.heldReport)
            report(dialog, open, open.heldReport, paramerror());
        return TRUE;
    }
    default:
        return FALSE;
    }
}
