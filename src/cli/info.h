#pragma once
#include <string>

#include "convert/ncstiming.h"

// Prints what a converter user wants to know of an NCS, NEV or ABF file,
// as aligned text or, with json, as one JSON object; false (with a message
// shown) when the file cannot be read or is none of them.
bool showinfo(const std::string& path, bool json);

// One line on the time stamps and valid samples of an input, each finding
// with what the output holds of it: "time-stamp holes: 3, 4.5 s missing,
// the largest 1.5 s (the synch array keeps each record's start); ...";
// empty when there is nothing to tell.
std::string timingsummary(const NcsTiming& t);
