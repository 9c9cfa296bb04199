#include "ncsgen/ncswriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Q15 sine, one full turn.
constexpr int sineBits = 12;
const std::array<std::int32_t, 1 << sineBits>& sinetable()
{
    static const auto table = [] {
        std::array<std::int32_t, 1 << sineBits> t{};
        const double turn = 2.0 * 3.14159265358979323846 / t.size();
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = static_cast<std::int32_t>(std::lround(32767.0 * std::sin(turn * i)));
        return t;
    }();
    return table;
}

bool validrecording(const NcsRecording& rec)
{
    return knowntimeform(rec.timeForm) && rec.adChannel >= 0 && rec.adMaxValue >= 1 && rec.adMaxValue <= 32767 &&
           rec.records >= 0 && std::isfinite(rec.samplingFrequency) &&
           rec.samplingFrequency >= 1.0 && rec.samplingFrequency < 4294967296.0;
}

std::string frequencytext(double hz)
{
    char buf[64];
    if (hz == std::floor(hz)) {
        std::snprintf(buf, sizeof buf, "%.0f", hz);
        return buf;
    }
    auto r = std::to_chars(buf, buf + sizeof buf, hz);
    return std::string(buf, r.ptr);
}

// Wall-clock text of a fixed session start plus offset: "yyyy/mm/dd hh:mm:ss",
// or with american "m/d/yyyy" dates, and milliseconds, as older recorders wrote.
std::string clocktext(long long offsetSeconds, bool american = false, const char* between = " ", bool ms = true)
{
    using namespace std::chrono;
    const sys_seconds start = sys_days{year{2023} / May / 17} + hours{10} + minutes{15} + seconds{42};
    const sys_seconds t = start + seconds{offsetSeconds};
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    char buf[96];
    const int h = static_cast<int>(hms.hours().count()), m = static_cast<int>(hms.minutes().count()),
              s = static_cast<int>(hms.seconds().count());
    const unsigned mo = static_cast<unsigned>(ymd.month()), d = static_cast<unsigned>(ymd.day());
    if (american)
        std::snprintf(buf, sizeof buf, "%u/%u/%d%s%d:%02d:%02d%s", mo, d, static_cast<int>(ymd.year()), between, h,
                      m, s, ms ? ".250" : "");
    else
        std::snprintf(buf, sizeof buf, "%04d/%02u/%02u %02d:%02d:%02d", static_cast<int>(ymd.year()), mo, d, h, m, s);
    return buf;
}

std::string uuidtext(std::mt19937& rng)
{
    char buf[40];
    const std::uint32_t a = rng(), b = rng(), c = rng(), d = rng();
    std::snprintf(buf, sizeof buf, "%08x-%04x-%04x-%04x-%04x%08x", static_cast<unsigned>(a),
                  static_cast<unsigned>(b >> 16), static_cast<unsigned>((b & 0x0fffu) | 0x4000u),
                  static_cast<unsigned>((c >> 16 & 0x3fffu) | 0x8000u),
                  static_cast<unsigned>(c & 0xffffu), static_cast<unsigned>(d));
    return buf;
}

void put16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void put64(unsigned char* p, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::string entityname(const NcsRecording& rec)
{
    return rec.acqEntName.empty() ? "CSC" + std::to_string(rec.adChannel + 1) : rec.acqEntName;
}

// Uniform double in [lo, hi) from raw generator bits, so the values do not
// depend on the library's distribution algorithms.
double uniform(std::mt19937& rng, double lo, double hi)
{
    return lo + (hi - lo) * (rng() / 4294967296.0);
}

}  // namespace

bool knowntimeform(const std::string& form)
{
    return form == "created" || form == "opened-ms" || form == "opened-at" || form == "date-opened" ||
           form == "none";
}

std::uint64_t ncsrecordtime(const NcsRecording& rec, long long k)
{
    std::uint64_t shift = 0;
    for (const NcsRecording::Shift& s : rec.shifts)
        if (s.record <= k)
            shift += static_cast<std::uint64_t>(s.micros);
    const double f = rec.samplingFrequency;
    if (f == std::floor(f) && f < 4294967296.0 && k >= 0 && k < (1LL << 33)) {
        // Exact: k * 512e6 / f rounded half up, all in integers.
        const std::uint64_t num = static_cast<std::uint64_t>(k) * 512'000'000u;
        const auto hz = static_cast<std::uint64_t>(f);
        return rec.firstTimestamp + (2 * num + hz) / (2 * hz) + shift;
    }
    return rec.firstTimestamp +
           static_cast<std::uint64_t>(std::llround(static_cast<double>(k) * 512e6 / f)) + shift;
}

NcsSignal::NcsSignal(const NcsRecording& rec)
{
    std::seed_seq seq{rec.seed, static_cast<std::uint32_t>(rec.adChannel), 0x6e637367u};
    rng_.seed(seq);
    max_ = rec.adMaxValue < 1 ? 1 : rec.adMaxValue;
    const double fs = rec.samplingFrequency > 0 ? rec.samplingFrequency : 1.0;

    // A slow rhythm, a faster one and a faint high-frequency component, each
    // kept below Nyquist; amplitudes in 1/4096 of the full scale.
    const double bands[3][2] = {{4.0, 12.0}, {40.0, 90.0}, {300.0, 900.0}};
    const int amplitudes[3] = {1400, 600, 200};
    for (int i = 0; i < 3; ++i) {
        double hz = uniform(rng_, bands[i][0], bands[i][1]);
        if (hz > 0.4 * fs) hz = uniform(rng_, 0.05, 0.4) * fs;
        tones_[i].step = static_cast<std::uint32_t>(std::llround(hz / fs * 4294967296.0));
        tones_[i].phase = rng_();
        tones_[i].amplitude = amplitudes[i];
    }
    noiseScale_ = max_ / 32;  // standard deviation about 3 % of full scale
    // Occasional artefacts large enough to saturate, about every 20 records.
    burstGap_ = 20LL * ncsgenRecordSamples;
    untilBurst_ = static_cast<long long>(uniform(rng_, 0.1, 1.0) * burstGap_);
}

// Roughly normal noise with unit variance scaled by noiseScale_: the sum of
// four uniform 16-bit values (Irwin-Hall), centred.
std::int32_t NcsSignal::noise()
{
    const std::uint32_t a = rng_(), b = rng_();
    const std::int64_t sum = static_cast<std::int64_t>(a & 0xffffu) + (a >> 16) + (b & 0xffffu) +
                             (b >> 16) - 2 * 65535;
    // The sum's standard deviation is about 37837.
    return static_cast<std::int32_t>(sum * noiseScale_ / 37837);
}

void NcsSignal::next(std::int16_t* out)
{
    const auto& sine = sinetable();
    for (int i = 0; i < ncsgenRecordSamples; ++i) {
        std::int64_t acc = 0;
        for (auto& t : tones_) {
            acc += static_cast<std::int64_t>(t.amplitude) * sine[t.phase >> (32 - sineBits)];
            t.phase += t.step;
        }
        std::int64_t v = acc * max_ / (4096LL * 32767) + noise();

        if (burstLeft_ == 0 && --untilBurst_ <= 0) {
            burstLength_ = static_cast<long long>(uniform(rng_, 200.0, 2000.0));
            burstLeft_ = burstLength_;
            burstSign_ = (rng_() & 1u) ? 1 : -1;
            untilBurst_ = static_cast<long long>(uniform(rng_, 0.5, 1.5) * burstGap_);
        }
        if (burstLeft_ > 0) {
            // Sharp onset, linear decay from 1.5 x full scale.
            v += burstSign_ * (3LL * max_ * burstLeft_) / (2 * burstLength_);
            --burstLeft_;
        }

        if (v > max_) v = max_;
        if (v < -max_) v = -max_;
        out[i] = static_cast<std::int16_t>(v);
    }
}

namespace {

// The lines every file of a session starts with: the opening time in the
// recording's form, the file's type, name and record size, the recorder.
std::vector<std::string> sessionlines(const NcsRecording& rec, const char* fileType, const std::string& fileName,
                                      int recordBytes, std::mt19937& rng)
{
    const double seconds = rec.records * static_cast<double>(ncsgenRecordSamples) /
                           (rec.samplingFrequency > 0 ? rec.samplingFrequency : 1.0);
    const long long closed = static_cast<long long>(std::ceil(seconds)) + 2;
    // Each older form as the recorder version that wrote it (readers choose the form by it).
    const std::string& form = rec.timeForm;
    std::vector<std::string> lines = {"######## Neuralynx Data File Header"};
    if (form == "opened-ms")
        lines.insert(lines.end(), {"## Time Opened (m/d/y): " + clocktext(0, true, "  (h:m:s.ms) "),
                                   "## Time Closed (m/d/y): " + clocktext(closed, true, "  (h:m:s.ms) ")});
    else if (form == "opened-at")
        lines.insert(lines.end(), {"## Time Opened (m/d/y): " + clocktext(0, true, "  At Time: "),
                                   "## Time Closed (m/d/y): " + clocktext(closed, true, "  At Time: ")});
    else if (form == "date-opened")
        lines.insert(lines.end(), {"## Date Opened: (mm/dd/yyy): " + clocktext(0, true, " At Time: ", false),
                                   "## Date Closed: (mm/dd/yyy): " + clocktext(closed, true, " At Time: ", false)});
    lines.insert(lines.end(), {
        std::string("-FileType ") + fileType,
        "-FileVersion 3.4",
        "-FileUUID " + uuidtext(rng),
        "-SessionUUID " + uuidtext(rng),
        "-OriginalFileName \"C:\\Data\\2023-05-17_10-15-42\\" + fileName + "\"",
    });
    if (form == "created")
        lines.insert(lines.end(), {"-TimeCreated " + clocktext(0), "-TimeClosed " + clocktext(closed)});
    lines.push_back("-RecordSize " + std::to_string(recordBytes));
    if (form == "opened-ms")
        lines.push_back("-ApplicationName Cheetah \"5.6.3\"");
    else if (form == "opened-at")
        lines.push_back("-ApplicationName Cheetah \"5.4.0\"");
    else if (form != "date-opened")
        lines.push_back("-ApplicationName Cheetah \"6.4.2\"");
    lines.insert(lines.end(), {"-AcquisitionSystem AcqSystem1 DigitalLynxSX",
                               "-ReferenceChannel \"Source 01 Reference 1\""});
    return lines;
}

std::string headerblock(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    text.resize(ncsgenHeaderBytes, '\0');
    return text;
}

}  // namespace

std::string ncsheadertext(const NcsRecording& rec)
{
    std::mt19937 rng(rec.seed ^ 0x55d1a3c7u);
    const std::string name = entityname(rec);
    char bitvolts[64];
    // An input range of 1000 uV spread over the A/D full scale.
    std::snprintf(bitvolts, sizeof bitvolts, "%.24f",
                  1000e-6 / (rec.adMaxValue > 0 ? rec.adMaxValue : 1));

    std::vector<std::string> lines = sessionlines(rec, "CSC", name + ".ncs", ncsgenRecordBytes, rng);
    lines.insert(lines.end(), {
        "-SamplingFrequency " + frequencytext(rec.samplingFrequency),
        "-ADMaxValue " + std::to_string(rec.adMaxValue),
        "-ADBitVolts " + (rec.bitVolts.empty() ? std::string(bitvolts) : rec.bitVolts),
        "-AcqEntName " + name,
        "-NumADChannels 1",
        "-ADChannel " + std::to_string(rec.adChannel),
        "-InputRange 1000",
        std::string("-InputInverted ") + (rec.inputInverted ? "True" : "False"),
        "-DSPLowCutFilterEnabled True",
        "-DspLowCutFrequency 0.1",
        "-DspLowCutNumTaps 0",
        "-DspLowCutFilterType DCO",
        "-DSPHighCutFilterEnabled True",
        "-DspHighCutFrequency 9000",
        "-DspHighCutNumTaps 64",
        "-DspHighCutFilterType FIR",
        "-DspDelayCompensation Enabled",
        // Latin-1 micro sign, as the acquisition software writes it.
        "-DspFilterDelay_\xB5s 984",
    });
    if (rec.bitVolts == "none")
        std::erase_if(lines, [](const std::string& l) { return l.starts_with("-ADBitVolts "); });
    return headerblock(lines);
}

bool writencs(const std::string& path, const NcsRecording& rec)
{
    if (!validrecording(rec)) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;

    bool ok = true;
    const std::string header = ncsheadertext(rec);
    ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();

    // Records go out in batches to keep the number of writes low.
    constexpr long long batch = 64;
    std::vector<unsigned char> buf(batch * ncsgenRecordBytes);
    NcsSignal signal(rec);
    std::int16_t samples[ncsgenRecordSamples];
    const auto channel = static_cast<std::uint32_t>(rec.adChannel);
    const auto hz = static_cast<std::uint32_t>(rec.samplingFrequency);
    for (long long k = 0; ok && k < rec.records; k += batch) {
        const long long n = rec.records - k < batch ? rec.records - k : batch;
        for (long long j = 0; j < n; ++j) {
            unsigned char* p = buf.data() + j * ncsgenRecordBytes;
            put64(p, ncsrecordtime(rec, k + j));
            put32(p + 8, channel);
            put32(p + 12, hz);
            std::uint32_t valid = ncsgenRecordSamples;
            for (const NcsRecording::Short& s : rec.shortRecords)
                if (s.record == k + j)
                    valid = s.valid;
            put32(p + 16, valid);
            signal.next(samples);
            for (int i = 0; i < ncsgenRecordSamples; ++i)
                put16(p + 20 + 2 * i, static_cast<std::uint16_t>(samples[i]));
        }
        const auto bytes = static_cast<std::size_t>(n * ncsgenRecordBytes);
        ok = std::fwrite(buf.data(), 1, bytes, f) == bytes;
    }
    if (std::fclose(f) != 0) ok = false;
    if (!ok) std::remove(path.c_str());
    return ok;
}

std::string ttltext(std::uint16_t value)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "TTL Input on AcqSystem1_0 board 0 port 0 value (0x%04X).", value);
    return buf;
}

std::vector<NevMark> nevsession(const NcsRecording& rec, long long every)
{
    std::vector<NevMark> marks;
    if (rec.records <= 0)
        return marks;
    const std::uint64_t first = ncsrecordtime(rec, 0);
    marks.push_back({first - std::min<std::uint64_t>(first, 1000), ncsgenMarkerEvent, 0, "Starting Recording"});
    for (long long r = 0, n = 0; every > 0 && r < rec.records; r += every, ++n) {
        const auto value = static_cast<std::uint16_t>(n % 2 ? 0 : n / 2 % 3 + 1);
        marks.push_back({ncsrecordtime(rec, r) + 100, ncsgenTtlEvent, value, ttltext(value)});
    }
    for (const NcsRecording::Shift& s : rec.shifts)
        if (s.micros > 0 && s.record > 0 && s.record < rec.records)
            marks.push_back({ncsrecordtime(rec, s.record) - static_cast<std::uint64_t>(s.micros / 2), ncsgenMarkerEvent,
                             0, "In the hole before record " + std::to_string(s.record)});
    const auto record = static_cast<std::uint64_t>(std::llround(ncsgenRecordSamples * 1e6 / rec.samplingFrequency));
    marks.push_back({ncsrecordtime(rec, rec.records - 1) + record + 1000, ncsgenMarkerEvent, 0, "Stopping Recording"});
    std::stable_sort(marks.begin(), marks.end(), [](const NevMark& a, const NevMark& b) { return a.stamp < b.stamp; });
    return marks;
}

std::string nevheadertext(const NcsRecording& rec)
{
    std::mt19937 rng(rec.seed ^ 0x6e657673u);
    std::vector<std::string> lines = sessionlines(rec, "Event", "Events.nev", ncsgenEventBytes, rng);
    lines.push_back("-AcqEntName Events");
    return headerblock(lines);
}

bool writenev(const std::string& path, const NcsRecording& rec, const std::vector<NevMark>& marks)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const std::string header = nevheadertext(rec);
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    unsigned char record[ncsgenEventBytes];
    for (std::size_t k = 0; ok && k < marks.size(); ++k) {
        const NevMark& m = marks[k];
        std::fill(std::begin(record), std::end(record), 0);
        put16(record, 800);      // nstx, as the acquisition writes it
        put16(record + 2, 102);  // npkt_id: the system
        put16(record + 4, 2);    // npkt_data_size
        put64(record + 6, m.stamp);
        put16(record + 14, static_cast<std::uint16_t>(m.id));
        put16(record + 16, m.ttl);
        std::copy_n(m.text.begin(), std::min<std::size_t>(m.text.size(), 127), record + 56);
        ok = std::fwrite(record, 1, sizeof record, f) == sizeof record;
    }
    if (std::fclose(f) != 0) ok = false;
    if (!ok) std::remove(path.c_str());
    return ok;
}
