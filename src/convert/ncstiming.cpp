#include "convert/ncstiming.h"

#include <cmath>

void NcsTiming::add(std::int64_t stamp, std::uint32_t valid)
{
    ++records;
    if (valid < static_cast<std::uint32_t>(samples))
        ++shortRecords;
    if (last) {
        // In floating point: corrupt stamps may lie anywhere in 64 bits.
        const double off = static_cast<double>(stamp) - static_cast<double>(*last) - samples * interval;
        if (std::fabs(off) > interval / 2) {
            ++discontinuities;
            largest = std::fmax(largest, std::fabs(off));
            if (off > 0)
                missing += off;
        }
        if (stamp < *last)
            ++backwards;
    } else {
        first = stamp;
    }
    last = stamp;
}
