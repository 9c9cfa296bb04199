#pragma once
// The command line's input names: folders stand for their NCS files.

#include <string>
#include <string_view>
#include <vector>

// Natural order of names: runs of digits compare as numbers, letters
// without regard to case ("CSC2" before "csc10"); names equal in that
// order fall back to plain byte order.
bool natless(std::string_view a, std::string_view b);

// Appends each argument to files, a folder as its .ncs files (any case of
// the extension) in natural order. False with problem set when a folder
// cannot be read or holds no NCS file.
bool expandinputs(const std::vector<std::string>& args, std::vector<std::string>& files, std::string& problem);

// The event file of a session folder: its Events.nev in any case of the
// name; empty when it has none.
std::string eventsfile(const std::string& folder);
