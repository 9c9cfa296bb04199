// ncsgen: writes a set of synthetic NCS channel files for tests and benchmarks.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "ncsgen/ncswriter.h"

namespace {

const char* const usage =
    "Usage: ncsgen [OPTION]... OUTDIR\n"
    "Writes OUTDIR/CSC1.ncs ... CSC<C>.ncs, one continuous synthetic recording per\n"
    "channel, creating OUTDIR if needed; with --events or --event also the\n"
    "session's OUTDIR/Events.nev.\n"
    "\n"
    "  --channels C        number of files, 1..4096 (default 4)\n"
    "  --records N         512-sample records per file (default 250)\n"
    "  --frequency HZ      sampling frequency in Hz (default 32000)\n"
    "  --seed S            seed of the first channel; channel c uses S + c (default 1)\n"
    "  --first-channel A   A/D channel number of CSC1; CSC<c+1> gets A + c (default 0)\n"
    "  --ad-max-value M    largest sample value, 1..32767 (default 32767)\n"
    "  --start-time US     time stamp of the first record in microseconds\n"
    "  --gap R:US          a hole: US microseconds (negative: back in time) added\n"
    "                      to the stamps of record R and after; repeatable\n"
    "  --short R:N         record R claims N valid samples; repeatable\n"
    "  --input-inverted B  true or false (default true)\n"
    "  --bit-volts TEXT    the ADBitVolts value, or none for no such line\n"
    "  --time-form F       opening time as created (-TimeCreated, default),\n"
    "                      opened-ms, opened-at, date-opened (older recorders'\n"
    "                      lines) or none\n"
    "  --events EVERY      Events.nev with a marker 1 ms before the first record,\n"
    "                      a TTL change 100 us into every EVERY-th record (0: none),\n"
    "                      a marker inside each hole, one 1 ms after the last record\n"
    "  --event US:TTL[:TEXT]  one more event US microseconds after (negative:\n"
    "                      before) the first record's stamp; repeatable\n"
    "  --help              show this text\n";

template <class T>
bool parsenumber(std::string_view text, T& value)
{
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

// "A:B", two numbers.
template <class A, class B>
bool parsepair(std::string_view text, A& a, B& b)
{
    const auto colon = text.find(':');
    return colon != std::string_view::npos && parsenumber(text.substr(0, colon), a) &&
           parsenumber(text.substr(colon + 1), b);
}

// "US:TTL[:TEXT]", an event at an offset from the first record.
bool parseevent(std::string_view text, long long& offset, NevMark& mark)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || !parsenumber(text.substr(0, colon), offset))
        return false;
    text.remove_prefix(colon + 1);
    const auto second = text.find(':');
    if (!parsenumber(text.substr(0, second), mark.ttl))
        return false;
    mark.id = ncsgenTtlEvent;
    mark.text = second == std::string_view::npos ? ttltext(mark.ttl) : std::string(text.substr(second + 1));
    return true;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "ncsgen: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    long long channels = 4, records = 250, firstChannel = 0, adMax = 32767;
    std::uint64_t startTime = 1'000'000'000;
    double frequency = 32000;
    std::uint32_t seed = 1;
    std::string outdir;
    NcsRecording shape;  // the options every channel shares
    long long eventsEvery = -1;  // no event file
    std::vector<std::pair<long long, NevMark>> extraEvents;

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            std::string_view name = arg, value;
            const auto eq = arg.find('=');
            if (eq != std::string_view::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return fail("option " + std::string(arg) + " needs a value");
            }
            bool ok = false;
            if (name == "--channels")
                ok = parsenumber(value, channels) && channels >= 1 && channels <= 4096;
            else if (name == "--records")
                ok = parsenumber(value, records) && records >= 0;
            else if (name == "--frequency")
                ok = parsenumber(value, frequency) && frequency >= 1 && frequency < 4294967296.0;
            else if (name == "--seed")
                ok = parsenumber(value, seed);
            else if (name == "--first-channel")
                ok = parsenumber(value, firstChannel) && firstChannel >= 0 &&
                     firstChannel <= 1'000'000'000;
            else if (name == "--ad-max-value")
                ok = parsenumber(value, adMax) && adMax >= 1 && adMax <= 32767;
            else if (name == "--start-time")
                ok = parsenumber(value, startTime);
            else if (name == "--gap") {
                NcsRecording::Shift& shift = shape.shifts.emplace_back();
                ok = parsepair(value, shift.record, shift.micros);
            } else if (name == "--short") {
                NcsRecording::Short& record = shape.shortRecords.emplace_back();
                ok = parsepair(value, record.record, record.valid);
            }
            else if (name == "--input-inverted")
                ok = (value == "true" || value == "false") && ((shape.inputInverted = value == "true"), true);
            else if (name == "--bit-volts")
                ok = !value.empty() && ((shape.bitVolts = value), true);
            else if (name == "--events")
                ok = parsenumber(value, eventsEvery) && eventsEvery >= 0;
            else if (name == "--event") {
                auto& [offset, mark] = extraEvents.emplace_back();
                ok = parseevent(value, offset, mark);
            }
            else if (name == "--time-form")
                ok = knowntimeform(std::string(value)) && ((shape.timeForm = value), true);
            else
                return fail("unknown option " + std::string(name) + " (try --help)");
            if (!ok)
                return fail("bad value '" + std::string(value) + "' for " + std::string(name));
            continue;
        }
        if (!outdir.empty()) return fail("more than one output folder given (try --help)");
        outdir = argv[i];
    }
    if (outdir.empty()) return fail("no output folder given (try --help)");

    namespace fs = std::filesystem;
    const fs::path dir = fs::path(outdir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir))
        return fail("cannot create folder " + outdir + (ec ? ": " + ec.message() : std::string()));

    for (long long c = 0; c < channels; ++c) {
        NcsRecording rec = shape;
        rec.adChannel = static_cast<int>(firstChannel + c);
        rec.samplingFrequency = frequency;
        rec.records = records;
        rec.adMaxValue = static_cast<int>(adMax);
        rec.firstTimestamp = startTime;
        rec.seed = seed + static_cast<std::uint32_t>(c);
        rec.acqEntName = "CSC" + std::to_string(c + 1);
        const fs::path file = dir / ("CSC" + std::to_string(c + 1) + ".ncs");
        const std::string name = file.string();
        if (!writencs(name, rec)) return fail("cannot write " + name);
        std::printf("%s  ADChannel %d  %.10g Hz  %lld records  %lld bytes\n", name.c_str(),
                    rec.adChannel, frequency, records,
                    ncsgenHeaderBytes + records * ncsgenRecordBytes);
    }
    if (eventsEvery < 0 && extraEvents.empty())
        return 0;
    NcsRecording session = shape;
    session.samplingFrequency = frequency;
    session.records = records;
    session.firstTimestamp = startTime;
    session.seed = seed;
    std::vector<NevMark> marks = nevsession(session, std::max(eventsEvery, 0LL));
    for (auto& [offset, mark] : extraEvents) {
        mark.stamp = startTime + static_cast<std::uint64_t>(offset);
        marks.push_back(mark);
    }
    std::stable_sort(marks.begin(), marks.end(), [](const NevMark& a, const NevMark& b) { return a.stamp < b.stamp; });
    const std::string name = (dir / "Events.nev").string();
    if (!writenev(name, session, marks)) return fail("cannot write " + name);
    std::printf("%s  %lld events  %lld bytes\n", name.c_str(), static_cast<long long>(marks.size()),
                ncsgenHeaderBytes + static_cast<long long>(marks.size()) * ncsgenEventBytes);
    return 0;
}
