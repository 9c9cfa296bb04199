#include "shell/shellstate.h"

ProgressWindow progressRecord;
FileSelection converterBlock;
ParamDialogSpec converterSpec;
char dataDirectory[MAX_PATH] = "x:\\";
char fontFace[fontFaceSize] = "comic sans ms";
char settingsPath[MAX_PATH];

void progressstart(ProgressWindow& record, HINSTANCE instance)
{
    record.instance = instance;
    record.firstLine = "Converting to ABF";
    record.textHeight = 11;
    record.showSecondLine = 1;
    record.showCancel = 0;
    record.fontSize = 10;
    record.width = 300;
}
