#pragma once
// The command line's input names: folders stand for their NCS files.

#include <string>
#include <string_view>
#include <vector>

// Natural order of names: runs of digits compare as numbers, letters
// without regard to case ("CSC2" before "csc10"); names equal in that
// order fall back to plain byte order.
bool natless(std::string_view a, std::string_view b);

// Whether name ends in ext (given in lower case), in any case: ".NCS" and
// ".ncs" alike.
bool hasextension(std::string_view name, std::string_view ext);

// Appends each argument to files, a folder as its .ncs files (any case of
// the extension) in natural order. False with problem set when a folder
// cannot be read or holds no NCS file.
bool expandinputs(const std::vector<std::string>& args, std::vector<std::string>& files, std::string& problem);

// The channels of a conversion as the command line names them: a file by
// itself, or a folder's files, where the files that continue a channel
// after the acquisition stopped and restarted (CSC1_0001.ncs,
// CSC1_0002.ncs ... beside CSC1.ncs) join that channel in their order.
struct InputGroup {
    bool folder = false;
    std::vector<std::string> files;                   // the first file of each channel
    std::vector<std::vector<std::string>> continued;  // per channel, the files that continue it
};

// The arguments as groups, one per argument; false with problem set as
// for expandinputs.
bool groupinputs(const std::vector<std::string>& args, std::vector<InputGroup>& groups, std::string& problem);

// The event file of a session folder: its Events.nev in any case of the
// name; empty when it has none.
std::string eventsfile(const std::string& folder);
