#include "shell/settings.h"

#include <cstdio>
#include <cstring>

#include "numtext/numshort.h"
#include "params/paramsection.h"
#include "platform/fileops.h"
#include "platform/profile.h"

namespace {

// Reads key into buffer (capacity size) with its current text as default.
void gettext(const char* key, char* buffer, std::size_t size, const char* file)
{
    char current[pathSize];
    copycut(current, sizeof current, buffer);
    GetPrivateProfileStringA(generalSection, key, current, buffer, static_cast<DWORD>(size), file);
}

void readsettings(ParamDialogSpec& spec, const SettingsText& text, const char* file)
{
    gettext("Font", text.fontFace, fontFaceSize, file);
    spec.fontName = text.fontFace;
    spec.statusBoxOn = getint(generalSection, "StatusBoxOn", 1, file);
    spec.fontHeight = static_cast<int>(GetPrivateProfileIntA(generalSection, "Font size", spec.fontHeight, file));
    gettext("Data Directory", text.dataDirectory, pathSize, file);
    spec.mainWindowMode = getletter(generalSection, "MainWindow", spec.mainWindowMode, file);
    spec.errorBox = getint(generalSection, "MessageBox", spec.errorBox, file);
    loadparams(paramSection, spec, file);
}

}  // namespace

void settingspath(char* path, std::size_t size, const char* windowsDirectory)
{
    std::snprintf(path, size, "%s\\%s.ini", windowsDirectory, settingsName);
}

void startsettings(ParamDialogSpec& spec, const SettingsText& text, const char* file)
{
    spec.fontName = text.fontFace;
    if (openfile(file, "rb"))
        readsettings(spec, text, file);
    if (!text.fontFace[0])
        copycut(text.fontFace, fontFaceSize, defaultFontFace);
    if (spec.fontHeight < minFontHeight || spec.fontHeight > maxFontHeight)
        spec.fontHeight = defaultFontHeight;
    saveprefs(spec, text.dataDirectory, file);
    spec.height = dialogheight(static_cast<unsigned>(spec.fontHeight));
    spec.width = dialogwidth(static_cast<unsigned>(spec.fontHeight));
}

int saveprefs(const ParamDialogSpec& spec, const char* dataDirectory, const char* file)
{
    WritePrivateProfileStringA(generalSection, "Font", spec.fontName, file);
    putint(generalSection, "Font size", spec.fontHeight, file);
    putflag(generalSection, "MessageBox", spec.errorBox, file);
    putletter(generalSection, "MainWindow", spec.mainWindowMode, file);
    WritePrivateProfileStringA(generalSection, "Data Directory", dataDirectory, file);
    saveparams(paramSection, spec, file);
    return putflag(generalSection, "StatusBoxOn", spec.statusBoxOn, file);
}

void savesession(const ParamDialogSpec& spec, const char* dataDirectory, const char* file)
{
    WritePrivateProfileStringA(generalSection, "Data Directory", dataDirectory, file);
    saveparams(paramSection, spec, file);
}
