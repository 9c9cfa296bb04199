#pragma once
// Number lists: a short text naming non-negative integers with ranges, a
// step and exclusions ("1..10", "1,3,5..8", "1..16Q2", "1..10,X3..5"), as a
// parameter dialog accepts it for a limited text entry.
//
// Choices beyond the plain grammar, so that no text can hurt the program:
// - The working list is a vector that grows as values are added, so a text
//   that repeats numbers or overlaps ranges only makes it longer. A list may
//   hold at most maxListValues values; a text that would expand beyond that
//   is rejected, so "0..4294967295" neither allocates gigabytes nor takes
//   minutes.
// - A number with more digits than 32 bits hold reads as 2^32, which lies
//   beyond every upper bound, so it is rejected rather than wrapped. The step
//   after "Q" saturates at the 32-bit signed range, as atoi would if it
//   were defined there.
// - Ranges are counted in 64 bits, so ranges up to the 32-bit limit end.
// - An exclusion range that runs downwards drops what the upward one would:
//   "...,X8..5" drops 8 and then 7, 6 and 5; with a step the values are
//   counted from the start, "...,X10..1Q3" drops 10, 7, 4 and 1.
// - An exclusion range drops every occurrence of its values, wherever they
//   stand in the list (see droprange).
// - An item position k beyond the number of values gives the last value.
// - A list that its exclusions leave empty is rejected: it names nothing.
// - Whatever follows an embedded NUL is dropped, as a C text ends there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t maxListValues = std::size_t{1} << 20;

// Checks and expands text between lower and upper (both inclusive); returns
// the number of values, or 0 when the text is rejected. The text is
// rewritten in place: upper-cased; with k 0 on entry a trailing ".." is
// completed with upper ("3.." becomes "3..16"); a step marker "Q" and a step
// of 2 or more is put back as "Q" and its decimal digits, after any
// completion ("3..Q2" becomes "3..16Q2"), while a step of 1 or less is
// dropped. A rejected text may already be rewritten. On success k becomes
// the k-th value (from 1) when it was nonzero, else stays 0; on rejection it
// is unchanged. values, when given, receives the list.
int expandlist(std::string& text, std::uint32_t& k, std::uint32_t lower, std::uint32_t upper,
               std::vector<std::uint32_t>* values = nullptr);

// Skips separators at the start of text and reads the following digits;
// end becomes the index just after them. An invalid character before the
// first digit, or no digit at all, returns 0 and leaves end unchanged, so a
// caller presets end to tell that apart from a read 0. Works on the text in
// place: there is no copy whose allocation could fail. Numbers beyond 32
// bits read as 2^32.
std::uint64_t findint(std::string_view text, std::size_t& end);

// 1 for a digit; 0 for a separator: ',', '.', 'Q', 'X' and the terminator;
// -1 for every other character, blank and '-' included.
int charclass(char c);

// Removes every occurrence of value, keeping the order; returns the count.
std::size_t dropvalue(std::vector<std::uint32_t>& list, std::uint32_t value);

// Removes every occurrence of a + 1 ... b (a < b), keeping the order;
// returns the count. The exclusion "...,Xa..b" has already dropped a itself.
std::size_t droprange(std::vector<std::uint32_t>& list, std::uint32_t a, std::uint32_t b);
