#pragma once
// The part of a recording to convert: records that overlap a range of time,
// each bound given in seconds from the first record or as a clock time.

#include <optional>
#include <string_view>

struct TimeBound {
    // Microseconds from the first record, or with clock from midnight of the
    // day the recording was opened.
    double micros = 0;
    bool clock = false;
};

// "12.5" (seconds) or "HH:MM:SS[.ffffff]"; hours past 23 run into the
// following days, so a night recording can be cut after midnight. None for
// any other text.
std::optional<TimeBound> parsetimebound(std::string_view text);

// Microseconds of the day of a clock time.
inline double daymicros(int hour, int minute, int second, double fractionMicros)
{
    return ((hour * 60.0 + minute) * 60.0 + second) * 1e6 + fractionMicros;
}
