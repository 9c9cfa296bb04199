#pragma once
// What the user typed into a generated dialog: each value box is checked
// when it loses the focus and stored or rejected, a whole page is read back
// into the variables, and the caption names the parameter file. Win32 only.

#include "params/paramtable.h"

// The one report of a rejected value. Its text field carries the value the
// variable still holds, cut to 99 characters; the variable itself keeps the
// whole text.
ParamErrorInfo& paramerror();

// Checks the value box id (idValue + entry index) of the page shown and
// stores its text, normalised and written back to the box, or rejects it:
// then errorPending is set and paramErrorMessage is posted to dialog with
// the box's id and the address of paramerror(). Does nothing while an
// earlier rejection is pending or when id is not on the page shown. Returns
// 1.
int checkedit(WindowHandle dialog, int id, ParamDialogSpec& spec);

// Reads every control of the page shown into its variable, unchecked.
// Returns 0.
int readpage(WindowHandle dialog, ParamDialogSpec& spec);

// Sets target to the letter of the last checked radio button of group g,
// entry i; unchanged when none is checked. Returns g + 1, the next group.
int readchoice(WindowHandle dialog, int g, const ParamDialogSpec& spec, char* target, int i);

// Shows caption, and " - " and the parameter file's name when there is one,
// as the dialog's title and in its title control; cut to 255 characters.
void dlgcaption(const ParamDialogSpec& spec);
