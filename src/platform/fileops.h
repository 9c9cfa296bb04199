#pragma once
// File services the engine needs beyond the C library, with the semantics
// of the platform calls they stand for.

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens with std::fopen semantics; a null FilePtr on failure.
FilePtr openfile(const std::string& name, const char* mode);

// Creates a new file named beside (its name, a dot, eight random hex
// digits and ".tmp") and opens it for reading and writing. The name is
// taken only if nothing, not even a link, has it (O_EXCL | O_NOFOLLOW, or
// CREATE_NEW); another is tried while names are taken. Sets name; a null
// FilePtr when no file could be made.
FilePtr createunique(const std::string& beside, std::string& name);

// Size of an open file in bytes, or -1 when it cannot be told.
long long filesize(std::FILE* f);

// Renames from over to, replacing an existing to in one step
// (rename(2), or MoveFileEx with MOVEFILE_REPLACE_EXISTING). True on success.
bool replacefile(const std::string& from, const std::string& to);

// True when both names denote the same existing file.
bool samefile(const std::string& a, const std::string& b);

// 64-bit positioning (recordings pass 2 GiB); false or -1 on failure.
bool seekfile(std::FILE* f, long long pos);
long long tellfile(std::FILE* f);
