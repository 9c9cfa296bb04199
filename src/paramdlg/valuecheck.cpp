#include "paramdlg/valuecheck.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/numlist.h"
#include "numtext/numshort.h"
#include "params/valuetext.h"

namespace {

ParamErrorInfo report;

// Edit boxes are read with room for 799 including the terminator.
constexpr int boxLimit = paramTextSize - 1;
constexpr std::size_t captionLimit = 255;

HWND hwnd(WindowHandle window)
{
    return static_cast<HWND>(window);
}

std::string boxtext(WindowHandle box)
{
    char text[paramTextSize] = "";
    GetWindowTextA(hwnd(box), text, boxLimit);
    return text;
}

// A limit truncated to an integer, held to what a number list can name.
std::uint32_t listbound(double limit)
{
    if (!(limit > 0))
        return 0;
    if (limit >= 4294967295.0)
        return 4294967295u;
    return static_cast<std::uint32_t>(limit);
}

bool numberchars(const std::string& text, bool real)
{
    return text.find_first_not_of(real ? "01234567890-Ee." : "01234567890-Ee") == std::string::npos;
}

bool checked(WindowHandle dialog, int id)
{
    return IsDlgButtonChecked(hwnd(dialog), id) == BST_CHECKED;
}

}  // namespace

ParamErrorInfo& paramerror()
{
    return report;
}

int checkedit(WindowHandle dialog, int id, ParamDialogSpec& spec)
{
    if (spec.errorPending)
        return 1;
    const int i = id - idValue;
    int count = 0;
    const int row = i - pagestart(spec, count);
    if (row < 0 || row >= count || row >= maxPageRows)
        return 1;
    const WindowHandle box = spec.valueWnd[row];
    std::string text = boxtext(box);

    const ParamEntry& e = spec.entries[i];
    const bool limited = e.flags & PARAM_LIMITS;
    report.label = e.label;
    report.flags = e.flags;
    if (limited) {
        report.lower = e.lower;
        report.upper = e.upper;
    }
    spec.errorPending = 0;

    const std::uint32_t kind = e.flags & PARAM_KIND;
    bool accepted = false;
    if (kind == PARAM_TEXT) {
        if (!limited)
            return 1;
        const std::uint32_t lower = listbound(e.lower);
        std::uint32_t k = lower;
        accepted = expandlist(text, k, lower, listbound(e.upper)) != 0;
    } else if (kind == PARAM_INT || kind == PARAM_FLOAT) {
        const bool real = kind == PARAM_FLOAT;
        const double n = real ? std::atof(text.c_str()) : textint(text.c_str());
        accepted = numberchars(text, real) && !(limited && (n < e.lower || n > e.upper));
    } else {
        return 1;
    }

    char current[paramTextSize] = "";
    if (!accepted) {
        spec.errorPending = 1;
        valuetext(spec, current, i);
        copycut(report.text, sizeof report.text, current);
        report.row = row;
        report.page = spec.page;
        // Posted: the dialog reports it after this focus change has run.
        PostMessageA(hwnd(dialog), paramErrorMessage, static_cast<WPARAM>(id),
                     reinterpret_cast<LPARAM>(&report));
        return 1;
    }
    if (kind == PARAM_TEXT)
        storetext(e, text.c_str());
    else
        textvalue(spec, text.c_str(), i);
    // The box shows what the variable now holds, so a text cut to the
    // variable's capacity is seen cut.
    valuetext(spec, current, i);
    SetWindowTextA(hwnd(box), current);
    return 1;
}

int readpage(WindowHandle dialog, ParamDialogSpec& spec)
{
    int count = 0;
    const int first = pagestart(spec, count);
    int g = 0;
    for (int row = 0; row < count && row < maxPageRows; ++row) {
        const int i = first + row;
        const ParamEntry& e = spec.entries[i];
        const std::string text = boxtext(spec.valueWnd[row]);
        switch (e.flags & PARAM_KIND) {
        case PARAM_TEXT:
            storetext(e, text.c_str());
            break;
        case PARAM_INT:
        case PARAM_FLOAT:
            textvalue(spec, text.c_str(), i);
            if (e.flags & PARAM_UNIT) {
                // The selection slot follows the option letters.
                char* slot = e.choices && *e.choices ? e.choices + std::strlen(e.choices) - 1 : nullptr;
                g = readchoice(dialog, g, spec, slot, i);
            }
            break;
        case PARAM_CHOICE:
            g = readchoice(dialog, g, spec, static_cast<char*>(e.value), i);
            break;
        case PARAM_YESNO:
            *static_cast<char*>(e.value) = checked(dialog, idValue + i) ? 'Y' : 'N';
            break;
        case PARAM_BOOL:
            textvalue(spec, checked(dialog, idValue + i) ? "1" : "0", i);
            break;
        default:
            break;
        }
    }
    return 0;
}

int readchoice(WindowHandle dialog, int g, const ParamDialogSpec& spec, char* target, int i)
{
    const ParamEntry& e = spec.entries[i];
    const char* choices = e.choices ? e.choices : "";
    // A unit entry's selection slot follows its letters and is no option; a
    // group has buttons 0..14, further letters would reach the next group.
    const int letters = std::min(static_cast<int>(std::strlen(choices)) - ((e.flags & PARAM_UNIT) ? 1 : 0), groupOptions);
    for (int k = 0; target && k < letters; ++k) {
        if (checked(dialog, radioid(g, k)))
            *target = choices[k];
    }
    return g + 1;
}

void dlgcaption(const ParamDialogSpec& spec)
{
    std::string caption = spec.caption ? spec.caption : "";
    const auto name = static_cast<std::size_t>(
        std::find(spec.fileName, spec.fileName + sizeof spec.fileName, '\0') - spec.fileName);
    if (name > 0)
        caption.append(" - ").append(spec.fileName, name);
    if (caption.size() > captionLimit)
        caption.resize(captionLimit);
    SetDlgItemTextA(hwnd(spec.dialog), idTitle, caption.c_str());
    SetWindowTextA(hwnd(spec.dialog), caption.c_str());
}
