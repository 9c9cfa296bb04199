#include "shell/paramcommands.h"

#include "params/paramfiles.h"

void paramfilesetup(WindowHandle owner, ParamDialogSpec& spec)
{
    setupparamfiles(owner, spec);
}

int paramfileread(WindowHandle window, ParamDialogSpec& spec)
{
    return readparamfile(window, spec);
}

int paramfilesave(WindowHandle window, ParamDialogSpec& spec)
{
    return saveparamfile(window, spec);
}
