#pragma once
// The file selection and the batch: the user chooses NCS files in the
// multi-select open-file dialog; a batch converts them, one run per file or
// one run for all, and reports each outcome.

#include <windows.h>

#include <string>
#include <vector>

constexpr int selectionSize = 2048;

// The open-file dialog's raw result: one full path, or a folder followed by
// names, each NUL-terminated, the whole ended by an empty text. An empty
// first text means nothing is selected.
extern char selectionBuffer[selectionSize];
// Not zero when one file was chosen: the buffer then holds its full path.
extern int singleFile;
// The chosen file's name without its folder.
extern char fileTitle[MAX_PATH];
// The output of the last batch's last conversion that succeeded; empty
// when none did.
extern std::string batchOutput;

// Prepares the open-file dialog once; dataDirectory is its initial folder,
// read whenever the dialog opens.
void initfiledialog(HWND owner, char* dataDirectory);

// Shows the open-file dialog; non-zero when files were chosen.
int choosefiles(HWND owner, char* selection, char* title, int& single);

// The Open command: chooses files, makes their folder the data directory and
// puts the chosen name in owner's title. Returns 0.
int openfiles(HWND owner);

// The names of the selection without folder, at most the first 16.
std::vector<std::string> selectionlist();

// The Go command: converts the selection, opening the names in the folder
// they were chosen in, and reports each outcome. Returns the number of
// names in the list (0 for no selection), whatever the outcomes.
int gobatch(HWND owner);
