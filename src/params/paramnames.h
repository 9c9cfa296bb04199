#pragma once
// The texts of parameter files that need no window: the file dialogs'
// filter and the name a chosen file is shown under.

#include <string>

// Converts each character of text in place; defined for 8-bit characters.
void upcase(char* text);
void lowcase(char* text);

// The filter of the file dialogs: "TYPE Files (*.EXT)", a zero, "*.ext", a
// zero and the zero that ends the list. ext is left in lower case.
std::string paramfilter(const char* typeName, char* ext);

// The name of a chosen file: without its folder, cut at its last '.'.
std::string paramname(const char* path);
