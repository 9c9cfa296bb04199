#pragma once
// Parameter files: one set of a table's values, saved under a name the user
// chooses and read back, through the open and save dialogs.

#include "paramdlg/paramtable.h"

// Prepares the one file-dialog record Read and Save share (filter, initial
// folder spec.paramDir, extension spec.fileExt) and creates the folder.
void setupparamfiles(WindowHandle owner, ParamDialogSpec& spec);

// Read: loads every variable from a file the user picks, names it in
// fileName and the caption. Returns 0.
int readparamfile(WindowHandle window, ParamDialogSpec& spec);

// Save: writes every variable to a file the user names, then names it in
// fileName and the caption. Returns 0.
int saveparamfile(WindowHandle window, ParamDialogSpec& spec);
