#include "convert/abftag.h"

#include <algorithm>

#include "platform/fileops.h"

namespace {

void putle(unsigned char* p, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t getle(const unsigned char* p, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

}  // namespace

void puttag(std::vector<unsigned char>& out, std::int32_t time, std::string_view comment)
{
    using namespace abftag;
    const std::size_t at = out.size();
    out.resize(at + abfTagSize);
    unsigned char* tag = out.data() + at;
    putle(tag + lTagTime.offset, static_cast<std::uint32_t>(time), 4);
    padcopy(reinterpret_cast<char*>(tag + sComment.offset), comment.substr(0, sComment.width), sComment.width);
    putle(tag + nTagType.offset, static_cast<std::uint16_t>(abfCommentTag), 2);
    putle(tag + nVoiceTagNumber.offset, 0, 2);
}

AbfTag gettag(const unsigned char* tag)
{
    using namespace abftag;
    AbfTag t;
    t.time = static_cast<std::int32_t>(getle(tag + lTagTime.offset, 4));
    t.comment.assign(reinterpret_cast<const char*>(tag + sComment.offset), sComment.width);
    t.comment.erase(t.comment.find_last_not_of(std::string_view(" \0", 2)) + 1);
    t.type = static_cast<std::int16_t>(getle(tag + nTagType.offset, 2));
    t.voice = static_cast<std::int16_t>(getle(tag + nVoiceTagNumber.offset, 2));
    return t;
}

double abfsynchseconds(const AbfHeader& h, std::int64_t time)
{
    const float unit = h.getreal(abf::fSynchTimeUnit);
    return static_cast<double>(time) * (unit > 0 ? unit : h.getreal(abf::fADCSampleInterval)) / 1e6;
}

bool readtags(std::FILE* f, long long size, const AbfHeader& h, int most, std::vector<AbfTag>& tags)
{
    tags.clear();
    const long long count = h.getint(abf::lNumTagEntries);
    const long long start = h.getint(abf::lTagSectionPtr) * static_cast<long long>(abfBlockSize);
    if (count < 0 || (count > 0 && (start < static_cast<long long>(abfBlockSize) ||
                                    start + count * static_cast<long long>(abfTagSize) > size)))
        return false;
    const auto n = static_cast<std::size_t>(std::clamp<long long>(count, 0, std::max(most, 0)));
    std::vector<unsigned char> bytes(n * abfTagSize);
    if (n > 0 && (!seekfile(f, start) || std::fread(bytes.data(), abfTagSize, n, f) != n))
        return false;
    for (std::size_t k = 0; k < n; ++k)
        tags.push_back(gettag(bytes.data() + k * abfTagSize));
    return true;
}
