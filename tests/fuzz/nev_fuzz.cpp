// Arbitrary bytes as an event file: the reader either refuses it with a
// message or reads every complete record, and each event string survives as
// an ABF tag's comment. The same bytes as an ABF header exercise the bounds
// of its tag section.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert/abftag.h"
#include "convert/ncsheader.h"
#include "convert/nevfile.h"
#include "support/ncsbytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = (fuzzworkdir() / "in.nev").string();
    writebytes(input, bytes);

    NevFile nev;
    std::string problem;
    if (nev.open(input, problem)) {
        if (static_cast<std::size_t>(nevHeaderSize + nev.count() * nevRecordSize + nev.partialbytes()) != size ||
            nevheaderproblem(ncstext(bytes.data(), size)) != "")
            std::abort();
        std::int64_t read = 0;
        std::vector<unsigned char> tag;
        for (NevEvent e; nev.next(e); ++read) {
            tag.clear();
            puttag(tag, static_cast<std::int32_t>(e.stamp), e.text);
            std::string comment = e.text.substr(0, 56);
            comment.erase(comment.find_last_not_of(std::string_view(" \0", 2)) + 1);
            const AbfTag t = gettag(tag.data());
            if (tag.size() != abfTagSize || e.text.size() > 128 || t.comment != comment || t.type != abfCommentTag)
                std::abort();
        }
        NevEvent last;
        if (nev.failed() || read != nev.count() ||
            (read > 0 && !(nev.seek(read - 1) && nev.next(last) && !nev.next(last))))
            std::abort();
    } else if (problem.empty()) {
        std::abort();
    }

    if (size >= abfHeaderSize) {
        AbfHeader h;
        std::memcpy(h.bytes.data(), data, abfHeaderSize);
        FilePtr f = openfile(input, "rb");
        std::vector<AbfTag> tags;
        if (!f || (readtags(f.get(), static_cast<long long>(size), h, 5, tags) &&
                   tags.size() != static_cast<std::size_t>(std::min(std::max(h.getint(abf::lNumTagEntries), 0), 5))))
            std::abort();
    }
    return 0;
}
