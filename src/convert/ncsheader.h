#pragma once
// The NCS input header: a 16384-byte block of "-Keyword value" text lines,
// NUL padded, before fixed-size records of a 64-bit time stamp, three 32-bit
// fields and (RecordSize - 20) / 2 16-bit samples.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t ncsHeaderSize = 16384;
inline constexpr int ncsRecordPrefix = 20;  // time stamp, channel, frequency, valid count
// Records longer than this are not NCS records: 32768 samples.
inline constexpr std::int32_t ncsMaxRecordSize = ncsRecordPrefix + 2 * 32768;

// The sampling frequencies of real acquisition systems, with a wide margin
// on both sides: from slow physiological channels to the fastest
// digitizers. A header outside them is corrupt, and its sample interval
// would be no usable number.
inline constexpr double ncsMinFrequency = 0.1;
inline constexpr double ncsMaxFrequency = 10e6;
inline bool ncsplausiblerate(double hz)
{
    return hz >= ncsMinFrequency && hz <= ncsMaxFrequency;
}

// The header values the converter uses. A keyword missing from a header
// leaves its field as it was.
struct NcsHeader {
    std::int32_t RecordSize = 0;
    float SamplingFrequency = 0.0f;
    std::int32_t ADMaxValue = 0;
    std::int32_t ADChannel = 0;
};

inline constexpr const char* kwRecordSize = "RecordSize ";
inline constexpr const char* kwSamplingFrequency = "SamplingFrequency ";
inline constexpr const char* kwADMaxValue = "ADMaxValue ";
inline constexpr const char* kwADChannel = "ADChannel ";
inline constexpr const char* kwADBitVolts = "ADBitVolts ";
inline constexpr const char* kwInputInverted = "InputInverted ";
inline constexpr const char* kwAcqEntName = "AcqEntName ";

// The header text of a block read from the start of a file: up to the first
// NUL byte, never beyond the header block.
std::string_view ncstext(const char* block, std::size_t length);

// Position just after the first occurrence of keyword in text, matched byte
// for byte anywhere (not only at a line start).
std::optional<std::size_t> findkey(std::string_view keyword, std::string_view text);

// The decimal number at pos (blanks skipped; 0 when there is none).
double keyvalue(std::string_view text, std::size_t pos);

// Which keywords a header held.
struct NcsKeysFound {
    bool RecordSize = false, SamplingFrequency = false, ADMaxValue = false, ADChannel = false;
};
// Sets the fields whose keywords occur in text. Integers truncate toward
// zero (saturating, so no text can overflow them); the frequency rounds to
// single precision.
NcsKeysFound readncsheader(std::string_view text, NcsHeader& header);

// Microvolts per sample step from ADBitVolts (volts per step), negated when
// InputInverted is True; none when ADBitVolts is missing, not positive or
// too small or large for a single-precision scale factor.
std::optional<double> ncsmicrovolts(std::string_view text);

// The name the acquisition gave the channel, from "-AcqEntName name": the
// rest of the line without surrounding blanks or quotes; none when the line
// is missing or gives no name.
std::optional<std::string> ncsentname(std::string_view text);

// The wall-clock time at which the recording was opened.
struct NcsTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};
// From "-TimeCreated yyyy/mm/dd hh:mm:ss" or, in older files, a "## Time
// Opened" or "## Date Opened" line with m/d/y and h:m:s[.fraction]; none
// when no line gives a valid date and time.
std::optional<NcsTime> ncsopened(std::string_view text);

// Time stamp of a record's first sample, in microseconds: the record's
// first 8 bytes, little-endian.
inline std::int64_t ncstimestamp(const unsigned char* record)
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= std::uint64_t(record[i]) << (8 * i);
    return static_cast<std::int64_t>(v);
}

// Count of valid samples a record claims: bytes 16 to 19, little-endian.
inline std::uint32_t ncsvalidsamples(const unsigned char* record)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(record[16 + i]) << (8 * i);
    return v;
}

// Samples per record for a record size: (RecordSize - 20) / 2, truncating.
inline std::int32_t ncssamples(std::int32_t recordSize)
{
    return (recordSize - ncsRecordPrefix) / 2;
}
