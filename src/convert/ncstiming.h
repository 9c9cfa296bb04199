#pragma once
// Continuity of an NCS recording's time stamps, gathered record by record:
// each record should start one record's worth of sample intervals after the
// one before it, and hold a full record of valid samples.

#include <cstdint>
#include <optional>

struct NcsTiming {
    // interval: microseconds per sample; samples: per record.
    NcsTiming(double interval, std::int32_t samples) : interval(interval), samples(samples) {}

    void add(std::int64_t stamp, std::uint32_t valid);

    double interval;
    std::int32_t samples;
    long long records = 0;
    // Records whose stamp is off the expected one by more than half an
    // interval, the largest such deviation and the time lost in forward
    // jumps, in microseconds.
    long long discontinuities = 0;
    double largest = 0;
    double missing = 0;
    long long backwards = 0;     // stamps before the previous record's
    long long shortRecords = 0;  // fewer valid samples than the record holds
    std::optional<std::int64_t> first, last;
};
