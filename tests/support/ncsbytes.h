#pragma once
// NCS files built byte by byte, so that tests control every header line,
// time stamp and sample, and scratch folders that clean up after themselves.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

struct NcsRecord {
    std::int64_t stamp = 0;
    std::vector<std::int16_t> samples;
};

struct NcsBytes {
    std::string header;  // the text; padded with NULs to 16384 bytes
    int recordSize = 1044;
    std::vector<NcsRecord> records;

    std::string bytes() const;
    // Copies with another header text, or with the stamps of record from and every later one moved by microseconds.
    NcsBytes withheader(std::string text) const { return {std::move(text), recordSize, records}; }
    NcsBytes shifted(std::size_t from, std::int64_t by) const;
};

// Header lines as a recording system writes them, CRLF ended.
std::string ncslines(int recordSize = 1044, const std::string& frequency = "32000", int adMaxValue = 32767,
                     int adChannel = 0);

// records of (recordSize - 20) / 2 samples each, 512 samples' time apart at 32 kHz, starting at firstStamp; sample s of
// record r of channel c is distinct across the whole recording.
NcsBytes ncsrecording(int records, int adChannel = 0, int recordSize = 1044, std::int64_t firstStamp = 5000000);

// An event file's 16384-byte header: text, padded with NULs.
std::string nevheader(const std::string& text = "######## Neuralynx Data File Header\r\n-FileType Event\r\n"
                                                "-RecordSize 184\r\n");
// One 184-byte event record; text fills the event string, cut at 128 bytes.
std::string nevrecord(std::uint64_t stamp, std::int16_t id, std::uint16_t ttl, const std::string& text);

void writebytes(const std::filesystem::path& path, const std::string& bytes);
inline void writebytes(const std::filesystem::path& path, const NcsBytes& f) { writebytes(path, f.bytes()); }
std::string readbytes(const std::filesystem::path& path);

// Little-endian values read from a byte string.
std::int32_t int32at(const std::string& bytes, std::size_t offset);
std::int16_t int16at(const std::string& bytes, std::size_t offset);
float realat(const std::string& bytes, std::size_t offset);

// A fresh folder under the system's temporary folder, made the current
// directory while it exists; removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_, previous_;
};

// A fresh folder under the system's temporary folder that lives as long as
// the process: for fuzz targets, which run many inputs in one process.
const std::filesystem::path& fuzzworkdir();
