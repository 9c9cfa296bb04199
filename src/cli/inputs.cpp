#include "cli/inputs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

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
    return hasextension(p.extension().string(), ".ncs");
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

bool hasextension(std::string_view name, std::string_view ext)
{
    return name.size() >= ext.size() && std::equal(ext.begin(), ext.end(), name.end() - ext.size(),
                                                   [](char e, char c) { return lower(c) == e; });
}

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

namespace {

// The .ncs files of a folder in natural order, joined to its name; false
// with problem set when it cannot be read or holds none.
bool folderfiles(const std::string& arg, std::vector<std::string>& files, std::string& problem)
{
    namespace fs = std::filesystem;
    std::error_code ec;
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
    return true;
}

bool isfolder(const std::string& arg)
{
    std::error_code ec;
    return std::filesystem::is_directory(arg, ec);
}

// For "NAME_0001.ncs" (four digits or more after the last underscore) its
// channel's name "NAME" and its number; none for other names.
std::optional<std::pair<std::string, long long>> restartpiece(const std::string& file)
{
    const std::string stem = std::filesystem::path(file).stem().string();
    const std::size_t underscore = stem.rfind('_');
    if (underscore == std::string::npos || stem.size() - underscore - 1 < 4 || stem.size() - underscore - 1 > 9)
        return std::nullopt;
    long long number = 0;
    for (std::size_t i = underscore + 1; i < stem.size(); ++i) {
        if (!isdigit(stem[i]))
            return std::nullopt;
        number = number * 10 + (stem[i] - '0');
    }
    return std::pair{stem.substr(0, underscore), number};
}

}  // namespace

bool expandinputs(const std::vector<std::string>& args, std::vector<std::string>& files, std::string& problem)
{
    for (const std::string& arg : args)
        if (!isfolder(arg))
            files.push_back(arg);
        else if (!folderfiles(arg, files, problem))
            return false;
    return true;
}

bool groupinputs(const std::vector<std::string>& args, std::vector<InputGroup>& groups, std::string& problem)
{
    for (const std::string& arg : args) {
        InputGroup& g = groups.emplace_back();
        g.folder = isfolder(arg);
        std::vector<std::string> files;
        if (!g.folder)
            files.push_back(arg);
        else if (!folderfiles(arg, files, problem))
            return false;
        // A file continues a channel only where that channel's first file is there too.
        std::map<std::string, std::size_t> channels;
        for (const std::string& file : files)
            if (!g.folder || !restartpiece(file))
                channels.emplace(std::filesystem::path(file).stem().string(), channels.size());
        std::vector<std::vector<std::pair<long long, std::string>>> pieces(channels.size());
        for (const std::string& file : files) {
            const auto piece = g.folder ? restartpiece(file) : std::nullopt;
            const auto channel = piece ? channels.find(piece->first) : channels.end();
            if (channel != channels.end()) {
                pieces[channel->second].emplace_back(piece->second, file);
            } else {
                g.files.push_back(file);
                g.continued.emplace_back();
            }
        }
        for (std::size_t c = 0; c < g.files.size(); ++c) {
            const auto channel = channels.find(std::filesystem::path(g.files[c]).stem().string());
            if (channel == channels.end())
                continue;
            // Taken once: two first files may differ only in the case of their extension.
            auto list = std::exchange(pieces[channel->second], {});
            std::sort(list.begin(), list.end());
            for (const auto& piece : list)
                g.continued[c].push_back(piece.second);
        }
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
