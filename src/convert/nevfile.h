#pragma once
// The event file of a recording session (Events.nev): a 16384-byte text
// header like an NCS file's, then 184-byte event records, little-endian.
// The reader streams: it holds a batch of records, never the whole file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fileops.h"

inline constexpr std::size_t nevHeaderSize = 16384;
inline constexpr std::size_t nevRecordSize = 184;

struct NevField {
    const char* name;
    std::uint16_t offset;
    std::uint16_t size;  // bytes
};

// The fields of one record under their format names.
namespace nev {
inline constexpr NevField nstx{"nstx", 0, 2};
inline constexpr NevField npkt_id{"npkt_id", 2, 2};
inline constexpr NevField npkt_data_size{"npkt_data_size", 4, 2};
inline constexpr NevField qwTimeStamp{"qwTimeStamp", 6, 8};  // microseconds, the NCS records' clock
inline constexpr NevField nevent_id{"nevent_id", 14, 2};
inline constexpr NevField nttl{"nttl", 16, 2};
inline constexpr NevField ncrc{"ncrc", 18, 2};
inline constexpr NevField ndummy1{"ndummy1", 20, 2};
inline constexpr NevField ndummy2{"ndummy2", 22, 2};
inline constexpr NevField dnExtra{"dnExtra", 24, 32};  // 8 int32
inline constexpr NevField EventString{"EventString", 56, 128};
}  // namespace nev

// One event as a converter uses it.
struct NevEvent {
    std::uint64_t stamp = 0;  // microseconds
    std::int16_t id = 0;
    std::uint16_t ttl = 0;    // the TTL port's 16 lines
    std::string text;         // the event string up to its first NUL (Latin-1)
};

// Decodes the 184 bytes of one record.
void nevevent(const unsigned char* record, NevEvent& e);
// Its time stamp, and its event string up to the first NUL.
std::uint64_t nevstamp(const unsigned char* record);
std::string_view nevtext(const unsigned char* record);

// Why a header is not an event file's, as the tail of a sentence ("its
// header is not text"); empty when it may be one. text is the header up to
// its first NUL. Every line must be blank or begin (after blanks) with '#'
// or '-', as the acquisition software writes them; a FileType or RecordSize
// line, when present, must say Event and 184.
std::string nevheaderproblem(std::string_view text);

// Texts for the callers to show, under the "Warning" caption and with the
// file's name first: a trailing incomplete record (then its length), and a
// file with no events at all.
inline constexpr const char* kNevPartial =
    "\n%s ends in %d bytes of an incomplete event record: it is left out";
inline constexpr const char* kNevNoEvents = "\n%s holds no events";

// An open event file, read record by record in file order.
//
// open() refuses a file shorter than its header or whose header is not an
// event file's. It accepts a file of no records (acquisition software writes
// the header at start, the events only as they come) and one that ends in an
// incomplete record, which it leaves out: a file still being written, or cut
// short by a crash, holds every complete event before it. The callers tell
// both. Records appended after open() are not read.
class NevFile {
public:
    // Opens path read-only and checks its header and size. On failure,
    // problem holds a message naming the file (in the engine's form, shown
    // under kFileErrorCaption) and the file is closed.
    bool open(const std::string& path, std::string& problem);

    std::int64_t count() const { return count_; }  // complete records
    int partialbytes() const { return partial_; }  // of a trailing incomplete record
    bool partial() const { return partial_ > 0; }
    std::string_view headertext() const { return header_; }  // up to its first NUL

    // Positions before record index (0 to count()); false on a seek failure,
    // which also sets failed().
    bool seek(std::int64_t index);
    bool rewind() { return seek(0); }
    // The record at the position, then the position moves on. False at the
    // end, and on a read error (the file shrank or the disk failed), after
    // which failed() is true until the next successful seek.
    bool next(NevEvent& e);
    // The same, the record's 184 bytes as they stand, valid until the next
    // call; nullptr where next() returns false.
    const unsigned char* nextrecord();
    bool failed() const { return failed_; }
    std::int64_t position() const { return index_; }

private:
    FilePtr file_;
    std::string header_;
    std::int64_t count_ = 0;
    int partial_ = 0;
    std::int64_t index_ = 0;  // of the record next() returns
    std::vector<unsigned char> batch_;
    std::size_t used_ = 0, held_ = 0;  // records of the batch returned, and read
    bool failed_ = false;
};
