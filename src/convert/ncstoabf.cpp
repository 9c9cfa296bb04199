#include "convert/ncstoabf.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "convert/abfheader.h"
#include "convert/abftag.h"
#include "convert/interleave.h"
#include "convert/ncsheader.h"
#include "convert/nevfile.h"
#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "platform/fileops.h"

namespace {

constexpr const char* kCouldntWrite = "\nCouldn't write %s";
constexpr const char* kTooManyInputs = "\nAt most %d files can be combined";
constexpr const char* kReplacesInput = "\n%s would replace one of the inputs";
constexpr const char* kNoValue = "\n%s gives no usable %s";
constexpr const char* kImplausibleRate =
    "\n%s: SamplingFrequency %.10g is outside %.10g to %.10g Hz, the rates of real acquisition systems";
constexpr const char* kDiffer = "\n%s and %s differ in %s";
constexpr const char* kNoRecords = "\n%s holds no complete record";
constexpr const char* kPiecesDiffer =
    "\n%s continues in %d files after restarts, %s in %d: the channels cannot be lined up";
constexpr const char* kPieceOrder = "\n%s does not start after the last record of %s, which it should continue";
constexpr const char* kNoClock = "\n%s gives no opening time, which a clock time of the range needs";
constexpr const char* kOutside =
    "\n%s: no record lies in the range%s, counted from the first record; the records span 0 s to %s s";
constexpr const char* kTooLong = "\n%s: too many samples for one ABF file";
constexpr const char* kTimeRange = "\n%s: time stamps out of the range of an ABF file";
constexpr const char* kNoOpening = "\n%s gives no opening time: the start date and time are left 0";
constexpr const char* kUnequal =
    "\nThe inputs differ in length: only the %d records that all of them hold are converted";
constexpr const char* kGrew =
    "\n%s grew during the conversion: only the records it held when the conversion began were converted";
constexpr const char* kStampsDisagree =
    "\nThe combined inputs' time stamps disagree: %s; the synch array holds the stamps of %s, counted from the first "
    "stamp of %s";
constexpr const char* kStampsBy = "%s by up to %s s";
constexpr const char* kResolutions =
    "\nThe combined inputs differ in ADMaxValue: %s; the header holds one resolution, %d, which readers apply to "
    "every channel; --volts gives each channel its own exact scale";
constexpr const char* kResolutionOf = "%s %d";
constexpr const char* kChannel = "channel %d (%s)";
constexpr const char* kEventsLeftOut =
    "\n%s: %lld of its %lld events lie before the first record converted or after the last, and are left out";
constexpr const char* kEventsTooFar =
    "\n%s: %lld of its %lld events lie too far into the pause after a part's last record for its 32-bit tag times, "
    "and are left out";
constexpr const char* kExporting = "Exporting %s to ABF.";
constexpr const char* kWindow = "Window #%d of %d at %s seconds";
constexpr const char* kCreator = "Brackenwey";
constexpr const char* kComment = "Converted from TESSEL";

// Records are read and written this many bytes of input at a time, over
// all channels: large enough for few system calls, small enough that the
// data stays in the processor's cache between reading and writing.
constexpr long long chunkBytes = 512 * 1024;
// Synch entries are gathered this many at a time; more go to a side file
// until the part's data section is complete.
constexpr std::size_t synchBatch = 8192;
// Tags are written this many at a time.
constexpr std::size_t tagBatch = 512;

// One file of a channel: an acquisition that stops and restarts continues
// each channel in a new file.
struct NcsPiece {
    std::string name;
    long long size = 0;
    NcsHeader own;  // this file's values, for the consistency checks
    NcsKeysFound found;
    std::optional<double> microvolts;
    // Of the first and last records converted, read where restarts or a
    // range need them.
    std::int64_t firstStamp = 0, lastStamp = 0;
};

struct NcsInput {
    std::vector<NcsPiece> pieces;  // in time order
    FilePtr file;                  // of the piece being read
    std::optional<std::string> entname;
    std::vector<unsigned char> chunk;

    const NcsPiece& head() const { return pieces.front(); }
    const std::string& name() const { return pieces.front().name; }
};

// A file under construction under a temporary name of its own, beside the
// name it is for: removed unless commit renames it into place. A failed run
// so never leaves a partial file nor destroys an older one, and neither a
// link planted under a foreseeable name nor another run writing the same
// output can make it write anywhere else.
class PendingOutput {
public:
    PendingOutput() = default;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput()
    {
        file.reset();
        if (made_ && !committed_)
            std::remove(temp_.c_str());
    }
    bool open(const std::string& beside)
    {
        file = createunique(beside, temp_);
        made_ = file != nullptr;
        return made_;
    }
    // Flushes and closes the file, keeping it for commit.
    bool close()
    {
        bool ok = std::fflush(file.get()) == 0 && !std::ferror(file.get());
        return std::fclose(file.release()) == 0 && ok;
    }
    bool commit(const std::string& final)
    {
        committed_ = replacefile(temp_, final);
        return committed_;
    }
    FilePtr file;

private:
    std::string temp_;
    bool made_ = false;
    bool committed_ = false;
};

// The output file being written: the whole recording, or one part of it.
struct AbfPart {
    std::unique_ptr<PendingOutput> output;
    std::unique_ptr<PendingOutput> synchFile;  // made only when the entries outgrow memory
    std::int32_t records = 0;
    std::int32_t capacity = 0;  // records it may take
    std::int64_t base = 0;      // elapsed time of its first record
    std::int64_t last = 0;      // and of its last
};

// Where a file's tags lie, in microseconds from the first record: from its
// first record to the end of its last, or on to the next part's first.
struct TagSpan {
    double from, to;
};

// The working state of one run.
struct ConversionJob {
    ConversionJob(const std::string& p, ProgressWindow& pw, const ConvertOptions& o)
        : path(p), progress(pw), options(o)
    {
    }
    const std::string& path;
    ProgressWindow& progress;
    const ConvertOptions& options;
    std::vector<NcsInput> inputs;
    std::vector<std::string> names;  // of every input file, which outlive the files
    NcsHeader header;  // shared values: each file's header overwrites them
    std::optional<NcsTime> opened;
    std::string outputName;
    std::int32_t h = 0;  // samples per record
    std::int32_t records = 0;
    // Per file of the channels, from the first: the records every channel holds.
    std::vector<std::int32_t> pieceRecords;
    bool ranged = false;
    double from = 0, to = 0;  // the range, in microseconds from the first record
    double spanEnd = 0;       // the end of the last record, likewise
    std::int32_t selected = 0;  // records converted
    bool unequal = false;       // channels of unequal length
    std::vector<std::string> grown;
    NevFile events;  // open when the events become tags
    std::vector<TagSpan> spans;  // of the files written so far
    long long eventsLeftOut = 0;
    long long eventsTooFar = 0;  // in a part's span, beyond its tag times' range
    std::int32_t perPart = 0;  // records one file can hold
    AbfHeader abf;
    std::optional<std::int64_t> firstTimestamp;  // a recording may well start at time 0
    std::int64_t elapsed = 0;
    int lastPercent = 0;
    std::vector<NcsTiming> timing;
    // Per input, the largest distance of its stamps from the last input's,
    // in microseconds: the synch array holds only the last input's.
    std::vector<double> skew;
    std::vector<unsigned char> synch;
    std::vector<unsigned char> interleaved;
    AbfPart part;
    std::vector<std::unique_ptr<PendingOutput>> done;  // finished parts, named at the end
    std::vector<std::int32_t> doneRecords;
    bool tooLong = false;

    int fail(const std::string& text)
    {
        messagebox(progress.window, text.c_str(), kFileErrorCaption);
        return 0;
    }
    // Part k's file while it is written: a run learns only at a crossing that it needs parts.
    std::string partfile(std::size_t k) const { return k == 1 ? outputName : partname(outputName, static_cast<int>(k)); }
    std::string finalname(std::size_t k) const
    {
        return done.size() == 1 ? outputName : partname(outputName, static_cast<int>(k));
    }
};

void putsynch(std::vector<unsigned char>& out, std::int32_t start, std::uint32_t length)
{
    unsigned char entry[8];
    for (int i = 0; i < 4; ++i) {
        entry[i] = static_cast<unsigned char>(static_cast<std::uint32_t>(start) >> (8 * i));
        entry[4 + i] = static_cast<unsigned char>(length >> (8 * i));
    }
    out.insert(out.end(), entry, entry + 8);
}

bool writeall(std::FILE* f, const void* data, std::size_t n)
{
    return std::fwrite(data, 1, n, f) == n;
}

bool writezeros(std::FILE* f, std::size_t n)
{
    static const unsigned char zeros[abfBlockSize] = {};
    for (; n > 0; n -= std::min(n, sizeof zeros))
        if (!writeall(f, zeros, std::min(n, sizeof zeros)))
            return false;
    return true;
}

std::size_t blockpad(long long bytes)
{
    return static_cast<std::size_t>((abfBlockSize - bytes % abfBlockSize) % abfBlockSize);
}

// Reads every file's header into the job; false once a failure is shown.
bool readheaders(ConversionJob& job)
{
    std::vector<char> block(ncsHeaderSize);
    // The first files that gave a record size and a frequency, to name in a mismatch.
    const NcsPiece* sizeFrom = nullptr;
    const NcsPiece* rateFrom = nullptr;
    bool resolution = false;
    const ConvertOptions& o = job.options;
    const bool clock = (o.from && o.from->clock) || (o.to && o.to->clock);
    for (std::size_t c = 0; c < job.inputs.size(); ++c) {
        NcsInput& in = job.inputs[c];
        for (NcsPiece& p : in.pieces) {
            FilePtr f = openfile(p.name, "rb");
            if (!f)
                return job.fail(textf(kCouldntOpen, p.name.c_str()));
            p.size = filesize(f.get());
            if (p.size < 0 || !seekfile(f.get(), 0))
                return job.fail(textf(kCouldntRead, p.name.c_str()));
            std::size_t got = std::fread(block.data(), 1, block.size(), f.get());
            if (got < block.size() && std::ferror(f.get()))
                return job.fail(textf(kCouldntRead, p.name.c_str()));
            std::string_view text = ncstext(block.data(), got);
            p.own.ADChannel = static_cast<std::int32_t>(c);  // a channel without a number is named by position
            p.found = readncsheader(text, p.own);
            if (o.volts && !(p.microvolts = ncsmicrovolts(text)))
                return job.fail(textf(kNoValue, p.name.c_str(), "ADBitVolts"));
            const NcsPiece& head = in.head();
            if (&p == &head) {
                if (c == 0 && (o.startTime || clock) && !(job.opened = ncsopened(text)) && o.startTime)
                    messagebox(job.progress.window, textf(kNoOpening, p.name.c_str()).c_str(), kWarningCaption);
                if (o.names)
                    in.entname = ncsentname(text);
            } else {
                // A file that continues a channel must be that channel, at its scale.
                const char* differ = p.found.ADChannel && head.found.ADChannel && p.own.ADChannel != head.own.ADChannel
                                         ? "ADChannel"
                                     : p.found.ADMaxValue != head.found.ADMaxValue || p.own.ADMaxValue != head.own.ADMaxValue
                                         ? "ADMaxValue"
                                     : p.microvolts != head.microvolts ? "ADBitVolts"
                                                                       : nullptr;
                if (differ)
                    return job.fail(textf(kDiffer, head.name.c_str(), p.name.c_str(), differ));
            }

            // A value a header gives must be usable, and the channels of one
            // file share one record layout and sample clock; the resolution
            // alone may differ (the last file's is used).
            const NcsHeader& v = p.own;
            if (p.found.RecordSize) {
                if (v.RecordSize <= ncsRecordPrefix || v.RecordSize > ncsMaxRecordSize)
                    return job.fail(textf(kNoValue, p.name.c_str(), "RecordSize"));
                if (sizeFrom && sizeFrom->own.RecordSize != v.RecordSize)
                    return job.fail(textf(kDiffer, sizeFrom->name.c_str(), p.name.c_str(), "RecordSize"));
                sizeFrom = sizeFrom ? sizeFrom : &p;
                job.header.RecordSize = v.RecordSize;
            }
            if (p.found.SamplingFrequency) {
                if (!ncsplausiblerate(v.SamplingFrequency))
                    return job.fail(textf(kImplausibleRate, p.name.c_str(),
                                          keyvalue(text, *findkey(kwSamplingFrequency, text)), ncsMinFrequency,
                                          ncsMaxFrequency));
                if (rateFrom && rateFrom->own.SamplingFrequency != v.SamplingFrequency)
                    return job.fail(textf(kDiffer, rateFrom->name.c_str(), p.name.c_str(), "SamplingFrequency"));
                rateFrom = rateFrom ? rateFrom : &p;
                job.header.SamplingFrequency = v.SamplingFrequency;
            }
            if (p.found.ADMaxValue) {
                if (v.ADMaxValue <= 0 || v.ADMaxValue == std::numeric_limits<std::int32_t>::max())
                    return job.fail(textf(kNoValue, p.name.c_str(), "ADMaxValue"));
                resolution = true;
                job.header.ADMaxValue = v.ADMaxValue;
            }
        }
    }
    const char* missing = !sizeFrom ? "RecordSize" : !rateFrom ? "SamplingFrequency" : !resolution ? "ADMaxValue" : nullptr;
    if (missing)
        return job.fail(textf(kNoValue, job.inputs.back().name().c_str(), missing));
    return true;
}

// Record count and samples per record; false once a failure is shown.
bool sizes(ConversionJob& job)
{
    const std::int32_t recordSize = job.header.RecordSize;
    job.h = ncssamples(recordSize);
    auto count = [&](const NcsPiece& p) {
        return std::max(0LL, (p.size - static_cast<long long>(ncsHeaderSize)) / recordSize);
    };
    const NcsInput& first = job.inputs.front();
    for (const NcsInput& in : job.inputs)
        if (in.pieces.size() != first.pieces.size())
            return job.fail(textf(kPiecesDiffer, first.name().c_str(), static_cast<int>(first.pieces.size()),
                                  in.name().c_str(), static_cast<int>(in.pieces.size())));
    // The k-th files of the channels hold the same stretch of time: each
    // gives the records all of them hold.
    long long total = 0;
    for (std::size_t k = 0; k < first.pieces.size(); ++k) {
        long long fewest = count(job.inputs.back().pieces[k]);
        for (const NcsInput& in : job.inputs)
            fewest = std::min(fewest, count(in.pieces[k]));
        for (const NcsInput& in : job.inputs)
            job.unequal = job.unequal || count(in.pieces[k]) != fewest;
        job.pieceRecords.push_back(static_cast<std::int32_t>(std::min<long long>(fewest, abfMaxCount)));
        total += fewest;
    }
    auto held = [&](const NcsInput& in) {
        long long n = 0;
        for (const NcsPiece& p : in.pieces)
            n += count(p);
        return n;
    };
    const NcsInput* shortest = &job.inputs.back();
    for (const NcsInput& in : job.inputs)
        if (held(in) < held(*shortest))
            shortest = &in;
    if (total == 0)
        return job.fail(textf(kNoRecords, shortest->name().c_str()));
    const long long perRecord = static_cast<long long>(job.h) * static_cast<long long>(job.inputs.size());
    // A range's record count is known only as it is converted.
    job.ranged = job.options.from || job.options.to;
    job.tooLong = perRecord > job.options.limit ||
                  (total * perRecord > job.options.limit && !job.options.split && !job.ranged);
    // Record counts stay 32-bit however a file is split: lActualEpisodes holds them.
    if (job.tooLong || total > abfMaxCount)
        return job.fail(textf(kTooLong, job.path.c_str()));
    job.records = static_cast<std::int32_t>(total);
    job.perPart = static_cast<std::int32_t>(job.options.limit / perRecord);
    for (std::size_t c = 0; c < job.inputs.size(); ++c)
        job.timing.emplace_back(1000000.0 / job.header.SamplingFrequency, job.h);
    job.skew.assign(job.inputs.size(), 0.0);
    return true;
}

// The first and last converted time stamps of each file, which restarts and
// ranges need; false once a failure is shown.
bool readstamps(ConversionJob& job)
{
    const long long recordSize = job.header.RecordSize;
    for (NcsInput& in : job.inputs) {
        const NcsPiece* before = nullptr;
        for (std::size_t k = 0; k < in.pieces.size(); ++k) {
            NcsPiece& p = in.pieces[k];
            if (job.pieceRecords[k] == 0)
                continue;
            FilePtr f = openfile(p.name, "rb");
            auto stampat = [&](long long record, std::int64_t& stamp) {
                unsigned char bytes[8];
                const bool ok = seekfile(f.get(), static_cast<long long>(ncsHeaderSize) + record * recordSize) &&
                                std::fread(bytes, 1, sizeof bytes, f.get()) == sizeof bytes;
                stamp = ncstimestamp(bytes);
                return ok;
            };
            if (!f)
                return job.fail(textf(kCouldntOpen, p.name.c_str()));
            if (!stampat(0, p.firstStamp) || !stampat(job.pieceRecords[k] - 1, p.lastStamp))
                return job.fail(textf(kCouldntRead, p.name.c_str()));
            if (before && p.firstStamp <= before->lastStamp)
                return job.fail(textf(kPieceOrder, p.name.c_str(), before->name.c_str()));
            before = &p;
        }
    }
    return true;
}

// Microseconds from the first record to the end of the record stamped stamp.
double recordend(const ConversionJob& job, std::int64_t stamp)
{
    return static_cast<double>(stamp) - static_cast<double>(*job.firstTimestamp) +
           job.h * 1e6 / job.header.SamplingFrequency;
}

int failrange(ConversionJob& job)
{
    std::string range;
    if (job.options.from)
        range += textf(" from %.10g s", job.from / 1e6);
    if (job.options.to)
        range += textf(" to %.10g s", job.to / 1e6);
    return job.fail(textf(kOutside, job.path.c_str(), range.c_str(), textf("%.10g", job.spanEnd / 1e6).c_str()));
}

// The range in microseconds from the first record, refused when it lies
// outside the records; false once a failure is shown.
bool resolverange(ConversionJob& job)
{
    std::size_t first = 0, last = job.pieceRecords.size() - 1;
    while (job.pieceRecords[first] == 0)
        ++first;
    while (job.pieceRecords[last] == 0)
        --last;
    job.firstTimestamp = job.inputs.front().pieces[first].firstStamp;
    auto micros = [&](const std::optional<TimeBound>& b, double otherwise) {
        if (!b)
            return otherwise;
        if (!b->clock)
            return b->micros;
        const NcsTime& t = *job.opened;
        return b->micros - daymicros(t.hour, t.minute, t.second, t.millisecond * 1000.0);
    };
    const ConvertOptions& o = job.options;
    if (((o.from && o.from->clock) || (o.to && o.to->clock)) && !job.opened)
        return job.fail(textf(kNoClock, job.inputs.front().name().c_str()));
    const double infinite = std::numeric_limits<double>::infinity();
    job.from = micros(o.from, -infinite);
    job.to = micros(o.to, infinite);
    job.spanEnd = recordend(job, job.inputs.back().pieces[last].lastStamp);
    if (job.from < job.to && job.to > 0 && job.from < job.spanEnd)
        return true;
    return failrange(job);
}

// The opening time plus the elapsed time of a part's first record, in the
// ABF start fields; left 0 when the sum leaves the years a date can show.
void setstart(AbfHeader& a, const NcsTime& t, std::int64_t elapsed)
{
    // Far beyond any recording: corrupt stamps, which no date can show.
    if (elapsed > (1LL << 53) || elapsed < -(1LL << 53))
        return;
    using namespace std::chrono;
    const sys_days day = year{t.year} / t.month / t.day;
    const auto at = day + hours{t.hour} + minutes{t.minute} + seconds{t.second} + milliseconds{t.millisecond} +
                    floor<milliseconds>(microseconds{elapsed});
    const sys_days startDay = floor<days>(at);
    const year_month_day ymd{startDay};
    const int y = static_cast<int>(ymd.year());
    if (!ymd.ok() || y < 1900 || y > 9999)
        return;
    const auto ms = (at - startDay).count();
    a.setint(abf::lFileStartDate, y * 10000 + static_cast<int>(unsigned(ymd.month())) * 100 +
                                      static_cast<int>(unsigned(ymd.day())));
    a.setint(abf::lFileStartTime, static_cast<std::int32_t>(ms / 1000));
    a.setint(abf::nFileStartMillisecs, static_cast<std::int32_t>(ms % 1000));
}

// The header of a file of the given number of records.
void fillheader(ConversionJob& job, std::int32_t records)
{
    using namespace abf;
    AbfHeader& a = job.abf;
    const int n = static_cast<int>(job.inputs.size());
    const std::int32_t acq = job.h * records * n;
    abfdefaults(a);
    a.setint(nOperationMode, 3);
    a.setint(lActualEpisodes, records);
    a.setint(lNumSamplesPerEpisode, job.h * n);
    a.setint(lSamplesPerTrace, job.h);
    a.setint(lActualAcqLength, acq);
    a.setreal(fADCSampleInterval, static_cast<float>(1000000.0 / n / job.header.SamplingFrequency));
    a.setint(lADCResolution, job.header.ADMaxValue + 1);
    a.setint(nADCNumChannels, n);
    a.setreal(fADCRange, 10.0f);
    for (int c = 0; c < n; ++c) {
        const NcsInput& in = job.inputs[c];
        const NcsPiece& head = in.head();
        a.setreal(fInstrumentScaleFactor, 1.0f, c);
        a.settext(sADCUnits, "mV", c);
        // Readers show a sample times fADCRange / lADCResolution / fInstrumentScaleFactor.
        if (head.microvolts) {
            const double resolution = a.getint(lADCResolution);
            a.setreal(fInstrumentScaleFactor, static_cast<float>(a.getreal(fADCRange) / resolution / *head.microvolts), c);
            a.settext(sADCUnits, "uV", c);
        }
        if (job.options.names && in.entname)
            a.settext(sADCChannelName, abfascii(*in.entname) + std::string(sADCChannelName.width, ' '), c);
        else
            a.settext(sADCChannelName, textf("EEG Ch %d     ", head.own.ADChannel), c);
        a.setint(nADCSamplingSeq, c, c);
        a.setint(nADCPtoLChannelMap, c, c);
    }
    if (job.options.startTime && job.opened)
        setstart(a, *job.opened, job.part.base);
    // The data section is padded to whole blocks, so this names the block
    // where the synch array starts whatever the record size.
    const long long dataBytes = 2LL * acq;
    a.setint(lSynchArrayPtr, static_cast<std::int32_t>((dataBytes + abfBlockSize - 1) / abfBlockSize + 12));
    a.setint(lSynchArraySize, records);
}

// Starts part k (from 1): a temporary file named after its final name.
bool openpart(ConversionJob& job, std::size_t k)
{
    job.part.output = std::make_unique<PendingOutput>();
    // Whole chunks go straight to the system; a stream buffer would only add a copy.
    if (!job.part.output->open(job.partfile(k)) || std::setvbuf(job.part.output->file.get(), nullptr, _IONBF, 0) != 0)
        return job.fail(textf(kCouldntOpen, job.partfile(k).c_str()));
    return true;
}

// Writes the provisional header of the open part, which starts at record first.
bool beginpart(ConversionJob& job, std::int32_t first, std::int64_t base)
{
    job.part.records = 0;
    job.part.capacity = std::min(job.records - first, job.perPart);
    job.part.base = base;
    fillheader(job, job.part.capacity);
    if (!writeall(job.part.output->file.get(), job.abf.bytes.data(), job.abf.bytes.size()))
        return job.fail(textf(kCouldntWrite, job.partfile(job.done.size() + 1).c_str()));
    return true;
}

// Moves the gathered synch entries to the side file.
bool flushsynch(ConversionJob& job)
{
    AbfPart& p = job.part;
    if (!p.synchFile) {
        p.synchFile = std::make_unique<PendingOutput>();
        if (!p.synchFile->open(job.outputName + ".synch"))
            return false;
    }
    bool ok = writeall(p.synchFile->file.get(), job.synch.data(), job.synch.size());
    job.synch.clear();
    return ok;
}

bool copyfile(std::FILE* from, std::FILE* to)
{
    std::vector<unsigned char> buffer(64 * 1024);
    if (std::fflush(from) != 0 || !seekfile(from, 0))
        return false;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), from)) > 0)
        if (!writeall(to, buffer.data(), got))
            return false;
    return !std::ferror(from);
}

// The tags of the events in the open part's span, written at the end of
// its file, each at its time in the synch array's unit and origin; counts
// those too far for a tag time and, with last, those that no file's span
// holds. The events are streamed, never held. Returns the count written, -1
// on a failure.
long long writetags(ConversionJob& job, std::optional<std::int64_t> next, bool last)
{
    AbfPart& p = job.part;
    const double duration = job.h * 1e6 / job.header.SamplingFrequency;
    const double first = static_cast<double>(*job.firstTimestamp);
    // A hole where a part ends belongs to it: its events keep their true times.
    const double end = static_cast<double>(p.last) + duration;
    job.spans.push_back({static_cast<double>(p.base), next ? std::fmax(end, static_cast<double>(*next)) : end});
    const TagSpan span = job.spans.back();
    const double interval = job.abf.getreal(abf::fADCSampleInterval);
    const std::uint64_t origin = static_cast<std::uint64_t>(*job.firstTimestamp) + static_cast<std::uint64_t>(p.base);
    std::vector<unsigned char> tags;
    tags.reserve(tagBatch * abfTagSize);
    long long written = 0;
    if (!job.events.rewind())
        return -1;
    // Straight from each record's bytes into its tag: no event is decoded whole.
    while (const unsigned char* record = job.events.nextrecord()) {
        const std::uint64_t stamp = nevstamp(record);
        const double at = static_cast<double>(stamp) - first;
        if (at >= span.from && at < span.to) {
            // Exact in 64 bits within the span; divided as the synch starts are.
            const double time = std::trunc(static_cast<double>(static_cast<std::int64_t>(stamp - origin)) / interval);
            if (time >= 0 && time <= job.options.limit) {
                puttag(tags, static_cast<std::int32_t>(time), nevtext(record));
                ++written;
            } else {
                ++job.eventsTooFar;
            }
        } else if (last && std::none_of(job.spans.begin(), job.spans.end(), [&](const TagSpan& s) {
                       return at >= s.from && at < s.to;
                   })) {
            ++job.eventsLeftOut;
        }
        if (tags.size() == tagBatch * abfTagSize) {
            if (!writeall(p.output->file.get(), tags.data(), tags.size()))
                return -1;
            tags.clear();
        }
    }
    if (job.events.failed() || !writeall(p.output->file.get(), tags.data(), tags.size()) ||
        !writezeros(p.output->file.get(), blockpad(written * static_cast<long long>(abfTagSize))))
        return -1;
    return written;
}

// Completes the open part: padding, synch array, tags and final header; it
// is named when the run knows how many parts there are. next: the elapsed
// time of the next part's first record; none for the last part.
bool endpart(ConversionJob& job, std::optional<std::int64_t> next = std::nullopt)
{
    AbfPart& p = job.part;
    std::FILE* out = p.output->file.get();
    const long long dataBytes = 2LL * p.records * job.h * static_cast<long long>(job.inputs.size());
    const long long synchBytes = (static_cast<long long>(p.records) + 63) / 64 * abfBlockSize;
    bool ok = writezeros(out, blockpad(dataBytes));
    if (p.synchFile)
        ok = ok && flushsynch(job) && copyfile(p.synchFile->file.get(), out);
    else
        ok = ok && writeall(out, job.synch.data(), job.synch.size());
    job.synch.clear();
    p.synchFile.reset();
    ok = ok && writezeros(out, static_cast<std::size_t>(synchBytes - 8LL * p.records));
    const long long tags = ok && job.events.count() > 0 ? writetags(job, next, !next) : 0;
    ok = ok && tags >= 0;

    using namespace abf;
    fillheader(job, p.records);
    AbfHeader& a = job.abf;
    const long long end = static_cast<long long>(abfHeaderSize) + dataBytes + static_cast<long long>(blockpad(dataBytes)) + synchBytes;
    a.setint(lTagSectionPtr, static_cast<std::int32_t>(end / static_cast<long long>(abfBlockSize)));
    a.setint(lNumTagEntries, static_cast<std::int32_t>(tags));
    std::array<char, 56> comment{};
    std::memcpy(comment.data(), kComment, std::strlen(kComment));
    a.settext(sFileComment, {comment.data(), comment.size()});
    std::array<char, 11> creator{};
    std::memcpy(creator.data(), kCreator, std::strlen(kCreator));
    a.settext(sCreatorInfo, {creator.data(), creator.size()});
    ok = ok && seekfile(out, 0) && writeall(out, a.bytes.data(), a.bytes.size()) && p.output->close();
    if (!ok)
        return job.fail(textf(kCouldntWrite, job.partfile(job.done.size() + 1).c_str()));
    job.done.push_back(std::move(p.output));
    job.doneRecords.push_back(p.records);
    return true;
}

void report(ConversionJob& job, int r)
{
    const int last = job.records - 1;
    // One record alone divides 0 by 0; it reports completion.
    int p = last == 0 ? 100 : static_cast<int>(100.0 * r / last + 0.9);
    if (p == job.lastPercent && r != last)
        return;
    ProgressWindow& pw = job.progress;
    pw.percentage = p;
    pw.secondLine = textf(kWindow, r + 1, job.records,
                          numshort(static_cast<float>(job.elapsed / 1000000.0), 4).c_str());
    progupdate(pw);
    job.lastPercent = p;
}

// Opens file k of every channel at its first record.
bool openpieces(ConversionJob& job, std::size_t k)
{
    for (std::size_t c = 0; c < job.inputs.size(); ++c) {
        NcsInput& in = job.inputs[c];
        const std::string& name = in.pieces[k].name;
        // Read-only: recordings are never modified and often sit on read-only media.
        in.file = openfile(name, "rb");
        if (!in.file)
            return job.fail(textf(kCouldntOpen, name.c_str()));
        std::setvbuf(in.file.get(), nullptr, _IONBF, 0);
        if (!seekfile(in.file.get(), ncsHeaderSize))
            return job.fail(textf(kCouldntRead, name.c_str()));
        if (k > 0)
            job.timing[c].restart();
    }
    return true;
}

// Closes file k of every channel, noting those that grew: an acquisition may
// still be writing, and what came after the sizes were taken is not in the
// output.
void closepieces(ConversionJob& job, std::size_t k)
{
    for (NcsInput& in : job.inputs) {
        if (filesize(in.file.get()) > in.pieces[k].size)
            job.grown.push_back(in.pieces[k].name);
        in.file.reset();
    }
}

// Reads count records of the open file of in, or with skip passes over them
// to the record at next.
bool readchunk(ConversionJob& job, NcsInput& in, std::size_t k, int count, bool skip, long long next)
{
    const std::int32_t recordSize = job.header.RecordSize;
    const bool ok = skip ? seekfile(in.file.get(), static_cast<long long>(ncsHeaderSize) + next * recordSize)
                         : std::fread(in.chunk.data(), recordSize, count, in.file.get()) == static_cast<std::size_t>(count);
    return ok || job.fail(textf(kCouldntRead, in.pieces[k].name.c_str()));
}

// Copies the records, interleaved, and their synch entries, starting a new
// part where one file can take no more; false once a failure is shown.
bool copyrecords(ConversionJob& job)
{
    const int n = static_cast<int>(job.inputs.size());
    const std::int32_t recordSize = job.header.RecordSize;
    const std::int32_t h = job.h;
    const int perChunk = static_cast<int>(std::max<long long>(1, chunkBytes / n / recordSize));
    const double interval = job.abf.getreal(abf::fADCSampleInterval);
    const std::uint32_t length = static_cast<std::uint32_t>(h * n);
    const std::size_t recordBytes = static_cast<std::size_t>(h) * n * 2;
    const double limit = job.options.limit;
    const double duration = h * 1e6 / job.header.SamplingFrequency;

    for (NcsInput& in : job.inputs)
        in.chunk.resize(static_cast<std::size_t>(perChunk) * recordSize);
    job.interleaved.resize(perChunk * recordBytes);
    job.synch.reserve(synchBatch * 8);
    std::vector<char> keep(perChunk, 1);
    // Modular, so that corrupt time stamps cannot overflow; the range checks reject them.
    const auto since = [](std::int64_t stamp, std::int64_t origin) {
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(stamp) - static_cast<std::uint64_t>(origin));
    };
    NcsInput& last = job.inputs.back();

    int r = 0;  // records gone through, over all files
    for (std::size_t piece = 0; piece < job.pieceRecords.size(); ++piece) {
        const int inPiece = job.pieceRecords[piece];
        if (inPiece == 0)
            continue;
        if (!openpieces(job, piece))
            return false;
        for (int first = 0; first < inPiece; first += perChunk) {
            const int count = std::min(perChunk, inPiece - first);
            // The last input's stamps make the synch array, and so decide
            // which records a range keeps.
            if (!readchunk(job, last, piece, count, false, 0))
                return false;
            bool any = true;
            if (job.ranged) {
                any = false;
                for (int k = 0; k < count; ++k) {
                    const double at = static_cast<double>(
                        since(ncstimestamp(last.chunk.data() + static_cast<std::size_t>(k) * recordSize), *job.firstTimestamp));
                    keep[k] = at < job.to && at + duration > job.from;
                    any = any || keep[k];
                }
            }
            for (int c = 0; c + 1 < n; ++c)
                if (!readchunk(job, job.inputs[c], piece, count, !any, first + count))
                    return false;

            int held = 0;     // records of the chunk in the interleave buffer
            int written = 0;  // of those, the ones already in a file
            for (int k = 0; k < count; ++k, ++r) {
                if (!keep[k]) {
                    job.elapsed = since(ncstimestamp(last.chunk.data() + static_cast<std::size_t>(k) * recordSize),
                                        *job.firstTimestamp);
                    report(job, r);
                    continue;
                }
                const unsigned char* samples[maxInputs];
                std::int64_t stamps[maxInputs];
                for (int c = 0; c < n; ++c) {
                    const unsigned char* rec = job.inputs[c].chunk.data() + static_cast<std::size_t>(k) * recordSize;
                    const std::int64_t stamp = stamps[c] = ncstimestamp(rec);
                    job.timing[c].add(stamp, ncsvalidsamples(rec));
                    if (!job.firstTimestamp)
                        job.firstTimestamp = stamp;
                    job.elapsed = since(stamp, *job.firstTimestamp);
                    samples[c] = rec + ncsRecordPrefix;
                }
                for (int c = 0; c + 1 < n; ++c) {
                    const double apart = std::fabs(static_cast<double>(stamps[c]) - static_cast<double>(stamps[n - 1]));
                    job.skew[c] = std::fmax(job.skew[c], apart);
                }
                interleave(job.interleaved.data() + held * recordBytes, samples, n, h);
                // A range's file starts with its first record, as a part does.
                if (job.ranged && job.selected == 0)
                    job.part.base = job.elapsed;
                // Start of the record in sample intervals since its part's first
                // record, from the last input's time stamp.
                const auto startof = [&] { return std::trunc(static_cast<double>(since(job.elapsed, job.part.base)) / interval); };
                double start = startof();
                const bool outside = !(start >= -limit - 1 && start <= limit);
                if (outside || job.part.records == job.part.capacity) {
                    if (!job.options.split) {
                        job.tooLong = true;
                        return job.fail(textf(outside ? kTimeRange : kTooLong, job.path.c_str()));
                    }
                    if (!writeall(job.part.output->file.get(), job.interleaved.data() + written * recordBytes,
                                  (held - written) * recordBytes))
                        return job.fail(textf(kCouldntWrite, job.partfile(job.done.size() + 1).c_str()));
                    written = held;
                    if (!endpart(job, job.elapsed) || !openpart(job, job.done.size() + 1) ||
                        !beginpart(job, r, job.elapsed))
                        return false;
                    start = startof();
                }
                putsynch(job.synch, static_cast<std::int32_t>(start), length);
                job.part.last = job.elapsed;
                ++job.part.records;
                ++job.selected;
                ++held;
                report(job, r);
            }
            if (!writeall(job.part.output->file.get(), job.interleaved.data() + written * recordBytes,
                          (held - written) * recordBytes))
                return job.fail(textf(kCouldntWrite, job.partfile(job.done.size() + 1).c_str()));
            if (job.synch.size() >= synchBatch * 8 && !flushsynch(job))
                return job.fail(textf(kCouldntWrite, job.partfile(job.done.size() + 1).c_str()));
        }
        closepieces(job, piece);
    }
    return job.selected > 0 || failrange(job);
}

}  // namespace

std::string abfname(const std::string& path, const std::string& outputdir)
{
    // Only the last component's extension counts: a dot in a folder name
    // must not move the output elsewhere.
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    std::string name = (dot != std::string::npos && dot >= base) ? path.substr(0, dot) : path;
    name += ".abf";
    if (outputdir.empty())
        return name;
    std::string dir = outputdir;
    if (dir.find_last_of("/\\") != dir.size() - 1)
        dir += '/';
    return dir + name.substr(base);
}

namespace {

// "a, b, c" of the texts.
std::string listed(const std::vector<std::string>& texts)
{
    std::string list;
    for (const std::string& t : texts)
        list += (list.empty() ? "" : ", ") + t;
    return list;
}

// What a combined file cannot show of its inputs: the stamps of any but the
// last (only the last input's reach the synch array), and more than one
// resolution.
void warncombined(const ConversionJob& job)
{
    const int n = static_cast<int>(job.inputs.size());
    auto channel = [&](int c) { return textf(kChannel, c, job.inputs[c].name().c_str()); };
    std::vector<std::string> off;
    const double tolerance = 0.5 * 1e6 / job.header.SamplingFrequency;
    for (int c = 0; c + 1 < n; ++c)
        if (job.skew[c] > tolerance)
            off.push_back(
                textf(kStampsBy, channel(c).c_str(), numshort(static_cast<float>(job.skew[c] / 1e6), 4).c_str()));
    if (!off.empty())
        messagebox(job.progress.window,
                   textf(kStampsDisagree, listed(off).c_str(), channel(n - 1).c_str(), channel(0).c_str()).c_str(),
                   kWarningCaption);

    std::vector<std::string> maxima;
    bool differ = false;
    for (int c = 0; c < n; ++c)
        if (job.inputs[c].head().found.ADMaxValue) {
            maxima.push_back(textf(kResolutionOf, channel(c).c_str(), job.inputs[c].head().own.ADMaxValue));
            differ = differ || job.inputs[c].head().own.ADMaxValue != job.header.ADMaxValue;
        }
    if (differ && !job.options.volts)
        messagebox(job.progress.window, textf(kResolutions, listed(maxima).c_str(), job.header.ADMaxValue + 1).c_str(),
                   kWarningCaption);
}

int runjob(ConversionJob& job, const FileSelection& block, const std::string& outputdir)
{
    // With separate files each run converts only the file it is given.
    const bool separate = block.nfiles() > 1 && (block.combine & 0xff) == 'N';
    std::vector<std::string> firsts = separate ? std::vector<std::string>{job.path} : block.files;
    if (firsts.empty())
        firsts.push_back(job.path);
    if (static_cast<int>(firsts.size()) > maxInputs)
        return job.fail(textf(kTooManyInputs, maxInputs));
    for (std::size_t c = 0; c < firsts.size(); ++c) {
        const auto at = separate ? std::find(block.files.begin(), block.files.end(), job.path) - block.files.begin()
                                 : static_cast<std::ptrdiff_t>(c);
        NcsInput& in = job.inputs.emplace_back();
        in.pieces.emplace_back().name = firsts[c];
        if (at < static_cast<std::ptrdiff_t>(block.continued.size()))
            for (const std::string& name : block.continued[at])
                in.pieces.emplace_back().name = name;
        for (const NcsPiece& p : in.pieces)
            job.names.push_back(p.name);
    }

    job.outputName = abfname(job.path, outputdir);
    for (const std::string& name : job.names)
        if (!openfile(name, "rb"))
            return job.fail(textf(kCouldntOpen, name.c_str()));
    for (const std::string& name : job.names)
        if (samefile(name, job.outputName))
            return job.fail(textf(kReplacesInput, job.outputName.c_str()));
    std::string problem;
    if (!job.options.events.empty() && !job.events.open(job.options.events, problem))
        return job.fail(problem);
    if (!openpart(job, 1))
        return 0;

    job.progress.firstLine = textf(kExporting, job.path.c_str());
    job.progress.outputName = job.outputName;

    const bool stamps = job.options.from || job.options.to || job.inputs.front().pieces.size() > 1;
    if (!readheaders(job) || !sizes(job) || (stamps && !readstamps(job)) || (job.ranged && !resolverange(job)))
        return 0;
    // A channel cut short would repeat stale samples; stop where the shortest ends.
    if (job.unequal)
        messagebox(job.progress.window, textf(kUnequal, job.records).c_str(), kWarningCaption);
    if (!beginpart(job, 0, 0) || !copyrecords(job) || !endpart(job))
        return 0;
    for (NcsInput& in : job.inputs)
        in.chunk = {};
    job.interleaved = {};

    const std::size_t parts = job.done.size();
    for (std::size_t k = 1; k <= parts; ++k)
        for (const std::string& input : job.names)
            if (samefile(input, job.finalname(k)))
                return job.fail(textf(kReplacesInput, job.finalname(k).c_str()));
    for (std::size_t k = 1; k <= parts; ++k) {
        const std::string name = job.finalname(k);
        if (!job.done[k - 1]->commit(name))
            return job.fail(textf(kCouldntWrite, name.c_str()));
    }
    for (const std::string& name : job.grown)
        messagebox(job.progress.window, textf(kGrew, name.c_str()).c_str(), kWarningCaption);
    for (const auto& [text, count] : {std::pair{kEventsLeftOut, job.eventsLeftOut}, {kEventsTooFar, job.eventsTooFar}})
        if (count)
            messagebox(job.progress.window,
                       textf(text, job.options.events.c_str(), count, static_cast<long long>(job.events.count())).c_str(),
                       kWarningCaption);
    warncombined(job);
    return job.selected;
}

}  // namespace

std::string partname(const std::string& name, int part)
{
    const std::string suffix = ".abf";
    const bool abf = name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string stem = abf ? name.substr(0, name.size() - suffix.size()) : name;
    return stem + "_part" + std::to_string(part) + suffix;
}

int ncstoabf(const FileSelection& block, const std::string& path, ProgressWindow& progress,
             const std::string& outputdir, const ConvertOptions& options, ConvertOutcome* outcome)
{
    ConversionJob job(path, progress, options);
    const int records = runjob(job, block, outputdir);
    if (outcome) {
        outcome->parts.clear();
        for (std::size_t k = 0; records && k < job.done.size(); ++k)
            outcome->parts.push_back({job.finalname(k + 1), job.doneRecords[k]});
        outcome->timing = job.timing;
        outcome->tooLong = job.tooLong;
    }
    return records;
}
