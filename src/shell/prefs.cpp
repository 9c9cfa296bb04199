#include "shell/prefs.h"

#include <cstdio>

#include "paramdlg/rundialog.h"
#include "shell/settings.h"
#include "shell/shellstate.h"

namespace {

constexpr const char* prefsCaptionFormat = "%s Preferences";
constexpr const char* programName = "Tessel ABF Converter";

}  // namespace

std::int32_t editprefs(WindowHandle owner)
{
    static char caption[100];
    static char modeLetters[] = "OHN";
    std::snprintf(caption, sizeof caption, prefsCaptionFormat, programName);

    ParamDialogSpec prefs;
    prefs.page = 0;
    prefs.fontHeight = defaultFontHeight;
    prefs.editLeftPct = 5;
    prefs.editWidthPct = 45;
    prefs.labelLeftPct = 5 + 45 + 2;
    prefs.labelWidthPct = 100 - 2 * 5 - 45 - 2;
    prefs.caption = caption;
    prefs.errorBox = 0;
    prefs.errorBeep = 1;
    prefs.x = 70;
    prefs.y = 10;
    prefs.width = 180;
    prefs.height = 350;
    prefs.buttonWidth = 50;
    prefs.buttonHeight = 14;
    prefs.choicePad = 24;
    prefs.choiceGap = 1;
    prefs.choiceIndent = 10;
    prefs.choiceDrop = 15;
    prefs.topMargin = 30;
    prefs.fontName = converterSpec.fontName;
    prefs.fileCommands = 0;
    prefs.statusBoxOn = 0;
    prefs.mainWindowMode = 'O';

    ParamEntry rows[6];
    rows[0] = {&converterSpec.errorBox, nullptr, PARAM_BOOL, "Annoying Error Messages?"};
    rows[1] = {&converterSpec.statusBoxOn, nullptr, PARAM_BOOL, "Status upon completion?"};
    rows[2] = {&converterSpec.mainWindowMode, modeLetters, PARAM_CHOICE, "MainWindow:On,HideInEdit,None"};
    rows[3] = textentry(fontFace, "Dialog Font");
    rows[4] = {&converterSpec.fontHeight, nullptr, PARAM_INT | PARAM_LIMITS, "Dialog Font Size", maxFontHeight,
               minFontHeight};
    rows[5] = textentry(dataDirectory, "Data Directory");
    std::uint32_t pages[2] = {1, 6};
    prefs.entries = rows;
    prefs.pageSizes = pages;

    rundialog(owner, prefs);
    saveprefs(converterSpec, dataDirectory, settingsPath);
    return 0;
}
