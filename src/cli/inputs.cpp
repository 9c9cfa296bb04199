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

bool ncsextension(const std::filesystem::path& p)
{
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), lower);
    return ext == ".ncs";
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
        // Joined with the separator the folder name already uses, so that
        // names read the same on every system.
        const std::size_t last = arg.find_last_of("/\\");
        const bool ends = last == arg.size() - 1;
        const std::string join = ends ? "" : std::string(1, last == std::string::npos ? '/' : arg[last]);
        for (const std::string& name : names)
            files.push_back(arg + join + name);
    }
    return true;
}
