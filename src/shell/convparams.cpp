#include "shell/convparams.h"

#include <bit>
#include <cstdio>

#include "platform/frontend.h"

// The check box reads and writes one char at the address of combine, which
// must be the field's lowest byte.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr const char* pageTitles[maxTablePages] = {"Miscellaneous", "Durations", "", ""};

}  // namespace

void addentry(ParamTable& table, const ParamEntry& entry)
{
    if (table.count >= maxTableEntries)
        fatalexit(kTooManyEntries, 1);
    table.entries[table.count++] = entry;
}

void splitpages(ParamTable& table)
{
    std::uint32_t pages = 0;
    std::uint32_t run = 0;
    for (int i = 0; i < table.count; ++i) {
        ++run;
        const bool last = i == table.count - 1;
        if ((table.entries[i].flags & PARAM_PAGEEND) || (pages >= 1 && last)) {
            if (++pages > maxTablePages)
                fatalexit(kTooManyPages, 1);
            table.pageSizes[pages] = run;
            run = 0;
        }
    }
    if (pages == 0) {
        pages = 1;
        table.pageSizes[1] = static_cast<std::uint32_t>(table.count);
    }
    table.pageSizes[0] = pages;
    for (std::uint32_t p = 0; p < pages; ++p) {
        std::snprintf(table.names[p], pageNameSize, "%s", pageTitles[p]);
        table.pageNames[p] = table.names[p];
    }
}

ParamTable& convtable()
{
    static ParamTable table;
    return table;
}

void convparams(ParamDialogSpec& spec, FileSelection& block)
{
    ParamTable& table = convtable();
    table.count = 0;
    ParamEntry combine;
    combine.value = &block.combine;
    combine.flags = PARAM_YESNO;
    combine.label = "Combine Files";
    addentry(table, combine);

    spec.entries = table.entries;
    spec.pageSizes = table.pageSizes;
    spec.pageNames = table.pageNames;
    splitpages(table);
}
