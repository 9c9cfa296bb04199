#include "numtext/numshort.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// |value| rounded to n significant digits: |value| = 0.digits × 10^exp10.
struct Rounded {
    std::string digits;
    int exp10;
};

// Digits come from the exact binary value rather than printf, whose rounding
// of the last digit differs between C runtimes.
Rounded roundDigits(float value, int n)
{
    if (value == 0.0f)
        return {std::string(n, '0'), 1};

    // A float has at most 24 significant bits, so |value| = m × 2^e2 exactly.
    int e2 = 0;
    double frac = std::frexp(std::fabs(static_cast<double>(value)), &e2);
    auto m = static_cast<std::uint64_t>(std::ldexp(frac, 24));
    e2 -= 24;

    // Exact integer m × 2^e2 (e2 >= 0) or m × 5^-e2 = |value| × 10^-e2,
    // little-endian decimal digits.
    std::vector<int> big;
    for (; m != 0; m /= 10)
        big.push_back(static_cast<int>(m % 10));
    const int factor = e2 >= 0 ? 2 : 5;
    for (int k = std::abs(e2); k > 0; --k) {
        int carry = 0;
        for (int& d : big) {
            const int x = d * factor + carry;
            d = x % 10;
            carry = x / 10;
        }
        if (carry != 0)
            big.push_back(carry);
    }

    const int count = static_cast<int>(big.size());
    Rounded r{std::string(n, '0'), count - (e2 < 0 ? -e2 : 0)};
    for (int i = 0; i < n && i < count; ++i)
        r.digits[i] = static_cast<char>('0' + big[count - 1 - i]);

    // The discarded tail is exact, so a next digit of 5 or more means at
    // least half a unit: round away from zero.
    if (count > n && big[count - 1 - n] >= 5) {
        int i = n - 1;
        for (; i >= 0 && r.digits[i] == '9'; --i)
            r.digits[i] = '0';
        if (i >= 0) {
            ++r.digits[i];
        } else {
            r.digits[0] = '1';
            ++r.exp10;
        }
    }
    return r;
}

}  // namespace

std::string numtrim(float value, int n)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    n = n < 1 ? 1 : (n > 93 ? 93 : n);

    const Rounded r = roundDigits(value, n);
    const int e = r.exp10;
    const int s = value < 0 ? 1 : 0;
    const int width = n + 6;
    const bool fixed = e >= 1 ? e <= width - s : e >= n + 2 - width + s;

    // Only the trimmed field is returned, so no padding is built.
    std::string text = s ? "-" : "";
    if (!fixed) {
        text += r.digits[0];
        if (n > 1)
            text += "." + r.digits.substr(1);
        text += "e" + std::to_string(e - 1);
    } else if (e <= 0) {
        text += "0." + std::string(-e, '0') + r.digits;
    } else if (e < n) {
        text += r.digits.substr(0, e) + "." + r.digits.substr(e);
    } else {
        text += r.digits + std::string(e - n, '0');
    }
    return text;
}

std::string numshort(float value, int n)
{
    // Compared as floats so that the float nearest 1e-35 itself survives.
    if (std::isnan(value) || std::fabs(value) < 1e-35f || value == 0.0f)
        return "0";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";

    std::string text = numtrim(value, n);
    const std::size_t epos = text.find('e');
    if (epos != std::string::npos) {
        std::size_t end = epos;
        while (end > 0 && text[end - 1] == '0')
            --end;
        if (end > 0 && text[end - 1] == '.')
            --end;
        text.erase(end, epos - end);
    } else if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

void inschar(std::string& text, std::size_t index, char c)
{
    text.insert(index < text.size() ? index : text.size(), 1, c);
}

void delchar(std::string& text, int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < text.size())
        text.erase(static_cast<std::size_t>(index), 1);
}

void trimblanks(std::string& text)
{
    // The first character stays for the leading pass to judge.
    std::size_t end = text.size();
    while (end > 1 && text[end - 1] == ' ')
        --end;
    text.erase(end);
    const std::size_t start = text.find_first_not_of(' ');
    text.erase(0, start == std::string::npos ? text.size() : start);
}

void copycut(char* target, std::size_t size, const char* source)
{
    if (size == 0)
        return;
    std::size_t n = std::strlen(source);
    if (n >= size)
        n = size - 1;
    std::memmove(target, source, n);  // source may lie within target
    target[n] = '\0';
}

// Out of range the C library's atoi is undefined and differs between
// platforms.
std::int32_t textint(const char* text)
{
    long long n = std::strtoll(text, nullptr, 10);
    if (n > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (n < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(n);
}
