#pragma once
// printf-style formatting into a std::string, for messages of any length.

#include <string>

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string textf(const char* format, ...);
