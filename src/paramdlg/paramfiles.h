#pragma once
// Parameter files: one set of a table's values, saved under a name the user
// chooses and read back, through the open and save dialogs.

#include "params/paramtable.h"
#include "platform/frontend.h"

inline constexpr const char* kNoParamFolder = "Could not create parameter file space";
inline constexpr const char* kCannotWrite = "\nCouldn't write %s";
inline constexpr const char* kNotParamFile = "\n%s is not a parameter file; it was left unchanged.";

// Prepares the one file-dialog record Read and Save share (filter, initial
// folder spec.paramDir, extension spec.fileExt, left in lower case) and
// creates the folder. spec.paramDir must be a writable buffer of MAX_PATH
// characters that lives for the run: Read and Save shorten it in place to
// its nearest existing ancestor.
void setupparamfiles(WindowHandle owner, ParamDialogSpec& spec);

// Read: loads every variable from a file the user picks, names it in
// fileName and the caption. Returns 0.
int readparamfile(WindowHandle window, ParamDialogSpec& spec);

// Save: writes every variable to a file the user names, then names it in
// fileName and the caption. Replacing a file is confirmed first; a file
// that is not a parameter file is refused and left as it is. A refusal or
// a failed write is reported and changes neither name. Returns 0.
int saveparamfile(WindowHandle window, ParamDialogSpec& spec);
