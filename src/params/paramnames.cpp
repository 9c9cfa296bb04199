#include "params/paramnames.h"

#include <algorithm>
#include <cctype>

void upcase(char* text)
{
    for (; *text; ++text)
        *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

void lowcase(char* text)
{
    for (; *text; ++text)
        *text = static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
}

std::string paramfilter(const char* typeName, char* ext)
{
    std::string filter = typeName;
    upcase(ext);
    filter.append(" Files (*.").append(ext).append(")");
    filter.push_back('\0');
    lowcase(ext);
    filter.append("*.").append(ext);
    filter.append(2, '\0');
    return filter;
}

std::string paramname(const char* path)
{
    std::string name = path;
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

bool paramtext(std::string_view head)
{
    return std::none_of(head.begin(), head.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
    });
}
