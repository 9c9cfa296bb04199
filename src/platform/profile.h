#pragma once
// Private-profile (INI) files. On Windows these are kernel32's calls;
// elsewhere profile.cpp provides the same three calls with the behaviour
// their callers rely on, so the portable code reads the same everywhere.

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using BOOL = int;
using LPCSTR = const char*;
using LPSTR = char*;

// Copies the value of key in section, or def when the file, the section or
// the key is missing, into buffer: at most size - 1 characters and the
// terminator. Returns the number of characters copied. Blanks around names
// and values are ignored, names compare without regard to case, and a
// value enclosed in matching quotes loses them. A null section or key
// (listing names) is not supported: the result is an empty list.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size,
                               LPCSTR file);

// The value of key as an integer: leading blanks and a sign, then decimal
// digits, or binary, octal or hexadecimal after "0b", "0o" or "0x"; the
// digits end at the first other character. def when the key is missing or
// empty.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file);

// Sets key in section to value, creating the file, the section (at the end
// of the file) and the key (at the end of its section) as needed; every
// other line stays as it was. A null value deletes the key, a null key the
// whole section. All three null flushes the cache and, as on Windows,
// returns 0. Nonzero on success.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
#endif
