#pragma once
// A whole parameter table as one section of a profile file, one key per
// entry (the key is the entry's label), and the single flags, integers and
// letters that the preferences keep beside it. Every operation takes the
// section name first and the file path last.

#include "params/paramtable.h"

// The section a whole table is kept in: in the settings file, in parameter
// files and in a dialog's backup.
inline constexpr const char* paramSection = "Parameters";

// Writes every entry of the table, in table order. Returns the number of
// successful writes.
int saveparams(const char* section, const ParamDialogSpec& spec, const char* file);

// Reads every entry of the table, in table order, into its variable; a
// missing or empty key leaves the variable as it was (a unit entry's
// selection letter becomes 'N' when its key is missing). Returns the number
// of entries.
int loadparams(const char* section, const ParamDialogSpec& spec, const char* file);

// Writes "1" when flag is nonzero, else "0". Nonzero on success.
int putflag(const char* section, const char* key, int flag, const char* file);

// The integer stored under key, or def when the key is missing.
int getint(const char* section, const char* key, int def, const char* file);

void putint(const char* section, const char* key, int value, const char* file);

// The first character of the value, '\0' when the value is empty, def when
// the key is missing.
char getletter(const char* section, const char* key, char def, const char* file);

// Writes the one-character text of letter. Nonzero on success.
int putletter(const char* section, const char* key, char letter, const char* file);
