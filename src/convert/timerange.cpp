#include "convert/timerange.h"

namespace {

// Digits at pos, at least one and at most most; their value.
bool number(std::string_view s, std::size_t& pos, std::size_t most, long long& value, std::size_t& count)
{
    value = 0;
    count = 0;
    while (pos < s.size() && count < most && s[pos] >= '0' && s[pos] <= '9') {
        value = value * 10 + (s[pos++] - '0');
        ++count;
    }
    return count > 0;
}

// A fraction of a second after a point at pos, in microseconds; none, or
// nothing after the point, is false.
bool fraction(std::string_view s, std::size_t& pos, std::size_t most, double& micros)
{
    long long v = 0;
    std::size_t n = 0;
    if (pos == s.size())
        return (micros = 0, true);
    if (s[pos] != '.' || !number(s, ++pos, most, v, n))
        return false;
    double scale = 1e6;
    for (std::size_t i = 0; i < n; ++i)
        scale /= 10;
    micros = static_cast<double>(v) * scale;
    return true;
}

}  // namespace

std::optional<TimeBound> parsetimebound(std::string_view text)
{
    std::size_t pos = 0, n = 0;
    long long a = 0, m = 0, s = 0;
    double part = 0;
    if (!number(text, pos, 12, a, n))
        return std::nullopt;
    if (pos == text.size() || text[pos] == '.') {
        if (!fraction(text, pos, 6, part) || pos != text.size())
            return std::nullopt;
        return TimeBound{static_cast<double>(a) * 1e6 + part, false};
    }
    std::size_t mn = 0, sn = 0;
    if (n > 2 || text[pos] != ':' || !number(text, ++pos, 2, m, mn) || mn != 2 || pos == text.size() ||
        text[pos] != ':' || !number(text, ++pos, 2, s, sn) || sn != 2 || m > 59 || s > 59 ||
        !fraction(text, pos, 6, part) || pos != text.size())
        return std::nullopt;
    return TimeBound{daymicros(static_cast<int>(a), static_cast<int>(m), static_cast<int>(s), part), true};
}
