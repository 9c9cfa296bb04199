#include "support/ncsbytes.h"

#include <bit>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void put(std::string& out, std::uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        out.push_back(static_cast<char>(v >> (8 * i)));
}

std::uint32_t uintat(const std::string& bytes, std::size_t offset, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(bytes.at(offset + i))) << (8 * i);
    return v;
}

// A new folder of a random name under the system's temporary folder.
fs::path freshdir(const std::string& prefix)
{
    std::mt19937 gen(std::random_device{}());
    fs::path dir;
    do
        dir = fs::temp_directory_path() / (prefix + std::to_string(gen()));
    while (!fs::create_directory(dir));
    return dir;
}

}  // namespace

std::string NcsBytes::bytes() const
{
    std::string out = header;
    out.resize(16384, '\0');
    for (const NcsRecord& r : records) {
        std::size_t start = out.size();
        put(out, static_cast<std::uint64_t>(r.stamp), 8);
        put(out, 0, 4);
        put(out, 32000, 4);
        put(out, r.samples.size(), 4);
        for (std::int16_t s : r.samples)
            put(out, static_cast<std::uint16_t>(s), 2);
        out.resize(start + recordSize, '\0');
    }
    return out;
}

NcsBytes NcsBytes::shifted(std::size_t from, std::int64_t by) const
{
    NcsBytes f = *this;
    for (std::size_t r = from; r < f.records.size(); ++r)
        f.records[r].stamp += by;
    return f;
}

std::string nevheader(const std::string& text)
{
    return (text + std::string(16384, '\0')).substr(0, 16384);
}

std::string nevrecord(std::uint64_t stamp, std::int16_t id, std::uint16_t ttl, const std::string& text)
{
    std::string out;
    put(out, 800, 2);
    put(out, 102, 2);
    put(out, 2, 2);
    put(out, stamp, 8);
    put(out, static_cast<std::uint16_t>(id), 2);
    put(out, ttl, 2);
    out.resize(56, '\0');  // crc, two spare words, eight extra values
    out += text.substr(0, 128);
    out.resize(184, '\0');
    return out;
}

std::string ncslines(int recordSize, const std::string& frequency, int adMaxValue, int adChannel)
{
    std::ostringstream s;
    s << "######## Neuralynx Data File Header\r\n"
      << "-FileType CSC\r\n"
      << "-RecordSize " << recordSize << "\r\n"
      << "-SamplingFrequency " << frequency << "\r\n"
      << "-ADMaxValue " << adMaxValue << "\r\n"
      << "-ADBitVolts 0.000000030517578125\r\n"
      << "-NumADChannels 1\r\n"
      << "-ADChannel " << adChannel << "\r\n";
    return s.str();
}

NcsBytes ncsrecording(int records, int adChannel, int recordSize, std::int64_t firstStamp)
{
    NcsBytes f;
    f.header = ncslines(recordSize, "32000", 32767, adChannel);
    f.recordSize = recordSize;
    const int h = (recordSize - 20) / 2;
    for (int r = 0; r < records; ++r) {
        NcsRecord rec{firstStamp + r * 16000LL, {}};
        for (int s = 0; s < h; ++s)
            rec.samples.push_back(static_cast<std::int16_t>(adChannel * 7919 + r * 613 + s * 3 - 16000));
        f.records.push_back(rec);
    }
    return f;
}

void writebytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readbytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::int32_t int32at(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::int32_t>(uintat(bytes, offset, 4));
}

std::int16_t int16at(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::int16_t>(uintat(bytes, offset, 2));
}

float realat(const std::string& bytes, std::size_t offset)
{
    return std::bit_cast<float>(uintat(bytes, offset, 4));
}

ScratchDir::ScratchDir() : path_(freshdir("tessel-test-")), previous_(fs::current_path())
{
    fs::current_path(path_);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

const fs::path& fuzzworkdir()
{
    static const fs::path dir = freshdir("tessel-fuzz-");
    return dir;
}
