#include "params/pagelimits.h"

#include <cstring>

namespace {

// A unit entry's choices: three letters, then the selection slot, which
// the profile routines read at index 3.
constexpr std::size_t unitChoices = 4;

bool grouped(const ParamEntry& e)
{
    const std::uint32_t kind = e.flags & PARAM_KIND;
    return kind == PARAM_CHOICE || ((kind == PARAM_INT || kind == PARAM_FLOAT) && (e.flags & PARAM_UNIT));
}

const char* pagefits(const ParamEntry* entries, std::uint32_t count)
{
    if (count > static_cast<std::uint32_t>(maxPageRows))
        return kTooManyRows;
    int groups = 0;
    for (const ParamEntry* e = entries; e < entries + count; ++e) {
        if ((e->flags & PARAM_UNIT) && (!e->choices || std::strlen(e->choices) != unitChoices))
            return kBadUnit;
        if (!grouped(*e))
            continue;
        if (++groups > maxPageGroups)
            return kTooManyGroups;
        if (optioncount(*e) > maxGroupOptions)
            return kTooManyOptions;
    }
    return nullptr;
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

const char* tablelimit(const ParamDialogSpec& spec)
{
    if (!spec.pageSizes || spec.pageSizes[0] == 0)
        return kNoPages;
    int first = 0;
    for (std::uint32_t p = 1; p <= spec.pageSizes[0]; ++p) {
        if (const char* problem = pagefits(spec.entries + first, spec.pageSizes[p]))
            return problem;
        first += static_cast<int>(spec.pageSizes[p]);
    }
    return nullptr;
}
