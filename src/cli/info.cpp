#include "cli/info.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "cli/inputs.h"
#include "convert/abfheader.h"
#include "convert/abftag.h"
#include "convert/ncsheader.h"
#include "convert/ncstoabf.h"
#include "convert/nevfile.h"
#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "platform/fileops.h"
#include "platform/frontend.h"

namespace {

constexpr const char* kNeither = "\n%s is neither an NCS recording nor an ABF file";

// The parts of a warning: what was found, then what the output holds.
constexpr const char* kHoles =
    "time-stamp holes: %lld, %s s missing, the largest %s s (the synch array keeps each record's start)";
constexpr const char* kBackwards =
    "stamps going backwards: %lld%s (the synch array keeps each record's start as stamped)";
constexpr const char* kSteppedBack = ", %s s back in all";
constexpr const char* kShortRecords =
    "records with fewer than %d valid samples: %lld (their invalid samples are copied as data)";

constexpr const char* kImplausible = " (outside %.10g to %.10g Hz: not converted)";
constexpr const char* kTagsNegative = " (a negative count)";
constexpr const char* kTagsInHeader = " (at block %d: not after the header)";
constexpr const char* kTagsPastEnd = " (at block %d: past the end of the file)";
constexpr const char* kTagsUnread = " (at block %d: could not be read)";

// Events and tags shown one by one: the first few, enough to recognise a protocol.
constexpr int shownEvents = 5;
// TTL values listed in the text form; the JSON form lists all.
constexpr std::size_t shownTtls = 32;

// Records are read this many bytes at a time for their time stamps.
constexpr long long scanBytes = 512 * 1024;

std::string trimmed(std::string_view text)
{
    std::string s(text.substr(0, text.find('\0')));
    trimblanks(s);
    return s;
}

std::string real(double v)
{
    return numshort(static_cast<float>(v), 4);
}

// A JSON object written as its fields come.
class JsonObject {
public:
    void text(const char* key, std::string_view v) { add(key, quoted(v)); }
    void number(const char* key, double v) { add(key, std::isfinite(v) ? textf("%.17g", v) : "null"); }
    void integer(const char* key, long long v) { add(key, std::to_string(v)); }
    void null(const char* key) { add(key, "null"); }
    void raw(const char* key, const std::string& json) { add(key, json); }
    std::string done() const { return body_.empty() ? "{}" : "{" + body_ + "}"; }

    // Bytes outside ASCII are taken as Latin-1, the headers' own code page.
    static std::string quoted(std::string_view v)
    {
        std::string out = "\"";
        for (unsigned char c : v) {
            if (c == '"' || c == '\\')
                out += {'\\', static_cast<char>(c)};
            else if (c < 0x20 || c >= 0x7f)
                out += textf("\\u%04x", c);
            else
                out += static_cast<char>(c);
        }
        return out + "\"";
    }

private:
    void add(const char* key, const std::string& value)
    {
        body_ += (body_.empty() ? "" : ", ") + quoted(key) + ": " + value;
    }
    std::string body_;
};

std::string datetext(const NcsTime& t)
{
    return textf("%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute, t.second,
                 t.millisecond);
}

// Control bytes of an untrusted text, made blanks for the terminal.
std::string printable(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return s;
}

void abfinfo(const std::string& path, std::FILE* f, long long size, const AbfHeader& a, bool json)
{
    using namespace abf;
    const int n = a.getint(nADCNumChannels);
    const int shown = std::clamp(n, 0, abfMaxChannels);
    const float interval = a.getreal(fADCSampleInterval);
    const int acq = a.getint(lActualAcqLength);
    const int date = a.getint(lFileStartDate);
    const int time = a.getint(lFileStartTime);
    const std::string start = textf("%04d-%02d-%02d %02d:%02d:%02d.%03d", date / 10000, date / 100 % 100, date % 100,
                                    time / 3600, time / 60 % 60, time % 60, a.getint(nFileStartMillisecs));
    // What a reader multiplies a sample by: fADCRange / lADCResolution / fInstrumentScaleFactor.
    auto scale = [&](int c) {
        return double(a.getreal(fADCRange)) / a.getint(lADCResolution) / a.getreal(fInstrumentScaleFactor, c);
    };
    std::vector<AbfTag> tags;
    const bool tagsread = readtags(f, size, a, shownEvents, tags);
    if (json) {
        JsonObject o;
        o.text("file", path);
        o.text("format", "ABF");
        o.number("version", a.getreal(fFileVersionNumber));
        o.integer("operation_mode", a.getint(nOperationMode));
        std::string channels;
        for (int c = 0; c < shown; ++c) {
            JsonObject ch;
            ch.text("name", trimmed(a.gettext(sADCChannelName, c)));
            ch.text("units", trimmed(a.gettext(sADCUnits, c)));
            ch.number("units_per_step", scale(c));
            channels += (c ? ", " : "") + ch.done();
        }
        o.raw("channels", "[" + channels + "]");
        o.number("sample_interval_us", interval);
        o.integer("samples", acq);
        o.integer("samples_per_trace", a.getint(lSamplesPerTrace));
        o.integer("episodes", a.getint(lActualEpisodes));
        o.integer("synch_entries", a.getint(lSynchArraySize));
        o.integer("synch_block", a.getint(lSynchArrayPtr));
        o.integer("adc_resolution", a.getint(lADCResolution));
        if (date)
            o.text("start", start);
        else
            o.null("start");
        o.text("creator", trimmed(a.gettext(sCreatorInfo)));
        o.text("comment", trimmed(a.gettext(sFileComment)));
        o.integer("tags", a.getint(lNumTagEntries));
        o.integer("tag_block", a.getint(lTagSectionPtr));
        std::string first;
        for (const AbfTag& t : tags) {
            JsonObject tag;
            tag.integer("time", t.time);
            tag.number("seconds", abfsynchseconds(a, t.time));
            tag.integer("type", t.type);
            tag.text("comment", t.comment);
            first += (first.empty() ? "" : ", ") + tag.done();
        }
        tagsread ? o.raw("first_tags", "[" + first + "]") : o.null("first_tags");
        std::printf("%s", o.done().c_str());
        return;
    }
    std::printf("%s: ABF %s, operation mode %d%s\n", path.c_str(), real(a.getreal(fFileVersionNumber)).c_str(),
                a.getint(nOperationMode), a.getint(nOperationMode) == 3 ? " (gap-free)" : "");
    std::printf("  Channels          %d\n", n);
    for (int c = 0; c < shown; ++c)
        std::printf("    %2d  %-10s  %-3s  %s per step\n", c, trimmed(a.gettext(sADCChannelName, c)).c_str(),
                    trimmed(a.gettext(sADCUnits, c)).c_str(), real(scale(c)).c_str());
    std::printf("  Sample interval   %s us", real(interval).c_str());
    if (n > 0 && interval > 0)
        std::printf(" (%s Hz per channel)", real(1e6 / interval / n).c_str());
    std::printf("\n  Samples           %d", acq);
    if (n > 0)
        std::printf(" (%d per channel)", acq / n);
    std::printf("\n  Samples per trace %d\n", a.getint(lSamplesPerTrace));
    std::printf("  Episodes          %d\n", a.getint(lActualEpisodes));
    std::printf("  Synch entries     %d (at block %d)\n", a.getint(lSynchArraySize), a.getint(lSynchArrayPtr));
    std::printf("  ADC resolution    %d\n", a.getint(lADCResolution));
    std::printf("  Start             %s\n", date ? start.c_str() : "(not recorded)");
    std::printf("  Creator           %s\n", trimmed(a.gettext(sCreatorInfo)).c_str());
    std::printf("  Comment           %s\n", trimmed(a.gettext(sFileComment)).c_str());
    const int count = a.getint(lNumTagEntries);
    const int block = a.getint(lTagSectionPtr);
    std::printf("  Tags              %d", count);
    // Why the section was not read, from the values readtags refuses.
    if (tagsread && count != 0)
        std::printf(" (at block %d)", block);
    else if (!tagsread && count < 0)
        std::printf("%s", kTagsNegative);
    else if (!tagsread) {
        const long long end = block * static_cast<long long>(abfBlockSize) + count * static_cast<long long>(abfTagSize);
        std::printf(block < 1 ? kTagsInHeader : end > size ? kTagsPastEnd : kTagsUnread, block);
    }
    std::printf("\n");
    for (const AbfTag& t : tags)
        std::printf("    %s s  lTagTime %d  %s\n", real(abfsynchseconds(a, t.time)).c_str(), t.time,
                    printable(t.comment).c_str());
}

bool nevinfo(const std::string& path, bool json)
{
    NevFile nev;
    std::string problem;
    if (!nev.open(path, problem)) {
        messagebox(nullptr, problem.c_str(), kFileErrorCaption);
        return false;
    }
    // One pass, in fixed memory whatever the number of events.
    std::vector<bool> ttls(65536);
    std::vector<NevEvent> first;
    std::uint64_t earliest = UINT64_MAX, latest = 0, previous = 0;
    long long outOfOrder = 0;
    NevEvent e;
    for (std::int64_t k = 0; nev.next(e); ++k) {
        ttls[e.ttl] = true;
        earliest = std::min(earliest, e.stamp);
        latest = std::max(latest, e.stamp);
        outOfOrder += k > 0 && e.stamp < previous;
        previous = e.stamp;
        if (first.size() < static_cast<std::size_t>(shownEvents))
            first.push_back(e);
    }
    if (nev.failed()) {
        messagebox(nullptr, textf(kCouldntRead, path.c_str()).c_str(), kFileErrorCaption);
        return false;
    }
    std::vector<int> values;
    for (int v = 0; v < 65536; ++v)
        if (ttls[v])
            values.push_back(v);
    const std::optional<NcsTime> opened = ncsopened(nev.headertext());
    const bool any = nev.count() > 0;

    if (json) {
        JsonObject o;
        o.text("file", path);
        o.text("format", "NEV");
        opened ? o.text("opened", datetext(*opened)) : o.null("opened");
        o.integer("events", nev.count());
        o.integer("partial_record_bytes", nev.partialbytes());
        any ? o.integer("first_timestamp_us", static_cast<long long>(earliest)) : o.null("first_timestamp_us");
        any ? o.integer("last_timestamp_us", static_cast<long long>(latest)) : o.null("last_timestamp_us");
        o.integer("out_of_order", outOfOrder);
        std::string list, events;
        for (int v : values)
            list += (list.empty() ? "" : ", ") + std::to_string(v);
        o.raw("ttl_values", "[" + list + "]");
        for (const NevEvent& ev : first) {
            JsonObject event;
            event.integer("timestamp_us", static_cast<long long>(ev.stamp));
            event.integer("id", ev.id);
            event.integer("ttl", ev.ttl);
            event.text("text", ev.text);
            events += (events.empty() ? "" : ", ") + event.done();
        }
        o.raw("first_events", "[" + events + "]");
        std::printf("%s", o.done().c_str());
        return true;
    }
    std::printf("%s: NEV events\n", path.c_str());
    std::printf("  Opened             %s\n", opened ? datetext(*opened).c_str() : "(missing)");
    std::printf("  Events             %lld", static_cast<long long>(nev.count()));
    if (nev.partial())
        std::printf(", then %d bytes of a partial record (left out)", nev.partialbytes());
    std::printf("\n");
    if (!any)
        return true;
    std::printf("  Time stamps        %llu ... %llu us (%s s from first to last)\n",
                static_cast<unsigned long long>(earliest), static_cast<unsigned long long>(latest),
                real(static_cast<double>(latest - earliest) / 1e6).c_str());
    std::printf("  Out of order       %lld\n", outOfOrder);
    std::printf("  TTL values        ");
    for (std::size_t k = 0; k < values.size() && k < shownTtls; ++k)
        std::printf(" %d", values[k]);
    if (values.size() > shownTtls)
        std::printf(" ... (%d in all)", static_cast<int>(values.size()));
    std::printf("\n  First events\n");
    for (const NevEvent& ev : first)
        std::printf("    %llu us  id %d  TTL %u  %s\n", static_cast<unsigned long long>(ev.stamp), ev.id, ev.ttl,
                    printable(ev.text).c_str());
    return true;
}

// The time stamps and valid-sample counts of every record, read once from
// the first record on; none when a read fails.
std::optional<NcsTiming> scantiming(std::FILE* f, std::int32_t recordSize, long long records, float frequency)
{
    NcsTiming t(1e6 / frequency, ncssamples(recordSize));
    const long long perChunk = std::max(1LL, scanBytes / recordSize);
    std::vector<unsigned char> chunk(static_cast<std::size_t>(perChunk * recordSize));
    if (!seekfile(f, ncsHeaderSize))
        return std::nullopt;
    for (long long done = 0; done < records;) {
        const auto count = static_cast<std::size_t>(std::min(perChunk, records - done));
        if (std::fread(chunk.data(), recordSize, count, f) != count)
            return std::nullopt;
        for (std::size_t k = 0; k < count; ++k) {
            const unsigned char* rec = chunk.data() + k * recordSize;
            t.add(ncstimestamp(rec), ncsvalidsamples(rec));
        }
        done += static_cast<long long>(count);
    }
    return t;
}

bool ncsinfo(const std::string& path, std::FILE* f, std::string_view text, long long size, bool json)
{
    NcsHeader h;
    const NcsKeysFound found = readncsheader(text, h);
    // A recording has its whole header block, and in it some value the converter reads.
    if (size < static_cast<long long>(ncsHeaderSize) ||
        !(found.RecordSize || found.SamplingFrequency || found.ADMaxValue || found.ADChannel)) {
        messagebox(nullptr, textf(kNeither, path.c_str()).c_str(), kFileErrorCaption);
        return false;
    }
    const std::optional<double> microvolts = ncsmicrovolts(text);
    const std::optional<NcsTime> opened = ncsopened(text);
    // Records can be counted only with a usable size, and timed only with a rate.
    const bool sized = found.RecordSize && h.RecordSize > ncsRecordPrefix && h.RecordSize <= ncsMaxRecordSize;
    const long long records = sized ? std::max(0LL, (size - static_cast<long long>(ncsHeaderSize)) / h.RecordSize) : 0;
    const long long rest = sized ? size - static_cast<long long>(ncsHeaderSize) - records * h.RecordSize : 0;
    const bool plausible = found.SamplingFrequency && ncsplausiblerate(h.SamplingFrequency);
    const bool timed = records > 0 && plausible;
    std::optional<NcsTiming> timing;
    if (timed && !(timing = scantiming(f, h.RecordSize, records, h.SamplingFrequency))) {
        messagebox(nullptr, textf(kCouldntRead, path.c_str()).c_str(), kFileErrorCaption);
        return false;
    }
    const double duration = timed ? static_cast<double>(records) * ncssamples(h.RecordSize) / h.SamplingFrequency : 0;

    if (json) {
        JsonObject o;
        o.text("file", path);
        o.text("format", "NCS");
        auto value = [&](const char* key, bool present, double v) { present ? o.number(key, v) : o.null(key); };
        value("RecordSize", found.RecordSize, h.RecordSize);
        value("SamplingFrequency", found.SamplingFrequency, h.SamplingFrequency);
        value("ADMaxValue", found.ADMaxValue, h.ADMaxValue);
        value("ADChannel", found.ADChannel, h.ADChannel);
        value("microvolts_per_step", microvolts.has_value(), microvolts.value_or(0));
        opened ? o.text("opened", datetext(*opened)) : o.null("opened");
        if (sized) {
            o.integer("records", records);
            o.integer("samples_per_record", ncssamples(h.RecordSize));
            o.integer("partial_record_bytes", rest);
        }
        if (timing) {
            o.number("duration_s", duration);
            o.integer("first_timestamp_us", *timing->first);
            o.integer("last_timestamp_us", *timing->last);
            const NcsTiming::Jumps j = timing->jumps();
            o.integer("discontinuities", timing->discontinuities);
            o.number("largest_discontinuity_us", timing->largest);
            o.integer("holes", j.holes);
            o.number("missing_us", j.missing);
            o.number("largest_hole_us", j.largestHole);
            o.integer("backwards", timing->backwards);
            o.number("stepped_back_us", j.back);
            o.integer("short_records", timing->shortRecords);
        }
        std::printf("%s", o.done().c_str());
        return true;
    }
    auto value = [](bool present, const std::string& v) { return present ? v : std::string("(missing)"); };
    std::printf("%s: NCS recording\n", path.c_str());
    std::printf("  RecordSize         %s\n", value(found.RecordSize, std::to_string(h.RecordSize)).c_str());
    std::printf("  SamplingFrequency  %s%s\n", value(found.SamplingFrequency, real(h.SamplingFrequency) + " Hz").c_str(),
                found.SamplingFrequency && !plausible
                    ? textf(kImplausible, ncsMinFrequency, ncsMaxFrequency).c_str()
                    : "");
    std::printf("  ADMaxValue         %s\n", value(found.ADMaxValue, std::to_string(h.ADMaxValue)).c_str());
    std::printf("  ADChannel          %s\n", value(found.ADChannel, std::to_string(h.ADChannel)).c_str());
    std::printf("  Microvolts a step  %s\n", value(microvolts.has_value(), real(microvolts.value_or(0))).c_str());
    std::printf("  Opened             %s\n", value(opened.has_value(), opened ? datetext(*opened) : "").c_str());
    if (!sized)
        return true;
    std::printf("  Records            %lld of %d samples", records, ncssamples(h.RecordSize));
    if (rest > 0)
        std::printf(", then %lld bytes of a partial record", rest);
    std::printf("\n");
    if (!timing)
        return true;
    const NcsTiming& t = *timing;
    std::printf("  Duration           %s s of samples\n", real(duration).c_str());
    std::printf("  Time stamps        %lld ... %lld us (%s s from first to last record)\n",
                static_cast<long long>(*t.first), static_cast<long long>(*t.last),
                real((*t.last - *t.first) / 1e6).c_str());
    const NcsTiming::Jumps j = t.jumps();
    std::printf("  Discontinuities    %lld", t.discontinuities);
    if (t.discontinuities)
        std::printf(" (largest %s s)", real(t.largest / 1e6).c_str());
    std::printf("\n  Holes              %lld", j.holes);
    if (j.holes)
        std::printf(" (%s s missing, the largest %s s)", real(j.missing / 1e6).c_str(), real(j.largestHole / 1e6).c_str());
    std::printf("\n  Backwards          %lld", t.backwards);
    if (j.back > 0)
        std::printf(" (%s s back in all)", real(j.back / 1e6).c_str());
    std::printf("\n");
    std::printf("  Short records      %lld (fewer than %d valid samples)\n", t.shortRecords, t.samples);
    return true;
}

}  // namespace

std::string timingsummary(const NcsTiming& t)
{
    const NcsTiming::Jumps j = t.jumps();
    std::vector<std::string> parts;
    if (j.holes)
        parts.push_back(textf(kHoles, j.holes, real(j.missing / 1e6).c_str(), real(j.largestHole / 1e6).c_str()));
    if (t.backwards)
        parts.push_back(textf(kBackwards, t.backwards,
                              j.back > 0 ? textf(kSteppedBack, real(j.back / 1e6).c_str()).c_str() : ""));
    if (t.shortRecords)
        parts.push_back(textf(kShortRecords, t.samples, t.shortRecords));
    std::string line;
    for (const std::string& p : parts)
        line += (line.empty() ? "" : "; ") + p;
    return line;
}

bool showinfo(const std::string& path, bool json)
{
    FilePtr f = openfile(path, "rb");
    if (!f) {
        messagebox(nullptr, textf(kCouldntOpen, path.c_str()).c_str(), kFileErrorCaption);
        return false;
    }
    const long long size = filesize(f.get());
    std::vector<char> block(ncsHeaderSize);
    std::size_t got = 0;
    if (size >= 0 && seekfile(f.get(), 0))
        got = std::fread(block.data(), 1, block.size(), f.get());
    if (size < 0 || std::ferror(f.get())) {
        messagebox(nullptr, textf(kCouldntRead, path.c_str()).c_str(), kFileErrorCaption);
        return false;
    }
    if (got >= abfHeaderSize && std::memcmp(block.data(), "ABF ", 4) == 0) {
        AbfHeader a;
        std::memcpy(a.bytes.data(), block.data(), abfHeaderSize);
        abfinfo(path, f.get(), size, a, json);
        return true;
    }
    // Event files share the recordings' header form: the name or the header's file type tells them apart.
    const std::string_view text = ncstext(block.data(), got);
    if (text.find("-FileType Event") != std::string_view::npos || hasextension(path, ".nev"))
        return nevinfo(path, json);
    return ncsinfo(path, f.get(), text, size, json);
}
