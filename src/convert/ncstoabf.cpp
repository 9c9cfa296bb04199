#include "convert/ncstoabf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "convert/abfheader.h"
#include "convert/interleave.h"
#include "convert/ncsheader.h"
#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "platform/fileops.h"

namespace {

constexpr const char* kCouldntWrite = "\nCouldn't write %s";
constexpr const char* kTooManyInputs = "\nAt most %d files can be combined";
constexpr const char* kReplacesInput = "\n%s would replace one of the inputs";
constexpr const char* kNoValue = "\n%s gives no usable %s";
constexpr const char* kDiffer = "\n%s and %s differ in %s";
constexpr const char* kNoRecords = "\n%s holds no complete record";
constexpr const char* kTooLong = "\n%s: too many samples for one ABF file";
constexpr const char* kTimeRange = "\n%s: time stamps out of the range of an ABF file";
constexpr const char* kWarningCaption = "Warning";
constexpr const char* kUnequal =
    "\nThe inputs differ in length: only the %d records that all of them hold are converted";
constexpr const char* kExporting = "Exporting %s to ABF.";
constexpr const char* kWindow = "Window #%d of %d at %s seconds";
constexpr const char* kCreator = "Brackenwey";
constexpr const char* kComment = "Converted from TESSEL";

// Records are read and written this many bytes of input at a time, over
// all channels: large enough for few system calls, small enough that the
// data stays in the processor's cache between reading and writing.
constexpr long long chunkBytes = 512 * 1024;
// Synch entries are gathered this many at a time before they are put in
// place after the data section.
constexpr std::size_t synchBatch = 8192;
// Records longer than this are not NCS records: 32768 samples.
constexpr std::int32_t maxRecordSize = ncsRecordPrefix + 2 * 32768;

struct NcsInput {
    std::string name;
    FilePtr file;
    long long size = 0;
    NcsHeader own;  // this file's values, for the consistency checks
    NcsKeysFound found;
    std::vector<unsigned char> chunk;
};

// An output under construction: a temporary file beside its final name,
// removed unless commit renames it into place. A failed run so never leaves
// a partial file nor destroys an older one.
class PendingOutput {
public:
    explicit PendingOutput(std::string final) : final_(std::move(final)), temp_(final_ + ".tmp") {}
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput()
    {
        if (file) {
            file.reset();
            std::remove(temp_.c_str());
        }
    }
    bool open()
    {
        file = openfile(temp_, "wb");
        // Whole chunks go straight to the system; a stream buffer would only add a copy.
        return file && std::setvbuf(file.get(), nullptr, _IONBF, 0) == 0;
    }
    bool commit()
    {
        bool ok = std::fflush(file.get()) == 0 && !std::ferror(file.get());
        ok = std::fclose(file.release()) == 0 && ok;
        if (!ok || !replacefile(temp_, final_)) {
            std::remove(temp_.c_str());
            return false;
        }
        return true;
    }
    FilePtr file;

private:
    std::string final_;
    std::string temp_;
};

// The working state of one run.
struct ConversionJob {
    ConversionJob(const std::string& p, ProgressWindow& pw) : path(p), progress(pw) {}
    const std::string& path;
    ProgressWindow& progress;
    std::vector<NcsInput> inputs;
    NcsHeader header;  // shared values: each file's header overwrites them
    std::string outputName;
    std::int32_t h = 0;  // samples per record
    std::int32_t records = 0;
    AbfHeader abf;
    std::optional<std::int64_t> firstTimestamp;  // a recording may well start at time 0
    std::int64_t elapsed = 0;
    int lastPercent = 0;
    long long synchStart = 0;  // file position of the synch array
    long long synchPos = 0;    // file position of the next synch entry
    std::vector<unsigned char> synch;
    std::vector<unsigned char> interleaved;

    int fail(const std::string& text)
    {
        messagebox(progress.window, text.c_str(), kFileErrorCaption);
        return 0;
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

// Reads each input's header into the job; false once a failure is shown.
bool readheaders(ConversionJob& job)
{
    std::vector<char> block(ncsHeaderSize);
    // The first inputs that gave a record size and a frequency, to name in a mismatch.
    const NcsInput* sizeFrom = nullptr;
    const NcsInput* rateFrom = nullptr;
    bool resolution = false;
    for (std::size_t c = 0; c < job.inputs.size(); ++c) {
        NcsInput& in = job.inputs[c];
        in.size = filesize(in.file.get());
        if (in.size < 0 || !seekfile(in.file.get(), 0))
            return job.fail(textf(kCouldntRead, in.name.c_str()));
        std::size_t got = std::fread(block.data(), 1, block.size(), in.file.get());
        if (got < block.size() && std::ferror(in.file.get()))
            return job.fail(textf(kCouldntRead, in.name.c_str()));
        std::string_view text = ncstext(block.data(), got);
        in.own.ADChannel = static_cast<std::int32_t>(c);  // a channel without a number is named by position
        in.found = readncsheader(text, in.own);

        // A value a header gives must be usable, and the channels of one
        // file share one record layout and sample clock; the resolution
        // alone may differ (the last file's is used).
        const NcsHeader& v = in.own;
        if (in.found.RecordSize) {
            if (v.RecordSize <= ncsRecordPrefix || v.RecordSize > maxRecordSize)
                return job.fail(textf(kNoValue, in.name.c_str(), "RecordSize"));
            if (sizeFrom && sizeFrom->own.RecordSize != v.RecordSize)
                return job.fail(textf(kDiffer, sizeFrom->name.c_str(), in.name.c_str(), "RecordSize"));
            sizeFrom = sizeFrom ? sizeFrom : &in;
            job.header.RecordSize = v.RecordSize;
        }
        if (in.found.SamplingFrequency) {
            if (!std::isfinite(v.SamplingFrequency) || v.SamplingFrequency <= 0.0f)
                return job.fail(textf(kNoValue, in.name.c_str(), "SamplingFrequency"));
            if (rateFrom && rateFrom->own.SamplingFrequency != v.SamplingFrequency)
                return job.fail(textf(kDiffer, rateFrom->name.c_str(), in.name.c_str(), "SamplingFrequency"));
            rateFrom = rateFrom ? rateFrom : &in;
            job.header.SamplingFrequency = v.SamplingFrequency;
        }
        if (in.found.ADMaxValue) {
            if (v.ADMaxValue <= 0 || v.ADMaxValue == std::numeric_limits<std::int32_t>::max())
                return job.fail(textf(kNoValue, in.name.c_str(), "ADMaxValue"));
            resolution = true;
            job.header.ADMaxValue = v.ADMaxValue;
        }
    }
    const char* missing = !sizeFrom ? "RecordSize" : !rateFrom ? "SamplingFrequency" : !resolution ? "ADMaxValue" : nullptr;
    if (missing)
        return job.fail(textf(kNoValue, job.inputs.back().name.c_str(), missing));
    return true;
}

// Record count and samples per record; false once a failure is shown.
bool sizes(ConversionJob& job)
{
    const std::int32_t recordSize = job.header.RecordSize;
    job.h = ncssamples(recordSize);
    auto count = [&](const NcsInput& in) {
        return std::max(0LL, (in.size - static_cast<long long>(ncsHeaderSize)) / recordSize);
    };
    const NcsInput* shortest = &job.inputs.back();
    for (const NcsInput& in : job.inputs)
        if (count(in) < count(*shortest))
            shortest = &in;
    const long long fewest = count(*shortest);
    if (fewest == 0)
        return job.fail(textf(kNoRecords, shortest->name.c_str()));
    const long long samples = fewest * job.h * static_cast<long long>(job.inputs.size());
    if (samples > std::numeric_limits<std::int32_t>::max())
        return job.fail(textf(kTooLong, job.path.c_str()));
    job.records = static_cast<std::int32_t>(fewest);
    // A channel cut short would repeat stale samples; stop where the shortest ends.
    if (std::any_of(job.inputs.begin(), job.inputs.end(), [&](const NcsInput& in) { return count(in) != fewest; }))
        messagebox(job.progress.window, textf(kUnequal, job.records).c_str(), kWarningCaption);
    return true;
}

void fillheader(ConversionJob& job)
{
    using namespace abf;
    AbfHeader& a = job.abf;
    const int n = static_cast<int>(job.inputs.size());
    const std::int32_t acq = job.h * job.records * n;
    abfdefaults(a);
    a.setint(nOperationMode, 3);
    a.setint(lActualEpisodes, job.records);
    a.setint(lNumSamplesPerEpisode, job.h * n);
    a.setint(lSamplesPerTrace, job.h);
    a.setint(lActualAcqLength, acq);
    a.setreal(fADCSampleInterval, static_cast<float>(1000000.0 / n / job.header.SamplingFrequency));
    a.setint(lADCResolution, job.header.ADMaxValue + 1);
    a.setint(nADCNumChannels, n);
    a.setreal(fADCRange, 10.0f);
    for (int c = 0; c < n; ++c) {
        a.setreal(fInstrumentScaleFactor, 1.0f, c);
        a.settext(sADCUnits, "mV", c);
        a.settext(sADCChannelName, textf("EEG Ch %d     ", job.inputs[c].own.ADChannel), c);
        a.setint(nADCSamplingSeq, c, c);
        a.setint(nADCPtoLChannelMap, c, c);
    }
    // The data section is padded to whole blocks, so this names the block
    // where the synch array starts whatever the record size.
    const long long dataBytes = 2LL * acq;
    a.setint(lSynchArrayPtr, static_cast<std::int32_t>((dataBytes + abfBlockSize - 1) / abfBlockSize + 12));
    a.setint(lSynchArraySize, job.records);
}

// Puts the gathered synch entries in place after the data section and
// returns to where the data continues.
bool flushsynch(ConversionJob& job, std::FILE* out)
{
    if (job.synch.empty())
        return true;
    long long back = tellfile(out);
    bool ok = back >= 0 && seekfile(out, job.synchPos) && writeall(out, job.synch.data(), job.synch.size()) &&
              seekfile(out, back);
    job.synchPos += static_cast<long long>(job.synch.size());
    job.synch.clear();
    return ok;
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

// Copies the records, interleaved, and their synch entries; false once a
// failure is shown.
bool copyrecords(ConversionJob& job, std::FILE* out)
{
    const int n = static_cast<int>(job.inputs.size());
    const std::int32_t recordSize = job.header.RecordSize;
    const std::int32_t h = job.h;
    const int perChunk = static_cast<int>(std::max<long long>(1, chunkBytes / n / recordSize));
    const double interval = job.abf.getreal(abf::fADCSampleInterval);
    const std::uint32_t length = static_cast<std::uint32_t>(h * n);

    for (NcsInput& in : job.inputs)
        in.chunk.resize(static_cast<std::size_t>(perChunk) * recordSize);
    job.interleaved.resize(static_cast<std::size_t>(perChunk) * h * n * 2);
    job.synch.reserve(synchBatch * 8);

    for (int first = 0; first < job.records; first += perChunk) {
        const int count = std::min(perChunk, job.records - first);
        for (NcsInput& in : job.inputs)
            if (std::fread(in.chunk.data(), recordSize, count, in.file.get()) != static_cast<std::size_t>(count))
                return job.fail(textf(kCouldntRead, in.name.c_str()));

        for (int k = 0; k < count; ++k) {
            const unsigned char* samples[maxInputs];
            for (int c = 0; c < n; ++c) {
                const unsigned char* rec = job.inputs[c].chunk.data() + static_cast<std::size_t>(k) * recordSize;
                const std::int64_t stamp = ncstimestamp(rec);
                if (!job.firstTimestamp)
                    job.firstTimestamp = stamp;
                // Modular, so that corrupt time stamps cannot overflow; the range check below rejects them.
                job.elapsed = static_cast<std::int64_t>(static_cast<std::uint64_t>(stamp) -
                                                        static_cast<std::uint64_t>(*job.firstTimestamp));
                samples[c] = rec + ncsRecordPrefix;
            }
            interleave(job.interleaved.data() + static_cast<std::size_t>(k) * h * n * 2, samples, n, h);
            // Start of the record in sample intervals, from the last input's time stamp.
            const double start = std::trunc(static_cast<double>(job.elapsed) / interval);
            if (!(start >= std::numeric_limits<std::int32_t>::min() && start <= std::numeric_limits<std::int32_t>::max()))
                return job.fail(textf(kTimeRange, job.path.c_str()));
            putsynch(job.synch, static_cast<std::int32_t>(start), length);
            report(job, first + k);
        }
        if (!writeall(out, job.interleaved.data(), static_cast<std::size_t>(count) * h * n * 2))
            return job.fail(textf(kCouldntWrite, job.outputName.c_str()));
        if (job.synch.size() >= synchBatch * 8 && !flushsynch(job, out))
            return job.fail(textf(kCouldntWrite, job.outputName.c_str()));
    }
    return true;
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

int ncstoabf(const FileSelection& block, const std::string& path, ProgressWindow& progress,
             const std::string& outputdir)
{
    ConversionJob job(path, progress);
    // With separate files each run converts only the file it is given.
    std::vector<std::string> names =
        (block.nfiles() > 1 && (block.combine & 0xff) == 'N') ? std::vector<std::string>{path} : block.files;
    if (names.empty())
        names.push_back(path);
    if (static_cast<int>(names.size()) > maxInputs)
        return job.fail(textf(kTooManyInputs, maxInputs));

    job.outputName = abfname(path, outputdir);
    for (const std::string& name : names) {
        // Read-only: recordings are never modified and often sit on read-only media.
        FilePtr f = openfile(name, "rb");
        if (!f)
            return job.fail(textf(kCouldntOpen, name.c_str()));
        std::setvbuf(f.get(), nullptr, _IONBF, 0);
        job.inputs.emplace_back().name = name;
        job.inputs.back().file = std::move(f);
    }
    for (const NcsInput& in : job.inputs)
        if (samefile(in.name, job.outputName))
            return job.fail(textf(kReplacesInput, job.outputName.c_str()));
    PendingOutput output(job.outputName);
    if (!output.open())
        return job.fail(textf(kCouldntOpen, job.outputName.c_str()));
    std::FILE* out = output.file.get();

    progress.firstLine = textf(kExporting, path.c_str());
    progress.outputName = job.outputName;

    if (!readheaders(job) || !sizes(job))
        return 0;
    fillheader(job);
    const long long dataBytes = 2LL * job.abf.getint(abf::lActualAcqLength);
    job.synchStart = static_cast<long long>(abfHeaderSize) + dataBytes + static_cast<long long>(blockpad(dataBytes));
    job.synchPos = job.synchStart;
    if (!writeall(out, job.abf.bytes.data(), job.abf.bytes.size()))
        return job.fail(textf(kCouldntWrite, job.outputName.c_str()));

    if (!copyrecords(job, out))
        return 0;
    job.inputs.clear();
    job.interleaved = {};

    const long long synchBytes = (static_cast<long long>(job.records) + 63) / 64 * abfBlockSize;
    const long long end = job.synchStart + synchBytes;
    bool ok = writezeros(out, blockpad(dataBytes)) && flushsynch(job, out) && seekfile(out, job.synchPos) &&
              writezeros(out, static_cast<std::size_t>(end - job.synchPos));

    using namespace abf;
    AbfHeader& a = job.abf;
    a.setint(lTagSectionPtr, static_cast<std::int32_t>(end / static_cast<long long>(abfBlockSize)));
    a.setint(lNumTagEntries, 0);
    std::array<char, 56> comment{};
    std::memcpy(comment.data(), kComment, std::strlen(kComment));
    a.settext(sFileComment, {comment.data(), comment.size()});
    std::array<char, 11> creator{};
    std::memcpy(creator.data(), kCreator, std::strlen(kCreator));
    a.settext(sCreatorInfo, {creator.data(), creator.size()});
    ok = ok && seekfile(out, 0) && writeall(out, a.bytes.data(), a.bytes.size());
    if (!ok || !output.commit())
        return job.fail(textf(kCouldntWrite, job.outputName.c_str()));
    return job.records;
}
