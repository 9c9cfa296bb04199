#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/abftag.h"
#include "platform/fileops.h"
#include "support/ncsbytes.h"

namespace {

TEST(AbfTag, WrittenFieldByFieldAndReadBack)
{
    std::vector<unsigned char> out;
    puttag(out, 0x01020304, "Stim on");
    puttag(out, -5, std::string(60, 'x'));
    const std::string b(out.begin(), out.end());
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(b.substr(0, 4), "\x04\x03\x02\x01");
    EXPECT_EQ(b.substr(4, 56), "Stim on" + std::string(49, ' '));  // blank-padded, no NUL
    EXPECT_EQ(b.substr(60, 4), std::string("\x01\x00\x00\x00", 4));  // comment tag, no voice tag
    EXPECT_EQ(int32at(b, 64), -5);
    EXPECT_EQ(b.substr(68, 56), std::string(56, 'x'));  // cut to the field

    const AbfTag t = gettag(out.data());
    EXPECT_EQ(t.time, 0x01020304);
    EXPECT_EQ(t.comment, "Stim on");
    EXPECT_EQ(t.type, 1);
    EXPECT_EQ(t.voice, 0);
    // Other writers pad with NULs; blanks inside a comment stay.
    const std::string other = std::string(4, '\0') + "a  b" + std::string(52, '\0') + std::string("\2\0\7\0", 4);
    const AbfTag o = gettag(reinterpret_cast<const unsigned char*>(other.data()));
    EXPECT_EQ(o.comment, "a  b");
    EXPECT_EQ(o.type, 2);
    EXPECT_EQ(o.voice, 7);
}

TEST(AbfTag, TimesCountSampleIntervalsOfAllChannels)
{
    AbfHeader h;
    abfdefaults(h);
    h.setreal(abf::fADCSampleInterval, 15.625f);  // two channels at 32 kHz
    EXPECT_DOUBLE_EQ(abfsynchseconds(h, 16000), 0.25);
    EXPECT_DOUBLE_EQ(abfsynchseconds(h, -64), -0.001);
    h.setreal(abf::fSynchTimeUnit, 10.0f);  // microseconds, when given
    EXPECT_DOUBLE_EQ(abfsynchseconds(h, 16000), 0.16);
}

TEST(AbfTag, TheSectionMustLieWithinTheFile)
{
    ScratchDir dir;
    AbfHeader h;
    abfdefaults(h);
    std::vector<unsigned char> tags;
    for (int k = 0; k < 3; ++k)
        puttag(tags, k * 100, "tag " + std::to_string(k));
    const std::string file =
        std::string(h.bytes.begin(), h.bytes.end()) + std::string(1024, '\0') + std::string(tags.begin(), tags.end());
    writebytes("tags.abf", file);  // tags at block 14
    const struct { std::int32_t count, block; int most; bool ok; std::size_t read; } cases[] = {
        {3, 14, 5, true, 3}, {3, 14, 2, true, 2}, {0, 0, 5, true, 0}, {-1, 14, 5, false, 0},
        {1, 0, 5, false, 0}, {4, 14, 5, false, 0}, {1, 2147483647, 5, false, 0}, {2147483647, 14, 5, false, 0},
    };
    FilePtr f = openfile("tags.abf", "rb");
    ASSERT_TRUE(f);
    for (const auto& c : cases) {
        h.setint(abf::lNumTagEntries, c.count);
        h.setint(abf::lTagSectionPtr, c.block);
        std::vector<AbfTag> got;
        EXPECT_EQ(readtags(f.get(), static_cast<long long>(file.size()), h, c.most, got), c.ok)
            << c.count << " tags at block " << c.block;
        ASSERT_EQ(got.size(), c.read);
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_EQ(got[k].comment, "tag " + std::to_string(k));
    }
}

}  // namespace
