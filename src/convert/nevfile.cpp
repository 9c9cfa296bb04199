#include "convert/nevfile.h"

#include <algorithm>
#include <cstring>

#include "convert/ncsheader.h"
#include "convert/ncstoabf.h"
#include "numtext/textf.h"

namespace {

constexpr const char* kTooShort = "\n%s is too short for an event file: %lld bytes, less than its %d-byte header";
constexpr const char* kNotEvents = "\n%s is not an event file: %s";
constexpr const char* kEmptyHeader = "its header is empty";
constexpr const char* kNotText = "its header is not text (a control byte at offset %d)";
constexpr const char* kBadLine = "line %d of its header begins with neither '#' nor '-'";
constexpr const char* kFileType = "its header gives FileType %s";
constexpr const char* kRecordSize = "its header gives RecordSize %s, not 184";

// Records are read this many at a time: few system calls, a small buffer.
constexpr std::size_t batchRecords = 256;

std::uint64_t getle(const unsigned char* p, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= std::uint64_t(p[i]) << (8 * i);
    return v;
}

std::uint64_t field(const unsigned char* record, const NevField& f)
{
    return getle(record + f.offset, f.size);
}

// The first word after keyword, up to a blank or the end of its line.
std::string_view keyword(std::string_view text, std::string_view key)
{
    const auto pos = findkey(key, text);
    if (!pos)
        return {};
    std::size_t start = *pos;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    const std::size_t end = std::min(text.find_first_of(" \t\r\n", start), text.size());
    return text.substr(start, end - start);
}

bool sameword(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

}  // namespace

std::uint64_t nevstamp(const unsigned char* record)
{
    return field(record, nev::qwTimeStamp);
}

std::string_view nevtext(const unsigned char* record)
{
    const char* text = reinterpret_cast<const char*>(record + nev::EventString.offset);
    const void* nul = std::memchr(text, '\0', nev::EventString.size);
    return {text, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : nev::EventString.size};
}

void nevevent(const unsigned char* record, NevEvent& e)
{
    e.stamp = nevstamp(record);
    e.id = static_cast<std::int16_t>(field(record, nev::nevent_id));
    e.ttl = static_cast<std::uint16_t>(field(record, nev::nttl));
    e.text = nevtext(record);
}

std::string nevheaderproblem(std::string_view text)
{
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return kEmptyHeader;
    // Latin-1 letters (the micro sign of some keywords) are text; control bytes are not.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7f)
            return textf(kNotText, static_cast<int>(i));
    }
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        ++number;
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && line[first] != '#' && line[first] != '-')
            return textf(kBadLine, number);
        start = end + 1;
    }
    const std::string_view type = keyword(text, "-FileType ");
    if (!type.empty() && !sameword(type, "Event"))
        return textf(kFileType, std::string(type).c_str());
    const std::string_view size = keyword(text, "-RecordSize ");
    if (!size.empty() && size != "184")
        return textf(kRecordSize, std::string(size).c_str());
    return {};
}

bool NevFile::open(const std::string& path, std::string& problem)
{
    *this = NevFile();
    FilePtr f = openfile(path, "rb");
    if (!f) {
        problem = textf(kCouldntOpen, path.c_str());
        return false;
    }
    const long long size = filesize(f.get());
    std::vector<char> block(nevHeaderSize);
    if (size < 0 || (size >= static_cast<long long>(nevHeaderSize) &&
                     (!seekfile(f.get(), 0) || std::fread(block.data(), 1, block.size(), f.get()) != block.size()))) {
        problem = textf(kCouldntRead, path.c_str());
        return false;
    }
    if (size < static_cast<long long>(nevHeaderSize)) {
        problem = textf(kTooShort, path.c_str(), size, static_cast<int>(nevHeaderSize));
        return false;
    }
    const std::string_view text = ncstext(block.data(), block.size());
    if (const std::string why = nevheaderproblem(text); !why.empty()) {
        problem = textf(kNotEvents, path.c_str(), why.c_str());
        return false;
    }
    header_ = text;
    const long long records = size - static_cast<long long>(nevHeaderSize);
    count_ = records / static_cast<long long>(nevRecordSize);
    partial_ = static_cast<int>(records % static_cast<long long>(nevRecordSize));
    file_ = std::move(f);
    return true;
}

bool NevFile::seek(std::int64_t index)
{
    used_ = held_ = 0;
    index_ = std::clamp<std::int64_t>(index, 0, count_);
    failed_ = !file_ || !seekfile(file_.get(), static_cast<long long>(nevHeaderSize) +
                                                   index_ * static_cast<long long>(nevRecordSize));
    return !failed_;
}

bool NevFile::next(NevEvent& e)
{
    const unsigned char* record = nextrecord();
    if (record)
        nevevent(record, e);
    return record != nullptr;
}

const unsigned char* NevFile::nextrecord()
{
    if (failed_ || !file_ || index_ >= count_)
        return nullptr;
    if (used_ == held_) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(batchRecords, count_ - index_));
        batch_.resize(batchRecords * nevRecordSize);
        if (std::fread(batch_.data(), nevRecordSize, want, file_.get()) != want) {
            failed_ = true;
            return nullptr;
        }
        used_ = 0;
        held_ = want;
    }
    ++index_;
    return batch_.data() + used_++ * nevRecordSize;
}
