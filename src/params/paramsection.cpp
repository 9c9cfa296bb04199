#include "params/paramsection.h"

#include <cstdio>
#include <string>

#include "numtext/numshort.h"
#include "params/valuetext.h"
#include "platform/profile.h"

namespace {

// A profile value holds at most this many characters; a longer text is
// stored cut, with a mark that it was.
constexpr std::size_t maxValue = paramTextSize - 1;
constexpr std::size_t cutLength = 795;

// Index of a unit entry's selection slot in choices: after its three letters.
constexpr std::size_t unitSlot = 3;

std::string savedtext(const char* text)
{
    std::string s(text);
    if (s.size() > maxValue)
        s = s.substr(0, cutLength) + "...";
    return s;
}

}  // namespace

int saveparams(const char* section, const ParamDialogSpec& spec, const char* file)
{
    int written = 0;
    const int n = paramcount(spec);
    for (int i = 0; i < n; ++i) {
        const ParamEntry& e = spec.entries[i];
        const std::uint32_t kind = e.flags & PARAM_KIND;
        if (kind == PARAM_YESNO) {
            written += putflag(section, e.label, *static_cast<const char*>(e.value) == 'Y', file) != 0;
            continue;
        }
        std::string text;
        if (kind == PARAM_TEXT) {
            text = savedtext(static_cast<const char*>(e.value));
        } else if (kind == PARAM_CHOICE) {
            text.assign(1, *static_cast<const char*>(e.value));
        } else {
            char buffer[paramTextSize];
            valuetext(spec, buffer, i);
            text = buffer;
            if (e.flags & PARAM_UNIT)
                inschar(text, 0, e.choices[unitSlot]);
        }
        written += WritePrivateProfileStringA(section, e.label, text.c_str(), file) != 0;
    }
    return written;
}

int loadparams(const char* section, const ParamDialogSpec& spec, const char* file)
{
    const int n = paramcount(spec);
    for (int i = 0; i < n; ++i) {
        const ParamEntry& e = spec.entries[i];
        const std::uint32_t kind = e.flags & PARAM_KIND;
        char buffer[paramTextSize] = "";
        if (kind == PARAM_CHOICE)
            buffer[0] = *static_cast<const char*>(e.value);
        else
            valuetext(spec, buffer, i);
        std::string def = buffer;
        if (e.flags & PARAM_UNIT)
            inschar(def, 0, 'N');

        GetPrivateProfileStringA(section, e.label, def.c_str(), buffer, paramTextSize, file);
        std::string text = buffer;
        if (text.empty())
            continue;
        if (kind == PARAM_TEXT) {
            storetext(e, text.c_str());
        } else if (kind == PARAM_CHOICE) {
            *static_cast<char*>(e.value) = text[0];
        } else if (kind == PARAM_YESNO) {
            *static_cast<char*>(e.value) = text.starts_with("1") ? 'Y' : 'N';
        } else {
            if (e.flags & PARAM_UNIT) {
                e.choices[unitSlot] = text[0];
                delchar(text, 0);
            }
            textvalue(spec, text.c_str(), i);
        }
    }
    return n;
}

int putflag(const char* section, const char* key, int flag, const char* file)
{
    return WritePrivateProfileStringA(section, key, flag != 0 ? "1" : "0", file);
}

int getint(const char* section, const char* key, int def, const char* file)
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, def, file));
}

void putint(const char* section, const char* key, int value, const char* file)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, file);
}

char getletter(const char* section, const char* key, char def, const char* file)
{
    const char deftext[2] = {def, '\0'};
    char text[2] = "";
    GetPrivateProfileStringA(section, key, deftext, text, sizeof text, file);
    return text[0];
}

int putletter(const char* section, const char* key, char letter, const char* file)
{
    const char text[2] = {letter, '\0'};
    return WritePrivateProfileStringA(section, key, text, file);
}
