#pragma once
// The rows of the page shown: an edit box and its label, a group of radio
// buttons, a unit's radio buttons and number, or a check box per entry,
// laid out from the top of the page area. Win32 only.

#include "params/paramtable.h"

// Makes the rows of page spec.page and raises contentBottom to the bottom
// they reach. Returns 0, or 1 when a control could not be created (the rows
// before it stay). The table must fit the page limits (tablelimit), as
// rundialog makes sure before the dialog starts.
int buildpage(WindowHandle dialog, ParamDialogSpec& spec);

// Removes the rows of the page shown and hides the groups and their radio
// buttons, unchecked. Returns 0, or 1 when a control could not be destroyed.
int clearpage(WindowHandle dialog, ParamDialogSpec& spec);

// Hides every group box of the template and its radio buttons, unchecked.
void hidegroups(WindowHandle dialog);
