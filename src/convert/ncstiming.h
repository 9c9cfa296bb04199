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
    // The next record opens a file that the acquisition began after it
    // stopped: its jump is a restart, not a hole.
    void restart() { restarting_ = true; }

    // What the jumps of the stamps (off the line by more than half an
    // interval) amount to, in microseconds. A jump forward is a hole: the
    // time it skips is missing. A jump back is the clock stepped back and
    // adds nothing missing. A record stamped off the line its neighbours lie
    // on is out of order: its jump away and its jump back count as one jump,
    // by what the two move the line. So the last stamp minus the first is
    // the records' duration, less one record, plus missing and paused, less
    // back.
    struct Jumps {
        long long holes = 0;
        double missing = 0;
        double largestHole = 0;
        double back = 0;
    };
    // Including a last jump whose next record has not come.
    Jumps jumps() const;

    double interval;
    std::int32_t samples;
    long long records = 0;
    // Records off the line, and the largest such jump either way.
    long long discontinuities = 0;
    double largest = 0;
    long long backwards = 0;     // stamps before the previous record's
    long long shortRecords = 0;  // fewer valid samples than the record holds
    long long restarts = 0;
    double paused = 0;  // microseconds from where each file's records end to the next file's first
    std::optional<std::int64_t> first, last;

private:
    Jumps settled_;
    std::optional<double> pending_;  // a jump that its next record may undo
    bool restarting_ = false;
};
