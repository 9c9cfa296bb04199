#include "cli/info.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "convert/abfheader.h"
#include "convert/ncsheader.h"
#include "convert/ncstoabf.h"
#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "platform/fileops.h"
#include "platform/frontend.h"

namespace {

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

void abfinfo(const std::string& path, const AbfHeader& a)
{
    using namespace abf;
    const int n = a.getint(nADCNumChannels);
    const float interval = a.getreal(fADCSampleInterval);
    const int acq = a.getint(lActualAcqLength);
    std::printf("%s: ABF %s, operation mode %d%s\n", path.c_str(), real(a.getreal(fFileVersionNumber)).c_str(),
                a.getint(nOperationMode), a.getint(nOperationMode) == 3 ? " (gap-free)" : "");
    std::printf("  Channels          %d\n", n);
    for (int c = 0; c < n && c < abfMaxChannels; ++c)
        std::printf("    %2d  %-10s  %s\n", c, trimmed(a.gettext(sADCChannelName, c)).c_str(),
                    trimmed(a.gettext(sADCUnits, c)).c_str());
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
    std::printf("  Creator           %s\n", trimmed(a.gettext(sCreatorInfo)).c_str());
    std::printf("  Comment           %s\n", trimmed(a.gettext(sFileComment)).c_str());
}

std::int64_t stampat(std::FILE* f, long long pos)
{
    unsigned char b[8] = {};
    if (!seekfile(f, pos) || std::fread(b, 1, 8, f) != 8)
        return 0;
    return ncstimestamp(b);
}

void ncsinfo(const std::string& path, std::FILE* f, std::string_view text, long long size)
{
    NcsHeader h;
    const NcsKeysFound found = readncsheader(text, h);
    auto value = [](bool present, const std::string& v) { return present ? v : std::string("(missing)"); };
    std::printf("%s: NCS recording\n", path.c_str());
    std::printf("  RecordSize         %s\n", value(found.RecordSize, std::to_string(h.RecordSize)).c_str());
    std::printf("  SamplingFrequency  %s\n", value(found.SamplingFrequency, real(h.SamplingFrequency) + " Hz").c_str());
    std::printf("  ADMaxValue         %s\n", value(found.ADMaxValue, std::to_string(h.ADMaxValue)).c_str());
    std::printf("  ADChannel          %s\n", value(found.ADChannel, std::to_string(h.ADChannel)).c_str());
    if (!found.RecordSize || h.RecordSize <= ncsRecordPrefix)
        return;
    const long long records = std::max(0LL, (size - static_cast<long long>(ncsHeaderSize)) / h.RecordSize);
    const int samples = ncssamples(h.RecordSize);
    std::printf("  Records            %lld of %d samples", records, samples);
    const long long rest = size - static_cast<long long>(ncsHeaderSize) - records * h.RecordSize;
    if (rest > 0)
        std::printf(", then %lld bytes of a partial record", rest);
    std::printf("\n");
    if (records > 0 && found.SamplingFrequency && h.SamplingFrequency > 0) {
        std::printf("  Duration           %s s of samples\n",
                    real(static_cast<double>(records) * samples / h.SamplingFrequency).c_str());
        const std::int64_t first = stampat(f, ncsHeaderSize);
        const std::int64_t last = stampat(f, static_cast<long long>(ncsHeaderSize) + (records - 1) * h.RecordSize);
        std::printf("  Time stamps        %lld ... %lld us (%s s from first to last record)\n",
                    static_cast<long long>(first), static_cast<long long>(last), real((last - first) / 1e6).c_str());
    }
}

}  // namespace

bool showinfo(const std::string& path)
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
        abfinfo(path, a);
    } else {
        ncsinfo(path, f.get(), ncstext(block.data(), got), size);
    }
    return true;
}
