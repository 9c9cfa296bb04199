#pragma once
#include <string>

#include "convert/ncstiming.h"

// Prints what a converter user wants to know of an NCS or ABF file, as
// aligned text or, with json, as one JSON object; false (with a message
// shown) when the file cannot be read.
bool showinfo(const std::string& path, bool json);

// One line on the time stamps of an input that has holes or short records,
// as "time-stamp discontinuities: 3 (largest 1.5 s, 4.5 s missing), ...";
// empty when it has neither.
std::string timingsummary(const NcsTiming& t);
