#include "platform/profile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/fileops.h"

namespace {

namespace fs = std::filesystem;

// No settings file comes near this; a larger file reads as missing and is
// never rewritten, so a stray huge file costs neither memory nor data.
constexpr long long maxProfileSize = 32LL << 20;

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

// The blanks Windows ignores around names and values; Ctrl-Z is an old
// end-of-file mark that editors leave behind.
bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trimleft(std::string_view s)
{
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trimright(std::string_view s)
{
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s)
{
    return trimleft(trimright(s));
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool samename(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

enum class LineKind { blank, section, key };

struct Line {
    std::size_t start = 0;  // first byte
    std::size_t end = 0;    // end of the text, before the line break
    std::size_t next = 0;   // first byte of the following line
    LineKind kind = LineKind::blank;
    std::string_view name;  // section or key name, blanks trimmed
    std::string_view value;
    bool hasValue = false;  // a key line without "=" has no value
};

// Every line of the file, with a line break of CR LF, LF or a lone CR, as
// Windows reads them. The views point into text.
std::vector<Line> splitlines(const std::string& text)
{
    std::vector<Line> lines;
    std::size_t pos = std::string_view(text).starts_with(utf8Mark) ? utf8Mark.size() : 0;
    while (pos < text.size()) {
        Line line;
        line.start = pos;
        line.end = text.find_first_of("\r\n", pos);
        if (line.end == std::string::npos)
            line.end = text.size();
        line.next = line.end;
        if (line.next < text.size() && text[line.next] == '\r')
            ++line.next;
        if (line.next < text.size() && text[line.next] == '\n')
            ++line.next;
        pos = line.next;

        std::string_view content(text.data() + line.start, line.end - line.start);
        // A NUL ends the text of a line, as it ends a C string.
        content = trim(content.substr(0, content.find('\0')));
        if (content.empty()) {
            lines.push_back(line);
            continue;
        }
        const std::size_t close = content.rfind(']');
        if (content.front() == '[' && close != std::string_view::npos) {
            line.kind = LineKind::section;
            line.name = trim(content.substr(1, close - 1));
        } else {
            line.kind = LineKind::key;
            const std::size_t eq = content.find('=');
            if (eq == std::string_view::npos) {
                line.name = content;
            } else {
                line.name = trimright(content.substr(0, eq));
                line.value = trimleft(content.substr(eq + 1));
                line.hasValue = true;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

// The lines of one section: the first section of that name. Lines before
// the first header form a section without a name, which always exists.
struct Section {
    bool found = false;
    std::size_t header = 0;  // the header line; unused for the nameless section
    std::size_t first = 0;   // first line after the header
    std::size_t last = 0;    // one past the section's last line
};

Section findsection(const std::vector<Line>& lines, std::string_view name)
{
    Section s;
    std::size_t i = 0;
    if (name.empty()) {
        s.found = true;
    } else {
        while (i < lines.size() && !(lines[i].kind == LineKind::section && samename(lines[i].name, name)))
            ++i;
        if (i == lines.size())
            return s;
        s.found = true;
        s.header = i++;
    }
    s.first = i;
    while (i < lines.size() && lines[i].kind != LineKind::section)
        ++i;
    s.last = i;
    return s;
}

// Index of the key's line in the section, or lines.size().
std::size_t findkey(const std::vector<Line>& lines, const Section& s, std::string_view key)
{
    for (std::size_t i = s.first; i < s.last; ++i)
        if (lines[i].kind == LineKind::key && samename(lines[i].name, key))
            return i;
    return lines.size();
}

enum class Load { missing, read, failed };

Load loadfile(const char* name, std::string& text)
{
    std::error_code ec;
    if (!fs::exists(name, ec))
        return ec ? Load::failed : Load::missing;
    FilePtr f = openfile(name, "rb");
    if (!f)
        return Load::failed;
    const long long size = filesize(f.get());
    if (size < 0 || size > maxProfileSize || !seekfile(f.get(), 0))
        return Load::failed;
    text.resize(static_cast<std::size_t>(size));
    text.resize(std::fread(text.data(), 1, text.size(), f.get()));
    return std::ferror(f.get()) ? Load::failed : Load::read;
}

// Writes text to a new file beside name, then renames it over name, so a
// failed write leaves the old file whole.
bool savefile(const std::string& name, const std::string& text)
{
    const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string temp;
    FilePtr f;
    for (int attempt = 0; !f && attempt < 100; ++attempt) {
        temp = name + "." + std::to_string((seed + static_cast<unsigned long long>(attempt)) % 1000000) + ".tmp";
        errno = 0;
        f = openfile(temp, "wbx");
        if (!f && errno != EEXIST)
            return false;
    }
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
    ok = std::fclose(f.release()) == 0 && ok;
    std::error_code ec;
    const fs::file_status old = fs::status(name, ec);
    if (ok && !ec && fs::exists(old))
        fs::permissions(temp, old.permissions(), ec);
    if (ok && replacefile(temp, name))
        return true;
    fs::remove(temp, ec);
    return false;
}

// Windows drops trailing spaces from a default, but always keeps its first
// character.
std::string_view defaulttext(const char* def)
{
    std::string_view s = def ? def : "";
    while (s.size() > 1 && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Copies value as Windows does: matching quotes around it are dropped, and
// the closing one is dropped from what fits in the buffer, which costs the
// last character when the value only just fits.
DWORD copyvalue(LPSTR buffer, DWORD size, std::string_view value)
{
    bool quoted = false;
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), n);
    if (quoted && size >= value.size() && n > 0)
        --n;
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

std::string keyline(std::string_view key, std::string_view value)
{
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file)
{
    if (!buffer || size == 0)
        return 0;
    if (!section || !key) {
        buffer[0] = '\0';
        if (size > 1)
            buffer[1] = '\0';
        return 0;
    }
    std::string_view value = defaulttext(def);
    std::string text;
    std::vector<Line> lines;
    if (file && loadfile(file, text) == Load::read) {
        lines = splitlines(text);
        const Section s = findsection(lines, trim(section));
        const std::size_t k = s.found ? findkey(lines, s, trim(key)) : lines.size();
        if (k < lines.size() && lines[k].hasValue)
            value = lines[k].value;
    }
    return copyvalue(buffer, size, value);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file)
{
    char text[30];
    if (GetPrivateProfileStringA(section, key, "", text, sizeof text, file) == 0)
        return static_cast<UINT>(def);
    const char* p = text;
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ')
        ++p;
    const bool minus = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    UINT base = 10;
    if (p[0] == '0' && (p[1] == 'b' || p[1] == 'o' || p[1] == 'x')) {
        base = p[1] == 'b' ? 2 : p[1] == 'o' ? 8 : 16;
        p += 2;
    }
    // Digits past the range wrap around, as Windows' conversion does.
    UINT n = 0;
    for (;; ++p) {
        UINT digit = base;
        if (*p >= '0' && *p <= '9')
            digit = static_cast<UINT>(*p - '0');
        else if (lower(*p) >= 'a' && lower(*p) <= 'z')
            digit = static_cast<UINT>(lower(*p) - 'a' + 10);
        if (digit >= base)
            break;
        n = n * base + digit;
    }
    return minus ? 0u - n : n;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    // Nothing is cached, so a flush has nothing to do; Windows returns 0 for it.
    if (!section || !file)
        return 0;
    std::string text;
    const Load load = loadfile(file, text);
    if (load == Load::failed)
        return 0;
    if (load == Load::missing && (!key || !value))
        return 1;

    const std::vector<Line> lines = splitlines(text);
    const std::string_view name = trim(section);
    const Section s = findsection(lines, name);
    const std::size_t bodyStart = std::string_view(text).starts_with(utf8Mark) ? utf8Mark.size() : 0;
    std::string changed;
    if (!key) {
        if (!s.found)
            return 1;
        const std::size_t from = name.empty() ? bodyStart : lines[s.header].start;
        const std::size_t to = s.last < lines.size() ? lines[s.last].start : text.size();
        changed = text.substr(0, from) + text.substr(to);
    } else if (!value) {
        const std::size_t k = s.found ? findkey(lines, s, trim(key)) : lines.size();
        if (k == lines.size())
            return 1;
        changed = text.substr(0, lines[k].start) + text.substr(lines[k].next);
    } else {
        const std::string_view v = trimleft(value);
        const std::size_t k = s.found ? findkey(lines, s, trim(key)) : lines.size();
        if (k < lines.size()) {
            const Line& line = lines[k];
            if (line.hasValue && line.value == v)
                return 1;
            // The line keeps its own break; a last line without one gets one.
            changed = text.substr(0, line.start) + keyline(line.name, v) +
                      (line.next == line.end ? "\r\n" : text.substr(line.end));
        } else if (s.found) {
            // After the section's last line that is not blank, so blank lines
            // before the next header stay where they are.
            std::size_t after = s.last;
            while (after > s.first && lines[after - 1].kind == LineKind::blank)
                --after;
            std::size_t at = bodyStart;
            std::string lead;
            if (after > s.first || !name.empty()) {
                const Line& prev = lines[after > s.first ? after - 1 : s.header];
                at = prev.next;
                if (prev.next == prev.end)
                    lead = "\r\n";
            }
            changed = text.substr(0, at) + lead + keyline(trim(key), v) + "\r\n" + text.substr(at);
        } else {
            changed = text;
            if (changed.size() > bodyStart && changed.back() != '\n' && changed.back() != '\r')
                changed += "\r\n";
            changed += "[" + std::string(name) + "]\r\n" + keyline(trim(key), v) + "\r\n";
        }
    }
    return savefile(file, changed) ? 1 : 0;
}
