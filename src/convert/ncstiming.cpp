#include "convert/ncstiming.h"

#include <cmath>

namespace {

void settle(NcsTiming::Jumps& j, double jump, double tolerance)
{
    if (jump > tolerance) {
        ++j.holes;
        j.missing += jump;
        j.largestHole = std::fmax(j.largestHole, jump);
    } else if (jump < -tolerance) {
        j.back -= jump;
    }
}

}  // namespace

void NcsTiming::add(std::int64_t stamp, std::uint32_t valid)
{
    ++records;
    if (valid < static_cast<std::uint32_t>(samples))
        ++shortRecords;
    const bool restarted = restarting_;
    restarting_ = false;
    if (!last) {
        first = last = stamp;
        return;
    }
    // In floating point: corrupt stamps may lie anywhere in 64 bits.
    const double off = static_cast<double>(stamp) - static_cast<double>(*last) - samples * interval;
    if (restarted) {
        ++restarts;
        paused += off;
        last = stamp;
        if (pending_)
            settle(settled_, *pending_, interval / 2);
        pending_.reset();
        return;
    }
    const double tolerance = interval / 2;
    const bool jump = std::fabs(off) > tolerance;
    if (jump) {
        ++discontinuities;
        largest = std::fmax(largest, std::fabs(off));
    }
    if (stamp < *last)
        ++backwards;
    last = stamp;

    if (pending_) {
        const double before = *pending_;
        pending_.reset();
        // Away and straight back: one record out of order.
        if (jump && (off > 0) != (before > 0)) {
            settle(settled_, before + off, tolerance);
            return;
        }
        settle(settled_, before, tolerance);
    }
    if (jump)
        pending_ = off;
}

NcsTiming::Jumps NcsTiming::jumps() const
{
    Jumps j = settled_;
    if (pending_)
        settle(j, *pending_, interval / 2);
    return j;
}
