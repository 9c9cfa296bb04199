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
