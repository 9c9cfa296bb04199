#pragma once
#include <string>

// Prints what a converter user wants to know of an NCS or ABF file; false
// (with a message shown) when the file cannot be read.
bool showinfo(const std::string& path);
