#include "params/pagelimits.h"

#include <cstring>

#include "params/valuetext.h"

namespace {

bool grouped(const ParamEntry& e)
{
    const std::uint32_t kind = e.flags & PARAM_KIND;
    return kind == PARAM_CHOICE || ((kind == PARAM_INT || kind == PARAM_FLOAT) && (e.flags & PARAM_UNIT));
}

}  // namespace

const char* optionnames(const char* label)
{
    const char* colon = label ? std::strchr(label, ':') : nullptr;
    return colon ? colon + 1 : "";
}

int optioncount(const ParamEntry& e)
{
    int names = 0;
    for (const char* at = optionnames(e.label); *at; at = std::strchr(at, ',') ? std::strchr(at, ',') + 1 : "")
        ++names;
    int letters = e.choices ? static_cast<int>(std::strlen(e.choices)) : 0;
    if (e.flags & PARAM_UNIT && letters > 0)
        --letters;
    return names > letters ? names : letters;
}

const char* pagelimit(const ParamDialogSpec& spec)
{
    int count = 0;
    const int first = pagestart(spec, count);
    if (count > maxPageRows)
        return kTooManyRows;
    int groups = 0;
    for (int i = first; i < first + count; ++i) {
        const ParamEntry& e = spec.entries[i];
        if (!grouped(e))
            continue;
        if (++groups > maxPageGroups)
            return kTooManyGroups;
        if (optioncount(e) > maxGroupOptions)
            return kTooManyOptions;
    }
    return nullptr;
}
