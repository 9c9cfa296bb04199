#pragma once
// The behaviour of every generated parameter dialog. Win32 only.

#include <windows.h>

#include <string>
#include <vector>

#include "params/paramtable.h"

// What belongs to one open dialog, so that a dialog opened from another's
// callback cannot disturb it. rundialog makes it and passes it as the
// dialog's creation parameter.
struct OpenDialog {
    ParamDialogSpec* spec = nullptr;
    // The profile file holding every value as it was at start-up or the last
    // Go; empty once deleted.
    char backup[MAX_PATH] = "";
    // The same values exactly, as Cancel puts them back.
    std::vector<std::string> snapshot;
    // Set while the dialog starts, rebuilds a page or closes: a box that
    // loses the focus then is not checked.
    int nocheck = 1;
    // The box whose rejection waits to be reported while Cancel is held
    // down; 0 when none waits.
    int heldReport = 0;
    int goClosePending = 0;
    int openClosePending = 0;
    bool closed = false;
};

// The dialog procedure.
INT_PTR CALLBACK dialogproc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Releases what a dialog that has ended still holds: its backup file and
// the window handles kept in its spec. One that ended without closing
// (it never started) gets its values back.
void closedialog(OpenDialog& open);

// The message that reports a rejected value: the label, what the value
// must be and between which limits.
std::string rejectiontext(const ParamErrorInfo& info);
