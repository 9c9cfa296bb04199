#pragma once
// Writes synthetic NCS channel files: a 16384-byte text header followed by
// 1044-byte records of 512 samples, laid out as an acquisition system would
// write one continuous recording without gaps; and the session's event file:
// the same kind of header, then 184-byte event records.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct NcsRecording {
    int adChannel = 0;                 // -ADChannel, and the channel number in every record
    double samplingFrequency = 32000;  // Hz; records hold it truncated to whole hertz
    int adMaxValue = 32767;            // 1..32767; samples are clipped to +-adMaxValue
    long long records = 100;
    std::uint64_t firstTimestamp = 1'000'000'000;  // microseconds
    std::uint32_t seed = 1;
    std::string acqEntName;  // empty: "CSC<adChannel + 1>"
    bool inputInverted = true;
    std::string bitVolts;  // -ADBitVolts text; empty: 1000 uV over adMaxValue; "none": no line
    // How the header gives the opening time: "created" (-TimeCreated), the
    // older "opened-ms", "opened-at" and "date-opened" lines, or "none".
    std::string timeForm = "created";
    struct Shift {
        long long record;
        long long micros;  // added to this record's stamp and every later one
    };
    std::vector<Shift> shifts;
    struct Short {
        long long record;
        std::uint32_t valid;
    };
    std::vector<Short> shortRecords;
};

inline constexpr int ncsgenRecordSamples = 512;
inline constexpr int ncsgenRecordBytes = 20 + 2 * ncsgenRecordSamples;
inline constexpr int ncsgenHeaderBytes = 16384;

// Writes a whole NCS file, streaming the records. False when rec is out of
// range or the file cannot be written; a partly written file is removed.
bool writencs(const std::string& path, const NcsRecording& rec);

// Whether a recording's time form is one writencs knows.
bool knowntimeform(const std::string& form);

// The text header (16384 bytes, NUL padded) that writencs puts first.
std::string ncsheadertext(const NcsRecording& rec);

// Time stamp of record k: firstTimestamp plus k * 512 sample periods, rounded
// to the microsecond from the start so that long files do not drift, plus
// the shifts at or before k.
std::uint64_t ncsrecordtime(const NcsRecording& rec, long long k);

// The samples writencs stores, record after record, so that a test can know
// what a reader must return without reading the file back. Deterministic for
// a given recording (seed, channel, frequency, maximum).
class NcsSignal {
public:
    explicit NcsSignal(const NcsRecording& rec);

    // Fills out[0..511] with the next record's samples.
    void next(std::int16_t* out);

private:
    struct Tone {
        std::uint32_t phase = 0, step = 0;
        int amplitude = 0;  // in units of adMaxValue / 4096
    };
    std::int32_t noise();

    std::mt19937 rng_;
    Tone tones_[3];
    int max_ = 0;
    int noiseScale_ = 0;
    long long burstLeft_ = 0;    // samples of the current burst still to come
    long long burstLength_ = 0;
    int burstSign_ = 1;
    long long untilBurst_ = 0;   // samples before the next burst starts
    long long burstGap_ = 0;     // mean gap between bursts
};

// One record of an event file.
struct NevMark {
    std::uint64_t stamp = 0;  // microseconds
    std::int16_t id = 0;
    std::uint16_t ttl = 0;
    std::string text;  // at most 127 bytes are written, then a NUL
};

inline constexpr int ncsgenEventBytes = 184;
inline constexpr std::int16_t ncsgenTtlEvent = 19;     // id of a TTL input's change
inline constexpr std::int16_t ncsgenMarkerEvent = 11;  // id of a text marker

// The text the acquisition writes with a TTL input's new value.
std::string ttltext(std::uint16_t value);

// The events of a session as an acquisition writes them, in time order: a
// "Starting Recording" marker 1 ms before the first record, a TTL pulse
// (values 1, 2, 3, each back to 0 at the next) 100 us into every
// every-th record when every > 0, a marker in the middle of each hole (a
// forward shift of the stamps), "Stopping Recording" 1 ms after the last.
std::vector<NevMark> nevsession(const NcsRecording& rec, long long every);

// The event file's 16384-byte header for a session shaped as rec.
std::string nevheadertext(const NcsRecording& rec);

// Writes an event file of marks, in the order given. False when it cannot
// be written; a partly written file is removed.
bool writenev(const std::string& path, const NcsRecording& rec, const std::vector<NevMark>& marks);
