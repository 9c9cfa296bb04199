#pragma once
// What parameter files need without a window: the file dialogs' filter,
// the name a chosen file is shown under, and whether a file can be one.

#include <string>
#include <string_view>

// Converts each character of text in place; defined for 8-bit characters.
void upcase(char* text);
void lowcase(char* text);

// The filter of the file dialogs: "TYPE Files (*.EXT)", a zero, "*.ext", a
// zero and the zero that ends the list. ext is left in lower case.
std::string paramfilter(const char* typeName, char* ext);

// The name of a chosen file: without its folder, cut at its last '.'.
std::string paramname(const char* path);

// Whether head, the start of a file, can be a parameter file's: a profile
// file is lines of text, so a zero byte or a control character other than
// tab, line feed and carriage return marks a file of another kind (a
// recording, an image). An empty file can be one.
bool paramtext(std::string_view head);
