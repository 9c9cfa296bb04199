#pragma once
// Every value a parameter table edits has a text form: the text of its edit
// box, of its profile key and of a rejection report.

#include <cstdint>

#include "params/paramtable.h"

// Writes entry i's variable as text into text (paramTextSize characters).
// A choice has no text form here and leaves text as it was.
void valuetext(const ParamDialogSpec& spec, char* text, int i);

// Stores text into entry i's variable for the number kinds and PARAM_BOOL;
// nothing is checked, so a text that is not a number stores 0. Other kinds
// are left alone.
void textvalue(const ParamDialogSpec& spec, const char* text, int i);

// Index in the whole table of the first entry of the page shown; count
// receives the number of entries on that page. A page at or beyond the page
// count is taken as page 0.
int pagestart(const ParamDialogSpec& spec, int& count);

inline constexpr const char* kNoTextCapacity = "Text parameter \"%s\" has no buffer size";

// Copies text into a PARAM_TEXT entry's buffer, cut to its capacity. An
// entry without a capacity is a table error and ends the program.
void storetext(const ParamEntry& entry, const char* text);
