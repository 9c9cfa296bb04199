// Messages of the engine on the terminal: one line on stderr, the caption
// first, as "File Error: Couldn't open CSC1.ncs".

#include <cstdio>
#include <string>

#include "platform/frontend.h"
#include "progress/progressterm.h"

void messagebox(WindowHandle, const char* text, const char* caption)
{
    progend();
    std::string line = text;
    // Message boxes set the detail off with line breaks; a line has none.
    std::size_t start = line.find_first_not_of('\n');
    line.erase(0, start == std::string::npos ? line.size() : start);
    for (char& c : line)
        if (c == '\n')
            c = ' ';
    std::fprintf(stderr, "%s: %s\n", caption, line.c_str());
    std::fflush(stderr);
}
