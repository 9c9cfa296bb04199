#include "params/valuetext.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "platform/frontend.h"

namespace {

void copytext(char* text, const char* source)
{
    std::snprintf(text, paramTextSize, "%s", source);
}

// Infinities are saved as "inf" and "-inf", which the Windows C library's
// atof reads as 0; they are read here on every platform.
bool infinite(const char* text, double& d)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    for (const char* inf = "inf"; *inf; ++inf, ++text)
        if (std::tolower(static_cast<unsigned char>(*text)) != *inf)
            return false;
    d = negative ? -HUGE_VAL : HUGE_VAL;
    return true;
}

// atof narrowed to single precision; beyond its range the value becomes an
// infinity, as the hardware's conversion gives, rather than undefined.
float textfloat(const char* text)
{
    double d = 0;
    if (!infinite(text, d))
        d = std::atof(text);
    if (std::fabs(d) > FLT_MAX && std::isfinite(d))
        return d > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(d);
}

}  // namespace

int paramcount(const ParamDialogSpec& spec)
{
    int n = 0;
    for (std::uint32_t p = 1; p <= spec.pageSizes[0]; ++p)
        n += static_cast<int>(spec.pageSizes[p]);
    return n;
}

void valuetext(const ParamDialogSpec& spec, char* text, int i)
{
    const ParamEntry& e = spec.entries[i];
    if (e.flags & PARAM_TEXT)
        copytext(text, static_cast<const char*>(e.value));
    else if (e.flags & PARAM_FLOAT)
        copytext(text, numshort(*static_cast<const float*>(e.value), 4).c_str());
    else if (e.flags & PARAM_INT)
        std::snprintf(text, paramTextSize, "%d", static_cast<int>(*static_cast<const std::int32_t*>(e.value)));
    else if (e.flags & PARAM_BOOL)
        copytext(text, *static_cast<const std::int32_t*>(e.value) != 0 ? "1" : "0");
    else if (e.flags & PARAM_YESNO)
        copytext(text, *static_cast<const char*>(e.value) == 'Y' ? "1" : "0");
}

void textvalue(const ParamDialogSpec& spec, const char* text, int i)
{
    const ParamEntry& e = spec.entries[i];
    if (e.flags & PARAM_BOOL)
        *static_cast<std::int32_t*>(e.value) = textint(text) != 0 ? 1 : 0;
    else if (e.flags & PARAM_INT)
        *static_cast<std::int32_t*>(e.value) = textint(text);
    else if (e.flags & PARAM_FLOAT)
        *static_cast<float*>(e.value) = textfloat(text);
}

int pagestart(const ParamDialogSpec& spec, int& count)
{
    const std::uint32_t page = spec.page < spec.pageSizes[0] ? spec.page : 0;
    int first = 0;
    for (std::uint32_t p = 1; p <= page; ++p)
        first += static_cast<int>(spec.pageSizes[p]);
    count = static_cast<int>(spec.pageSizes[page + 1]);
    return first;
}

void storetext(const ParamEntry& entry, const char* text)
{
    // Storing nothing would lose what the user typed without a sign.
    if (entry.capacity == 0)
        fatalexit(textf(kNoTextCapacity, entry.label ? entry.label : "").c_str(), 1);
    copycut(static_cast<char*>(entry.value), entry.capacity, text);
}
