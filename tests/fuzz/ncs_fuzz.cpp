// Arbitrary bytes as an NCS file: the header reader and the whole conversion
// run must neither crash nor leave anything but a consistent ABF file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "convert/ncsheader.h"
#include "convert/ncstoabf.h"
#include "support/ncsbytes.h"
#include "support/recorder.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    NcsHeader header;
    const std::string_view text = ncstext(bytes, size);
    readncsheader(text, header);
    ncsmicrovolts(text);
    ncsopened(text);

    const std::string input = (fuzzworkdir() / "in.ncs").string();
    writebytes(input, std::string(bytes, size));
    FileSelection selection;
    selection.files = {input, input};  // two channels from one file exercise the interleave
    selection.combine = size % 2 ? 'Y' : 'N';
    ProgressWindow progress;
    // The options ride on the input's length, so every path is reached; a
    // small limit makes parts of short inputs.
    ConvertOptions options;
    options.volts = size % 3 == 0;
    options.startTime = size % 5 == 0;
    options.split = size % 7 == 0;
    if (options.split)
        options.limit = 4096;
    options.names = size % 11 == 0;
    // A range from the first bytes; events made of the input's records, so
    // that the first event falls on the first record's time stamp.
    if (size % 13 == 0 && size > 1)
        options.from = TimeBound{data[0] * 1000.0, false}, options.to = TimeBound{data[1] * 1e4, data[1] % 2 == 1};
    if (size % 4 == 0) {
        options.events = (fuzzworkdir() / "in.nev").string();
        const std::size_t from = std::min(size, ncsHeaderSize - 6);
        writebytes(options.events, nevheader() + std::string(bytes + from, std::min<std::size_t>(size - from, 20 * 184)));
    }
    ConvertOutcome outcome;
    const int records = ncstoabf(selection, input, progress, {}, options, &outcome);
    takerecorded();
    // Temporary files never outlive their run, whatever its end.
    for (const auto& e : fs::directory_iterator(fuzzworkdir()))
        if (e.path().extension() == ".tmp")
            std::abort();

    const fs::path output = fuzzworkdir() / "in.abf";
    if (outcome.parts.size() > 1) {
        // Parts are checked by the unit tests; here they must only exist.
        for (const auto& part : outcome.parts)
            if (!fs::exists(part.name) || !fs::remove(part.name))
                std::abort();
        return 0;
    }
    if (records == 0) {
        if (fs::exists(output))
            std::abort();  // a failed run must leave no output
        return 0;
    }
    const std::string abf = readbytes(output);
    const int n = selection.combine == 'Y' ? 2 : 1;
    const std::int64_t acq = int32at(abf, 10);
    const std::int64_t synchAt = int32at(abf, 92) * 512LL;
    // Data, synch array and file length must agree with the header.
    const std::int64_t tagsAt = int32at(abf, 44) * 512LL;
    const std::int64_t tags = int32at(abf, 48);
    if (int32at(abf, 16) != records || acq % n != 0 || synchAt < 6144 + 2 * acq ||
        tagsAt != synchAt + (records + 63) / 64 * 512LL || tags < 0 || (tags > 0 && options.events.empty()) ||
        static_cast<std::int64_t>(abf.size()) != tagsAt + (tags * 64 + 511) / 512 * 512)
        std::abort();
    fs::remove(output);
    return 0;
}
