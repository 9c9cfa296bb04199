// Arbitrary bytes as an INI file: reading must not crash, a value written
// must read back, and a write must leave every other key as it was.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "support/ncsbytes.h"

namespace fs = std::filesystem;

namespace {


std::string read(const char* section, const char* key, const std::string& file)
{
    std::string buffer(4096, '\0');
    const DWORD n = GetPrivateProfileStringA(section, key, "(missing)", buffer.data(), 4096, file.c_str());
    if (n >= 4096 || std::strlen(buffer.c_str()) != n)
        std::abort();
    return buffer.substr(0, n);
}

// A value from the input's bytes that a read gives back unchanged: no
// quotes, line breaks or blanks at either end.
std::string valuefrom(const std::uint8_t* data, std::size_t size)
{
    static const char alphabet[] = "abcXYZ019 =;[]-_.";
    std::string v;
    for (std::size_t i = 0; i < size && i < 24; ++i)
        v += alphabet[data[i] % (sizeof alphabet - 1)];
    const std::size_t first = v.find_first_not_of(' ');
    if (first == std::string::npos)
        return "v";
    return v.substr(first, v.find_last_not_of(' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file = (fuzzworkdir() / "in.ini").string();
    writebytes(file, std::string(reinterpret_cast<const char*>(data), size));

    const char* const sections[] = {"Parameters", "general", "", "A"};
    const char* const keys[] = {"Data Directory", "k", "x"};
    const unsigned pick = size > 0 ? data[0] : 0;
    const char* section = sections[pick % 4];
    const char* key = keys[pick / 4 % 3];

    std::vector<std::string> before;
    for (const char* s : sections)
        for (const char* k : keys)
            before.push_back(read(s, k, file));
    char small[8];
    const DWORD cap = 1 + pick % 8;
    if (GetPrivateProfileStringA(section, key, "", small, cap, file.c_str()) >= cap || std::strlen(small) >= cap)
        std::abort();
    GetPrivateProfileIntA(section, key, 0, file.c_str());

    const std::string value = size > 1 ? valuefrom(data + size / 2, size - size / 2) : "v";
    if (!WritePrivateProfileStringA(section, key, value.c_str(), file.c_str()) || read(section, key, file) != value)
        std::abort();
    std::size_t i = 0;
    for (const char* s : sections)
        for (const char* k : keys)
            if (before[i++] != read(s, k, file) && !(s == section && k == key))
                std::abort();

    // Deleting another section leaves this one alone.
    WritePrivateProfileStringA(sections[(pick + 1) % 4], nullptr, nullptr, file.c_str());
    if (read(section, key, file) != value)
        std::abort();
    return 0;
}
