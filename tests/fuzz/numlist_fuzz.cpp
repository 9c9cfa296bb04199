// Arbitrary text as a number list: the expansion must stay within its
// bounds and its size limit, and the rewritten text must expand to the
// same list again without further change.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "numtext/numlist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    // Bounds near 0 or near the 32-bit limit, narrow or a few thousand wide:
    // lists of a million values are tested once and cost a fuzzing run
    // most of a second.
    const std::uint8_t mode = data[0];
    const std::uint32_t lower = (mode & 1 ? 0xffffff00u : 0u) + data[1];
    const std::uint64_t span = std::uint64_t{data[2]} * (mode & 2 ? 64u : 1u);
    const auto upper = static_cast<std::uint32_t>(std::min<std::uint64_t>(lower + span, 0xffffffffu));
    const std::uint32_t k0 = mode & 4 ? 0 : data[3];

    std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);
    std::uint32_t k = k0;
    std::vector<std::uint32_t> values;
    const int count = expandlist(text, k, lower, upper, &values);
    if (count == 0) {
        if (k != k0)
            std::abort();
        return 0;
    }
    if (count < 0 || static_cast<std::size_t>(count) != values.size() || values.size() > maxListValues)
        std::abort();
    for (std::uint32_t v : values) {
        if (v < lower || v > upper)
            std::abort();
    }
    if (k0 == 0 ? k != 0 : std::find(values.begin(), values.end(), k) == values.end())
        std::abort();

    std::string again = text;
    std::uint32_t k2 = k0;
    std::vector<std::uint32_t> values2;
    if (expandlist(again, k2, lower, upper, &values2) != count || values2 != values || again != text
        || k2 != k)
        std::abort();
    return 0;
}
