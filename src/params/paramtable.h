#pragma once
// Parameter tables: every settings dialog is generated from a table of
// entries, each pointing at the variable it edits, and one record that
// describes the dialog. The same table drives value text, profile sections
// and parameter files.

#include <cstddef>
#include <cstdint>

#include "platform/frontend.h"

// Kind codes (exactly one in the low six bits of flags) and flag bits.
enum : std::uint32_t {
    PARAM_TEXT = 1,     // char buffer, zero-terminated
    PARAM_INT = 2,      // int32_t
    PARAM_FLOAT = 4,    // float
    PARAM_CHOICE = 8,   // one char, one of the choices letters
    PARAM_YESNO = 16,   // one char, 'Y' or 'N'
    PARAM_BOOL = 32,    // int32_t, 0 or 1
    PARAM_KIND = 0x3f,
    PARAM_LIMITS = 0x40,
    PARAM_UNIT = 0x100,
    PARAM_PAGEEND = 0x200,
};

// Texts passed between dialogs, value conversion and profiles: 799
// characters and the terminator.
constexpr int paramTextSize = 800;

struct ParamEntry {
    void* value = nullptr;
    // Option letters of a choice; for a unit entry the three letters and then
    // the selection slot holding the letter chosen.
    char* choices = nullptr;
    std::uint32_t flags = 0;
    const char* label = nullptr;
    double upper = 0;
    double lower = 0;
    // PARAM_TEXT: size of the buffer value points at, terminator included.
    // Every copy into the buffer is cut to fit; build text entries with
    // textentry so it cannot be forgotten.
    std::size_t capacity = 0;
};

// A PARAM_TEXT entry (flags may add PARAM_LIMITS) over buffer, with its
// capacity taken from the buffer's size.
template <std::size_t N>
constexpr ParamEntry textentry(char (&buffer)[N], const char* label, std::uint32_t flags = 0, double upper = 0,
                               double lower = 0)
{
    return {buffer, nullptr, PARAM_TEXT | flags, label, upper, lower, N};
}

using ParamCallback = std::int32_t (*)(WindowHandle dialog);

constexpr int maxPageRows = 15;

// One generated dialog. The member initialisers are the default record that
// applications start from.
struct ParamDialogSpec {
    std::uint8_t page = 0;
    std::int32_t fontHeight = 16;
    std::int32_t editLeftPct = 5;
    std::int32_t editWidthPct = 25;
    std::int32_t labelLeftPct = 31;
    std::int32_t labelWidthPct = 64;
    const char* caption = "FancyDialog";
    std::int32_t errorBox = 0;
    std::int32_t errorBeep = 1;
    std::int32_t x = 50, y = 50;
    std::int32_t width = 250, height = 350;
    std::int32_t buttonWidth = 50;
    std::int32_t buttonHeight = 14;
    std::int32_t choicePad = 24;
    std::int32_t choiceGap = 1;
    std::int32_t choiceIndent = 10;
    std::int32_t choiceDrop = 15;
    std::int32_t topMargin = 30;
    const char* fontName = "MS Sans Serif";
    char fileExt[4] = "prm";
    char fileTypeName[20] = "Param.";
    char fileName[256] = "";
    std::int32_t fileCommands = 1;
    std::int32_t showGo = 0;
    ParamCallback onGo = nullptr;
    std::int32_t goCloses = 0;
    std::int32_t showOpen = 0;
    ParamCallback onOpen = nullptr;
    std::int32_t openCloses = 0;
    std::int32_t showPrefs = 0;
    ParamCallback onPrefs = nullptr;
    std::int32_t statusBoxOn = 0;
    char mainWindowMode = 'O';
    std::int32_t showRead = 0;
    std::int32_t showSave = 0;
    std::int32_t outcome = 0;
    // Folder of the parameter files: a writable MAX_PATH buffer (see
    // setupparamfiles).
    char* paramDir = nullptr;
    // Run time: computed or kept while a dialog is open.
    std::int32_t tabStripHeight = 0;
    std::int32_t errorPending = 0;
    std::int32_t textHeight = 0;
    std::int32_t contentBottom = 0;
    void* font = nullptr;
    WindowHandle tabControl = nullptr;
    WindowHandle dialog = nullptr;
    void* instance = nullptr;
    std::int32_t focusEdit = 0;
    ParamEntry* entries = nullptr;
    std::uint32_t* pageSizes = nullptr;
    char** pageNames = nullptr;
    WindowHandle labelWnd[maxPageRows] = {};
    WindowHandle valueWnd[maxPageRows] = {};
    std::int32_t chain = 0;
};

// The report of a rejected value, posted to the dialog with
// paramErrorMessage (word parameter: the edit box's identifier; long
// parameter: this record).
struct ParamErrorInfo {
    const char* label = nullptr;
    std::uint32_t flags = 0;
    double lower = 0;
    double upper = 0;
    char text[100] = "";
    std::int32_t row = 0;
    std::int32_t page = 0;
};

constexpr unsigned paramErrorMessage = 0x400 + 100;  // WM_USER + 100

// Control identifiers of a generated dialog.
constexpr int idValue = 31000;  // + entry index
constexpr int idLabel = 21000;  // + entry index
constexpr int idGroup = 41000;  // + group on the page, 0..10
constexpr int idRadio = 41011;  // + 15 * group + option, see radioid
constexpr int idCancel = 50002;
constexpr int idOk = 50003;
constexpr int idGo = 50004;
constexpr int idRead = 50005;
constexpr int idSave = 50006;
constexpr int idTabs = 50009;
constexpr int idOpen = 50012;
constexpr int idPrefs = 50013;
constexpr int idMinimize = 50014;
constexpr int idExit = 50015;
constexpr int idMinimizeTop = 50016;
constexpr int idTitle = 51011;

// The template's choice groups: eleven group boxes of 15 radio buttons.
constexpr int templateGroups = 11;
constexpr int groupOptions = 15;

constexpr int radioid(int group, int option)
{
    return idRadio + groupOptions * group + option;
}

// Number of entries of the whole table: the sum of the page sizes.
int paramcount(const ParamDialogSpec& spec);
