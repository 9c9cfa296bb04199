#pragma once
// The converter's own parameter table: one check box, "Combine Files", on
// one page, and the page split that any table of up to 31 entries on up to
// four pages goes through.

#include <cstddef>
#include <cstdint>

#include "convert/ncstoabf.h"
#include "params/paramtable.h"

inline constexpr int maxTableEntries = 31;
inline constexpr int maxTablePages = 4;
inline constexpr std::size_t pageNameSize = 51;

inline constexpr const char* kTooManyEntries = "Not enough room for dialog menu items";
inline constexpr const char* kTooManyPages = "Error in Dialog Preparation, pagesizes";

// A parameter table with its page table (element 0 the number of pages,
// then the size of each) and page titles; the titles are the table's own
// copies.
struct ParamTable {
    ParamEntry entries[maxTableEntries];
    int count = 0;
    std::uint32_t pageSizes[maxTablePages + 1] = {};
    char* pageNames[maxTablePages] = {};
    char names[maxTablePages][pageNameSize] = {};
};

// Appends entry; a 32nd entry ends the process before anything is written.
void addentry(ParamTable& table, const ParamEntry& entry);

// Splits the entries over pages in table order: an entry flagged
// PARAM_PAGEEND closes its page, the entries after the last flag form the
// last page, no flag at all gives one page. Titles "Miscellaneous",
// "Durations", then empty ones. A fifth page ends the process before its
// size is written.
void splitpages(ParamTable& table);

// The converter's table, built by convparams and kept for the process.
ParamTable& convtable();

// Fills the converter's table with its one entry, the check box over
// block.combine, splits it into pages and attaches it to spec. The file
// selection is the converter parameter block.
void convparams(ParamDialogSpec& spec, FileSelection& block);
