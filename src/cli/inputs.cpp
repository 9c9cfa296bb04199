#include "cli/inputs.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "numtext/textf.h"

namespace {

constexpr const char* kUnreadableFolder = "cannot read the folder %s";
constexpr const char* kNoNcsFiles = "the folder %s holds no .ncs files";

bool isdigit(char c)
{
    return c >= '0' && c <= '9';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), lower);
    return s;
}

bool ncsextension(const std::filesystem::path& p)
{
    return lowered(p.extension().string()) == ".ncs";
}

// A name in folder, joined with the separator the folder name already uses,
// so that names read the same on every system.
std::string infolder(const std::string& folder, const std::string& name)
{
    const std::size_t last = folder.find_last_of("/\\");
    if (last != std::string::npos && last == folder.size() - 1)
        return folder + name;
    return folder + (last == std::string::npos ? '/' : folder[last]) + name;
}

}  // namespace

bool natless(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isdigit(a[i]) && isdigit(b[j])) {
            while (i < a.size() && a[i] == '0')
                ++i;
            while (j < b.size() && b[j] == '0')
                ++j;
            std::size_t ie = i, je = j;
            while (ie < a.size() && isdigit(a[ie]))
                ++ie;
            while (je < b.size() && isdigit(b[je]))
                ++je;
            // Without leading zeros the longer run is the larger number.
            if (ie - i != je - j)
                return ie - i < je - j;
            if (int c = a.substr(i, ie - i).compare(b.substr(j, je - j)); c != 0)
                return c < 0;
            i = ie, j = je;
        } else {
            if (lower(a[i]) != lower(b[j]))
                return static_cast<unsigned char>(lower(a[i])) < static_cast<unsigned char>(lower(b[j]));
            ++i, ++j;
        }
    }
    if (i < a.size() || j < b.size())
        return j < b.size() && i == a.size();
    return a < b;
}

bool expandinputs(const std::vector<std::string>& args, std::vector<std::string>& files, std::string& problem)
{
    namespace fs = std::filesystem;
    for (const std::string& arg : args) {
        std::error_code ec;
        if (!fs::is_directory(arg, ec)) {
            files.push_back(arg);
            continue;
        }
        std::vector<std::string> names;
        for (fs::directory_iterator it(arg, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec) && ncsextension(it->path()))
                names.push_back(it->path().filename().string());
        if (ec) {
            problem = textf(kUnreadableFolder, arg.c_str());
            return false;
        }
        if (names.empty()) {
            problem = textf(kNoNcsFiles, arg.c_str());
            return false;
        }
        std::sort(names.begin(), names.end(), [](const std::string& x, const std::string& y) { return natless(x, y); });
        for (const std::string& name : names)
            files.push_back(infolder(arg, name));
    }
    return true;
}

std::string eventsfile(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string found;  // the first in byte order, should several differ in case only
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (lowered(name) == "events.nev" && it->is_regular_file(ec) && (found.empty() || name < found))
            found = name;
    }
    return found.empty() ? found : infolder(folder, found);
}
