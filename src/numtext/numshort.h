#pragma once
// Number text: the shortest text of a real number with a given number of
// significant digits, and the small in-place text edits shared by the
// number-list parser and the profile code.

#include <cstddef>
#include <cstdint>
#include <string>

// Shortest text of value with n significant digits (every caller passes 4):
// trailing zeros of a fraction and a bare trailing point are dropped.
// NaN and magnitudes below 1e-35 give "0", infinities "inf" / "-inf";
// n is clamped to 1..93.
std::string numshort(float value, int n);

// value right-aligned in a field of n + 6 columns (fixed or exponent form),
// then stripped of blanks at both ends.
std::string numtrim(float value, int n);

// Inserts c at index; an index equal to the length appends.
void inschar(std::string& text, std::size_t index, char c);

// Removes the character at index; an index at or past the end changes nothing.
void delchar(std::string& text, int index);

// Removes trailing, then leading blanks; a text of blanks becomes empty.
void trimblanks(std::string& text);

// Copies source into a buffer of size characters (terminator included), cut
// to fit; a size of 0 leaves the buffer alone.
void copycut(char* target, std::size_t size, const char* source);

// atoi of text, but saturating at the 32-bit range instead of undefined.
std::int32_t textint(const char* text);
