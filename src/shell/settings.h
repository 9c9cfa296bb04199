#pragma once
// The settings file: the preferences (section "General") and the
// converter's parameter table (section "Parameters") in one profile file in
// the Windows directory. The preferences live in the converter's dialog
// record (fontHeight, errorBox, statusBoxOn, mainWindowMode, fontName) and
// in two text buffers, the font face and the data directory. Portable: it
// goes through the platform's profile calls.

#include <cstddef>

#include "params/paramtable.h"

inline constexpr std::size_t fontFaceSize = 100;
inline constexpr std::size_t pathSize = 260;

inline constexpr const char* settingsName = "WINTESSEL";
inline constexpr const char* generalSection = "General";
inline constexpr const char* defaultFontFace = "comic sans ms";
inline constexpr int defaultFontHeight = 13;

// The converter dialog's size in dialog units from the font size, truncated
// as the description of its size asks: 13 gives 208 by 258.
constexpr int dialogwidth(unsigned size) { return static_cast<int>(size / 13.1 * 210); }
constexpr int dialogheight(unsigned size) { return static_cast<int>(size / 13.1 * 260); }

// The font sizes the dialogs can use: smaller text cannot be read, and at
// larger sizes the converter's dialog and its buttons outgrow the screen.
// Preferences refuses a size outside them; the start takes one as 13.
inline constexpr int minFontHeight = 6;
inline constexpr int maxFontHeight = 72;

// The preferences outside the dialog record.
struct SettingsText {
    char* fontFace;       // fontFaceSize characters; spec.fontName points here
    char* dataDirectory;  // pathSize characters
};

// windowsDirectory + "\" + "WINTESSEL.ini" into path, cut to size.
void settingspath(char* path, std::size_t size, const char* windowsDirectory);

// Start-up: reads the file when it can be opened (each key with the current
// value as default, StatusBoxOn with 1), mends an empty font face and an
// unusable font size, writes everything back (creating the file on the
// first start) and sizes the converter's dialog from the font size.
void startsettings(ParamDialogSpec& spec, const SettingsText& text, const char* file);

// Writes every preference and the parameter table. Returns the result of
// the last write.
int saveprefs(const ParamDialogSpec& spec, const char* dataDirectory, const char* file);

// What the program keeps when it ends: the data directory and the
// parameter table; the other preferences were written when they changed.
void savesession(const ParamDialogSpec& spec, const char* dataDirectory, const char* file);
