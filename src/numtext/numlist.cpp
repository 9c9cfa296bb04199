#include "numtext/numlist.h"

#include <algorithm>
#include <utility>

#include "numtext/numshort.h"

namespace {

constexpr std::uint64_t beyond32 = std::uint64_t{1} << 32;

// The increment after "Q": atoi of the rest, saturating, and at least 1.
std::uint64_t stepincrement(const char* text)
{
    return static_cast<std::uint64_t>(std::max(textint(text), 1));
}

// With k 0, a text ending in ".." (blanks aside) runs up to upper. Without
// any digit the tail is taken from the second character on.
void completerange(std::string& text, std::uint32_t upper)
{
    const std::size_t digit = text.find_last_of("0123456789");
    const std::size_t from = digit == std::string::npos ? 1 : digit + 1;
    if (from >= text.size())
        return;
    std::string tail = text.substr(from);
    trimblanks(tail);
    if (tail == "..")
        text += std::to_string(upper);
}

// Adds or drops the values of the range from p to n (exclusive of p) taken
// every inc; false when adding would overfill the list.
bool applyrange(std::vector<std::uint32_t>& list, std::uint32_t p, std::uint32_t n,
                std::uint64_t inc, bool exclude)
{
    const bool up = n > p;
    const std::uint64_t distance = up ? n - p : p - n;
    if (exclude) {
        if (up && inc == 1) {
            droprange(list, p, n);
        } else {
            std::erase_if(list, [&](std::uint32_t w) {
                if (up ? w <= p || w > n : w >= p || w < n)
                    return false;
                return (up ? w - p : p - w) % inc == 0;
            });
        }
        return true;
    }
    const std::uint64_t count = distance / inc;
    if (list.size() + count > maxListValues)
        return false;
    for (std::uint64_t j = 1; j <= count; ++j)
        list.push_back(static_cast<std::uint32_t>(up ? p + j * inc : p - j * inc));
    return true;
}

}  // namespace

int charclass(char c)
{
    if (c >= '0' && c <= '9')
        return 1;
    if (c == ',' || c == '.' || c == 'Q' || c == 'X' || c == '\0')
        return 0;
    return -1;
}

std::uint64_t findint(std::string_view text, std::size_t& end)
{
    std::size_t i = 0;
    while (i < text.size() && charclass(text[i]) == 0)
        ++i;
    if (i == text.size() || charclass(text[i]) != 1)
        return 0;
    std::uint64_t n = 0;
    for (; i < text.size() && charclass(text[i]) == 1; ++i)
        n = std::min(n * 10 + static_cast<std::uint64_t>(text[i] - '0'), beyond32);
    end = i;
    return n;
}

std::size_t dropvalue(std::vector<std::uint32_t>& list, std::uint32_t value)
{
    std::erase(list, value);
    return list.size();
}

std::size_t droprange(std::vector<std::uint32_t>& list, std::uint32_t a, std::uint32_t b)
{
    std::erase_if(list, [&](std::uint32_t v) { return v > a && v <= b; });
    return list.size();
}

int expandlist(std::string& text, std::uint32_t& k, std::uint32_t lower, std::uint32_t upper,
               std::vector<std::uint32_t>* values)
{
    text.erase(std::min(text.find('\0'), text.size()));
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }

    std::uint64_t inc = 1;
    const std::size_t marker = text.find('Q');
    if (marker != std::string::npos) {
        inc = stepincrement(text.c_str() + marker + 1);
        text.erase(marker);
    }
    if (k == 0)
        completerange(text, upper);

    const auto inbounds = [&](std::uint64_t n) { return n >= lower && n <= upper; };
    const std::string_view view = text;
    std::size_t pos = std::string_view::npos;
    const std::uint64_t first = findint(view, pos);
    if (pos == std::string_view::npos || !inbounds(first))
        return 0;

    std::vector<std::uint32_t> list{static_cast<std::uint32_t>(first)};
    std::uint32_t p = list.front();
    bool exclude = false;
    for (;;) {
        const std::size_t from = pos;
        while (pos < view.size() && charclass(view[pos]) == 0)
            ++pos;
        if (pos == view.size())
            break;
        if (charclass(view[pos]) < 0)
            return 0;
        std::string separator(view.substr(from, pos - from));
        std::size_t end = 0;
        const std::uint64_t n = findint(view.substr(pos), end);
        pos += end;
        if (!inbounds(n))
            return 0;
        const std::size_t x = separator.find('X');
        if (x != std::string::npos) {
            separator.erase(x, 1);
            exclude = true;
        }
        const auto value = static_cast<std::uint32_t>(n);
        if (separator == ",") {
            if (exclude) {
                dropvalue(list, value);
            } else {
                if (list.size() >= maxListValues)
                    return 0;
                list.push_back(value);
            }
            p = value;
        } else if (separator == "..") {
            // p stays: "1..5..9" runs from 1 twice.
            if (!applyrange(list, p, value, inc, exclude))
                return 0;
        } else {
            return 0;
        }
    }

    if (inc > 1)
        text += "Q" + std::to_string(inc);
    if (list.empty())
        return 0;
    if (k != 0)
        k = list[std::min<std::size_t>(k, list.size()) - 1];
    const int count = static_cast<int>(list.size());
    if (values)
        *values = std::move(list);
    return count;
}
