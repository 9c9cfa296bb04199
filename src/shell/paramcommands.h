#pragma once
// The main window's parameter-file calls, in a file of their own until
// params/paramfiles.h and convert/ncstoabf.h stop both defining
// kFileErrorCaption: no file can include the two.

#include "paramdlg/paramtable.h"

void paramfilesetup(WindowHandle owner, ParamDialogSpec& spec);
int paramfileread(WindowHandle window, ParamDialogSpec& spec);
int paramfilesave(WindowHandle window, ParamDialogSpec& spec);
