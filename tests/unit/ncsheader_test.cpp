#include <gtest/gtest.h>

#include <string>

#include "convert/ncsheader.h"

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
    std::string line = "-ADChannel 4\r\n";
    block.replace(100, line.size(), line);
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

}  // namespace
