#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "convert/abfheader.h"
#include "support/ncsbytes.h"

namespace {

std::string image(const AbfHeader& h)
{
    return {reinterpret_cast<const char*>(h.bytes.data()), h.bytes.size()};
}

TEST(AbfHeader, DefaultsDescribeAnEmptyGapFreeFile)
{
    AbfHeader h;
    h.bytes.fill(0xAA);  // every byte must be set, not inherited
    abfdefaults(h);
    const std::string b = image(h);
    ASSERT_EQ(b.size(), 6144u);
    EXPECT_EQ(b.substr(0, 4), "ABF ");
    EXPECT_EQ(realat(b, 4), 1.65f);
    EXPECT_EQ(realat(b, 32), 1.65f);
    EXPECT_EQ(int16at(b, 8), 3);
    EXPECT_EQ(int32at(b, 40), 12);
    EXPECT_EQ(int32at(b, 2034), 6144);
    EXPECT_EQ(int16at(b, 120), 1);
    EXPECT_EQ(realat(b, 122), 100.0f);
    EXPECT_EQ(int32at(b, 214), 10);  // statistics period 1 s over 100 us
    EXPECT_EQ(int32at(b, 218), 16384);
    EXPECT_EQ(realat(b, 244), 10.24f);
    EXPECT_EQ(int32at(b, 252), 32768);
    EXPECT_EQ(int16at(b, 1850), -2);
    EXPECT_EQ(realat(b, 1886), -100.0f);
    EXPECT_EQ(int16at(b, 2028), -1);
    EXPECT_EQ(b.find_first_not_of('\0', 5282), std::string::npos);  // zero from the comment's end
    for (std::size_t zero : {10u, 14u, 16u, 20u, 24u, 28u, 38u, 44u, 48u, 92u, 96u, 100u, 130u})
        EXPECT_EQ(int16at(b, zero), 0) << "offset " << zero;
    EXPECT_EQ(b.substr(310, 56), std::string(56, '\0'));  // old comment stays NUL, not blank
}

TEST(AbfHeader, DefaultChannelTables)
{
    AbfHeader h;
    abfdefaults(h);
    const std::string b = image(h);
    EXPECT_EQ(b.substr(442, 10), "AI #0     ");
    EXPECT_EQ(b.substr(442 + 10 * 10, 10), "AI #10    ");
    EXPECT_EQ(b.substr(442 + 15 * 10, 10), "AI #15    ");
    EXPECT_EQ(b.substr(602, 8), "pA      ");
    EXPECT_EQ(b.substr(1306 + 3 * 10, 10), "AO #3     ");
    EXPECT_EQ(b.substr(1346, 8), "mV      ");
    EXPECT_EQ(b.substr(1910, 2), "+ ");
    EXPECT_EQ(b.substr(1912, 8), std::string(8, ' '));
    EXPECT_EQ(b.substr(2736, 512), std::string(512, ' '));
    EXPECT_EQ(b.substr(3376, 1024), std::string(1024, ' '));
    EXPECT_EQ(b.substr(5154, 128), std::string(128, ' '));
    EXPECT_EQ(int16at(b, 410), 0);  // sampling sequence: channel 0, then unused
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(int16at(b, 410 + 2 * i), -1);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(int16at(b, 378 + 2 * i), i);
        EXPECT_EQ(realat(b, 922 + 4 * i), 0.1f);
        EXPECT_EQ(realat(b, 1178 + 4 * i), 100000.0f);
        EXPECT_EQ(realat(b, 4640 + 4 * i), 100000.0f);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(realat(b, 1378 + 4 * i), 20.0f);
        EXPECT_EQ(realat(b, 2074 + 4 * i), 1.0f);
    }
    EXPECT_EQ(int16at(b, 1972), 1);
    EXPECT_EQ(int16at(b, 1974), 1);
    EXPECT_EQ(int16at(b, 4462), 1);
}

TEST(AbfHeader, FieldsRoundTripLittleEndian)
{
    AbfHeader h;
    h.setint(abf::lActualAcqLength, 0x01020304);
    h.setint(abf::nADCSamplingSeq, -2, 15);
    h.setreal(abf::fADCSampleInterval, 31.25f);
    h.settext(abf::sADCChannelName, "EEG Ch 123456", 1);  // cut at the width
    EXPECT_EQ(h.bytes[10], 0x04);
    EXPECT_EQ(h.bytes[13], 0x01);
    EXPECT_EQ(h.getint(abf::lActualAcqLength), 0x01020304);
    EXPECT_EQ(h.getint(abf::nADCSamplingSeq, 15), -2);
    EXPECT_EQ(h.getreal(abf::fADCSampleInterval), 31.25f);
    EXPECT_EQ(h.gettext(abf::sADCChannelName, 1), "EEG Ch 123");
    EXPECT_EQ(h.bytes[462], 0);  // next element untouched

    char field[8];
    std::memset(field, 'z', sizeof field);
    padcopy(field, "mV", 6);
    EXPECT_EQ(std::string(field, 8), "mV    zz");
}

}  // namespace
