#pragma once
// The desktop program's process-wide records: each exists once and lives as
// long as the process.

#include <windows.h>

#include "convert/ncstoabf.h"
#include "params/paramtable.h"
#include "progress/progresswindow.h"
#include "shell/settings.h"

extern ProgressWindow progressRecord;
// The converter parameter block: the combine choice and the selected names.
extern FileSelection converterBlock;
// The converter's dialog; it also carries the statusBoxOn preference.
extern ParamDialogSpec converterSpec;
// Initial folder of the open-file dialog and folder of the chosen files.
extern char dataDirectory[MAX_PATH];
static_assert(pathSize == MAX_PATH);
// The font face of the parameter dialogs; converterSpec.fontName points here.
extern char fontFace[fontFaceSize];
// The settings file, built at start-up.
extern char settingsPath[MAX_PATH];

// The progress record's start values for this program.
void progressstart(ProgressWindow& record, HINSTANCE instance);
