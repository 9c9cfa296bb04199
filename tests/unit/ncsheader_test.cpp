#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "convert/ncsheader.h"
#include "convert/ncstiming.h"

namespace {

NcsHeader parse(const std::string& text, NcsKeysFound* found = nullptr)
{
    NcsHeader h;
    NcsKeysFound f = readncsheader(text, h);
    if (found)
        *found = f;
    return h;
}

TEST(NcsHeader, KeywordValuesAsRecordedAndWritten)
{
    NcsHeader h = parse("-RecordSize 1044\r\n-SamplingFrequency 32000\r\n-ADMaxValue 32767\r\n-ADChannel 12\r\n");
    EXPECT_EQ(h.RecordSize, 1044);
    EXPECT_EQ(ncssamples(h.RecordSize), 512);
    EXPECT_EQ(h.SamplingFrequency, 32000.0f);
    EXPECT_EQ(h.ADMaxValue, 32767);
    EXPECT_EQ(h.ADChannel, 12);

    EXPECT_EQ(parse("-SamplingFrequency 30303.03\r\n").SamplingFrequency, 30303.03f);
    EXPECT_EQ(parse("-ADChannel 3 4 5\r\n").ADChannel, 3);       // the first of several values
    EXPECT_EQ(parse("-RecordSize 1.044e3\r\n").RecordSize, 1044);
    EXPECT_EQ(parse("-ADChannel -2.9\r\n").ADChannel, -2);       // truncated toward zero
    EXPECT_EQ(parse("-ADChannel\t  7\r\n").ADChannel, 0);        // the keyword's blank is part of it
    EXPECT_EQ(parse("-ADChannel    7\r\n").ADChannel, 7);        // further blanks are skipped
}

TEST(NcsHeader, FirstOccurrenceAnywhereCounts)
{
    EXPECT_EQ(parse("-RecordSize 1044\r\n-RecordSize 2088\r\n").RecordSize, 1044);
    // Not tied to a line start: a longer keyword that ends the same way wins when it comes first.
    EXPECT_EQ(parse("-MaxRecordSize 2000\r\n-RecordSize 1044\r\n").RecordSize, 2000);
    // The trailing blank keeps NumADChannels from matching ADChannel.
    EXPECT_EQ(parse("-NumADChannels 1\r\n-ADChannel 9\r\n").ADChannel, 9);
    // Case matters.
    NcsKeysFound found;
    parse("-recordsize 1044\r\n", &found);
    EXPECT_FALSE(found.RecordSize);
}

TEST(NcsHeader, MissingOrMalformedValues)
{
    NcsHeader h;
    h.RecordSize = 77;
    NcsKeysFound found = readncsheader("-SamplingFrequency 1000\r\n", h);
    EXPECT_EQ(h.RecordSize, 77);  // a missing keyword leaves its field
    EXPECT_FALSE(found.RecordSize);
    EXPECT_TRUE(found.SamplingFrequency);

    EXPECT_EQ(parse("-RecordSize abc\r\n", &found).RecordSize, 0);
    EXPECT_TRUE(found.RecordSize);
    EXPECT_EQ(parse("-RecordSize ").RecordSize, 0);               // keyword at the very end
    EXPECT_EQ(parse("-ADMaxValue 1e300\r\n").ADMaxValue, 2147483647);  // saturates, never overflows
    EXPECT_EQ(parse("-ADMaxValue -1e300\r\n").ADMaxValue, -2147483647 - 1);
    EXPECT_EQ(parse("-ADMaxValue nan\r\n").ADMaxValue, 0);
    // A value longer than any number stops where the number does.
    EXPECT_EQ(parse("-RecordSize 1044" + std::string(500, '0') + "\r\n").RecordSize, 2147483647);
}

TEST(NcsHeader, TextEndsAtFirstNulAndNeverPassesTheBlock)
{
    std::string block(ncsHeaderSize, 'x');
    block.replace(100, 14, "-ADChannel 4\r\n");
    block[50] = '\0';
    EXPECT_EQ(ncstext(block.data(), block.size()).size(), 50u);

    block[50] = 'x';
    EXPECT_EQ(ncstext(block.data(), block.size()).size(), ncsHeaderSize);  // no NUL at all
    std::string longer = block + "-RecordSize 1044\r\n";
    NcsKeysFound found;
    parse(std::string(ncstext(longer.data(), longer.size())), &found);
    EXPECT_FALSE(found.RecordSize);  // beyond the header block
    EXPECT_TRUE(found.ADChannel);

    // A short file is searched only in the bytes read.
    EXPECT_EQ(ncstext("-ADChannel 4", 5).size(), 5u);
    EXPECT_EQ(findkey("ADChannel ", "-ADChannel 4"), std::optional<std::size_t>(11));
}

TEST(NcsHeader, MicrovoltsFromBitVoltsAndInversion)
{
    const struct { const char* text; double microvolts; } cases[] = {
        {"-ADBitVolts 0.000000030517578125\r\n", 0.030517578125},
        {"-ADBitVolts 3.0517578125e-8\r\n-InputInverted True\r\n", -0.030517578125},
        {"-ADBitVolts 1e-7\r\n-InputInverted true\r\n", -0.1},
        {"-ADBitVolts 1e-7\r\n-InputInverted False\r\n", 0.1}, {"-ADBitVolts 1e-7\r\n-InputInverted Tru\r\n", 0.1},
        {"-ADBitVolts 1e-7 2e-7\r\n", 0.1},  // one value per channel: a CSC file has one
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ncsmicrovolts(c.text).value_or(0), c.microvolts) << c.text;  // none is 0
    for (const char* text : {"-InputInverted True\r\n", "-ADBitVolts 0\r\n", "-ADBitVolts -1e-7\r\n",
                             "-ADBitVolts nan\r\n", "-ADBitVolts 1e300\r\n", "-ADBitVolts \r\n"})
        EXPECT_FALSE(ncsmicrovolts(text)) << text;
}

TEST(NcsHeader, OpeningTimeInTheFormsRecordersWrite)
{
    const struct { std::string text; int y, mo, d, h, mi, s, ms; } cases[] = {
        {"-TimeCreated 2023/05/17 10:15:42\r\n-TimeClosed 2023/05/17 11:00:00\r\n", 2023, 5, 17, 10, 15, 42, 0},
        {"## Time Opened (m/d/y): 2/28/2011  (h:m:s.ms) 9:05:07.250\r\n", 2011, 2, 28, 9, 5, 7, 250},
        {"## Time Opened (m/d/y): 12/1/2008  At Time: 23:59:59.999\r\n", 2008, 12, 1, 23, 59, 59, 999},
        {"## Time Opened: (m/d/y): 3/4/99  At Time: 0:00:01.5\r\n", 1999, 3, 4, 0, 0, 1, 500},
        {"## Date Opened: (mm/dd/yyy): 02/29/2016 At Time: 14:30:00\r\n", 2016, 2, 29, 14, 30, 0, 0},
        // A broken new-style line leaves the older one to count.
        {"-TimeCreated 2023/13/17 10:15:42\r\n## Time Opened (m/d/y): 1/2/2003  At Time: 4:05:06\r\n",
         2003, 1, 2, 4, 5, 6, 0},
    };
    for (const auto& c : cases) {
        const auto t = ncsopened(c.text);
        ASSERT_TRUE(t) << c.text;
        EXPECT_EQ((std::vector<int>{t->year, t->month, t->day, t->hour, t->minute, t->second, t->millisecond}),
                  (std::vector<int>{c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms})) << c.text;
    }
    for (const char* bad : {"", "-TimeCreated \r\n", "-TimeCreated 2023/02/29 10:00:00\r\n",
                            "-TimeCreated 2023/05/17 24:00:00\r\n", "-TimeCreated 2023/05/17\r\n10:00:00",
                            "## Time Opened (m/d/y): 5/17/2023\r\n  At Time: 10:00:00",
                            "## Time Closed (m/d/y): 5/17/2023  At Time: 10:00:00\r\n"})
        EXPECT_FALSE(ncsopened(bad)) << bad;
}

// Stamps of a 32 kHz recording, 16000 us a record: shifts move a record and
// every later one, moves only the one record.
std::vector<std::int64_t> stamps(int records, std::vector<std::pair<int, std::int64_t>> shifts,
                                 std::vector<std::pair<int, std::int64_t>> moves = {})
{
    std::vector<std::int64_t> s;
    for (int r = 0; r < records; ++r)
        s.push_back(16000LL * r);
    for (auto [at, by] : shifts)
        for (int r = at; r < records; ++r)
            s[r] += by;
    for (auto [at, by] : moves)
        s[at] += by;
    return s;
}

TEST(NcsTiming, HolesStepsBackAndOutOfOrderStampsAddUp)
{
    const struct {
        const char* name; std::vector<std::int64_t> stamps;
        long long discontinuities, backwards, holes;
        double missing, largestHole, back;
    } cases[] = {
        {"continuous", stamps(20, {}), 0, 0, 0, 0, 0, 0},
        {"within half a sample", {0, 16015, 32000, 47985}, 0, 0, 0, 0, 0, 0},
        {"a hole", stamps(20, {{10, 1000000}}), 1, 0, 1, 1000000, 1000000, 0},
        {"two holes in a row", stamps(20, {{5, 1000000}, {6, 500000}}), 2, 0, 2, 1500000, 1000000, 0},
        {"clock stepped back", stamps(20, {{10, -3000000}}), 1, 1, 0, 0, 0, 3000000},
        {"repeated stamp", {0, 0}, 1, 0, 0, 0, 0, 16000},
        {"one stamp before the first", stamps(20, {}, {{5, -1080000}}), 2, 1, 0, 0, 0, 0},
        {"one stamp far ahead", stamps(20, {}, {{5, 3600000000}}), 2, 1, 0, 0, 0, 0},
        {"out of order, back with a hole", stamps(20, {{6, 500000}}, {{5, -1080000}}), 2, 1, 1, 500000, 500000, 0},
        {"out of order at the end", stamps(20, {}, {{19, -1000000}}), 1, 1, 0, 0, 0, 1000000},
        {"step back, then a smaller hole", stamps(20, {{10, -3000000}, {12, 1000000}}), 2, 1, 1, 1000000, 1000000, 3000000},
        {"every shape", stamps(20, {{3, 1000000}, {8, -3000000}, {17, 500000}}, {{12, 2000000}}), 5, 2, 2, 1500000, 1000000,
         3000000},
    };
    for (const auto& c : cases) {
        NcsTiming t(31.25, 512);
        for (std::int64_t stamp : c.stamps)
            t.add(stamp, 512);
        const NcsTiming::Jumps j = t.jumps();
        EXPECT_EQ(t.records, static_cast<long long>(c.stamps.size())) << c.name;
        EXPECT_EQ(t.discontinuities, c.discontinuities) << c.name;
        EXPECT_EQ(t.backwards, c.backwards) << c.name;
        EXPECT_EQ(j.holes, c.holes) << c.name;
        EXPECT_EQ(j.missing, c.missing) << c.name;
        EXPECT_EQ(j.largestHole, c.largestHole) << c.name;
        EXPECT_EQ(j.back, c.back) << c.name;
        EXPECT_EQ(t.first, c.stamps.front()) << c.name;
        EXPECT_EQ(t.last, c.stamps.back()) << c.name;
        // The figures add up: the span of the stamps is the records' time, less one record, plus
        // missing, less back (up to the jitter each record may have).
        const double records = static_cast<double>(c.stamps.size() - 1) * 16000;
        EXPECT_NEAR(static_cast<double>(*t.last - *t.first), records + j.missing - j.back, 15.625 * c.stamps.size())
            << c.name;
    }

    NcsTiming shortRecords(31.25, 512);
    for (std::uint32_t valid : {512u, 100u, 0u})
        shortRecords.add(0, valid);
    EXPECT_EQ(shortRecords.shortRecords, 2);
}

}  // namespace
