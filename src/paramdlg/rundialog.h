#pragma once
// The entry point of the dialog framework: a modal dialog generated from a
// parameter table. The template holds every control a dialog can show but
// the rows of a page, which the page builder makes. Win32 only.

#include <windows.h>

#include "paramdlg/dlgtemplate.h"
#include "params/paramtable.h"

// Creates the control font, builds the template and runs the dialog, owned
// by parent, until it closes. How it closed is in spec.outcome (1, as for
// Cancel, when it could not start); the edited values are in the table's
// variables. Returns 0. A table beyond the page limits (tablelimit) ends
// the program through fatalexit before anything is made.
int rundialog(WindowHandle parent, ParamDialogSpec& spec);

// Width and height in pixels of text drawn in spec.font.
SIZE textsize(const ParamDialogSpec& spec, const char* text);

// The template of spec's dialog; sets buttonWidth and buttonHeight from
// textHeight.
DialogTemplate paramtemplate(ParamDialogSpec& spec);

// Items the template declares; the dialog manager creates only these.
constexpr WORD templateItems = 172;
