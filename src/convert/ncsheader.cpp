#include "convert/ncsheader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

std::string_view ncstext(const char* block, std::size_t length)
{
    length = std::min(length, ncsHeaderSize);
    const void* nul = std::memchr(block, '\0', length);
    return {block, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - block) : length};
}

std::optional<std::size_t> findkey(std::string_view keyword, std::string_view text)
{
    std::size_t at = text.find(keyword);
    if (at == std::string_view::npos)
        return std::nullopt;
    return at + keyword.size();
}

double keyvalue(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0.0;
    // strtod needs a terminated text; a number never needs more than this.
    char number[128];
    std::size_t n = std::min(text.size() - pos, sizeof number - 1);
    std::memcpy(number, text.data() + pos, n);
    number[n] = '\0';
    return std::strtod(number, nullptr);
}

namespace {

std::int32_t truncate32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

template <class T, class Convert>
bool take(std::string_view text, std::string_view keyword, T& field, Convert convert)
{
    auto pos = findkey(keyword, text);
    if (pos)
        field = convert(keyvalue(text, *pos));
    return pos.has_value();
}

}  // namespace

NcsKeysFound readncsheader(std::string_view text, NcsHeader& header)
{
    auto single = [](double v) { return static_cast<float>(v); };
    NcsKeysFound found;
    found.RecordSize = take(text, kwRecordSize, header.RecordSize, truncate32);
    found.SamplingFrequency = take(text, kwSamplingFrequency, header.SamplingFrequency, single);
    found.ADMaxValue = take(text, kwADMaxValue, header.ADMaxValue, truncate32);
    found.ADChannel = take(text, kwADChannel, header.ADChannel, truncate32);
    return found;
}

std::optional<double> ncsmicrovolts(std::string_view text)
{
    auto pos = findkey(kwADBitVolts, text);
    if (!pos)
        return std::nullopt;
    const double microvolts = keyvalue(text, *pos) * 1e6;
    // The scale factor written from it is single precision, with 10 V over the resolution above it.
    if (!(microvolts >= 1e-20 && microvolts <= 1e20))
        return std::nullopt;
    auto inverted = findkey(kwInputInverted, text);
    auto word = inverted ? text.substr(*inverted, 4) : std::string_view{};
    const bool flip = word.size() == 4 && (word[0] == 'T' || word[0] == 't') &&
                      (word.substr(1) == "rue" || word.substr(1) == "RUE");
    return flip ? -microvolts : microvolts;
}

std::optional<std::string> ncsentname(std::string_view text)
{
    auto pos = findkey(kwAcqEntName, text);
    if (!pos)
        return std::nullopt;
    std::string_view name = text.substr(*pos);
    name = name.substr(0, name.find_first_of("\r\n"));
    const std::size_t first = name.find_first_not_of(" \t\"");
    if (first == std::string_view::npos)
        return std::nullopt;
    name = name.substr(first, name.find_last_not_of(" \t\"") + 1 - first);
    return std::string(name);
}

namespace {

// Reads an unsigned number of 1 to maxDigits digits at pos.
bool digits(std::string_view s, std::size_t& pos, int maxDigits, int& value)
{
    int n = 0;
    value = 0;
    while (pos < s.size() && n < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
        value = value * 10 + (s[pos++] - '0');
        ++n;
    }
    return n > 0 && !(pos < s.size() && s[pos] >= '0' && s[pos] <= '9');
}

// Three numbers separated by sep, as in 5/17/2023 or 10:15:42.
bool triple(std::string_view s, std::size_t& pos, char sep, int (&v)[3], int lastDigits)
{
    return digits(s, pos, 2, v[0]) && pos < s.size() && s[pos++] == sep &&
           digits(s, pos, 2, v[1]) && pos < s.size() && s[pos++] == sep && digits(s, pos, lastDigits, v[2]);
}

// h:m:s with an optional fraction of a second.
bool clock(std::string_view s, std::size_t pos, NcsTime& t)
{
    int v[3];
    if (!triple(s, pos, ':', v, 2))
        return false;
    t.hour = v[0], t.minute = v[1], t.second = v[2];
    t.millisecond = 0;
    if (pos < s.size() && s[pos] == '.') {
        int scale = 100;
        for (++pos; pos < s.size() && s[pos] >= '0' && s[pos] <= '9'; ++pos, scale /= 10)
            t.millisecond += (s[pos] - '0') * scale;
    }
    return t.hour < 24 && t.minute < 60 && t.second < 60;
}

bool validdate(const NcsTime& t)
{
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    return t.year >= 1900 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= days[t.month - 1] - (t.month == 2 && !leap);
}

std::size_t skipblanks(std::string_view s, std::size_t pos)
{
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
        ++pos;
    return pos;
}

// "yyyy/mm/dd hh:mm:ss" at pos.
std::optional<NcsTime> created(std::string_view text, std::size_t pos)
{
    NcsTime t;
    int v[3];
    pos = skipblanks(text, pos);
    if (!digits(text, pos, 4, v[0]) || pos >= text.size() || text[pos++] != '/' || !digits(text, pos, 2, v[1]) ||
        pos >= text.size() || text[pos++] != '/' || !digits(text, pos, 2, v[2]))
        return std::nullopt;
    t.year = v[0], t.month = v[1], t.day = v[2];
    if (!validdate(t) || !clock(text, skipblanks(text, pos), t))
        return std::nullopt;
    return t;
}

// The first m/d/y on the line, then the first h:m:s after it; the words
// between differ from one acquisition program to the next.
std::optional<NcsTime> opened(std::string_view line)
{
    NcsTime t;
    std::size_t pos = 0;
    for (;; ++pos) {
        pos = line.find_first_of("0123456789", pos);
        if (pos == std::string_view::npos)
            return std::nullopt;
        if (pos > 0 && line[pos - 1] >= '0' && line[pos - 1] <= '9')
            continue;
        std::size_t at = pos;
        int v[3];
        if (triple(line, at, '/', v, 4)) {
            // Two-digit years as the C library reads %y: 69 to 99 are 1900s.
            t.month = v[0], t.day = v[1], t.year = v[2] < 100 ? v[2] + (v[2] < 69 ? 2000 : 1900) : v[2];
            pos = at;
            break;
        }
    }
    if (!validdate(t))
        return std::nullopt;
    for (; (pos = line.find_first_of("0123456789", pos)) != std::string_view::npos; ++pos)
        if (clock(line, pos, t))
            return t;
    return std::nullopt;
}

}  // namespace

std::optional<NcsTime> ncsopened(std::string_view text)
{
    if (auto pos = findkey("-TimeCreated ", text))
        if (auto t = created(text, *pos))
            return t;
    for (const char* key : {"## Time Opened", "## Date Opened"}) {
        std::size_t at = text.find(key);
        if (at == std::string_view::npos)
            continue;
        std::string_view line = text.substr(at + std::strlen(key));
        line = line.substr(0, line.find_first_of("\r\n"));
        if (auto t = opened(line))
            return t;
    }
    return std::nullopt;
}
