#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "params/valuetext.h"
#include "support/recorder.h"

namespace {

// A one-page table over one variable of each kind.
struct Table {
    char text[40] = "hello";
    std::int32_t number = 0;
    float real = 0;
    char choice = 'B';
    char yesno = 'Y';
    std::int32_t flag = 0;
    char letters[4] = "ABC";
    ParamEntry entries[6];
    std::uint32_t pageSizes[2] = {1, 6};
    ParamDialogSpec spec;

    Table()
    {
        entries[0] = textentry(text, "Text");
        entries[1] = {&number, nullptr, PARAM_INT, "Int", 0, 0, 0};
        entries[2] = {&real, nullptr, PARAM_FLOAT, "Real", 0, 0, 0};
        entries[3] = {&choice, letters, PARAM_CHOICE, "Pick:A,B,C", 0, 0, 0};
        entries[4] = {&yesno, nullptr, PARAM_YESNO, "YesNo", 0, 0, 0};
        entries[5] = {&flag, nullptr, PARAM_BOOL, "Bool", 0, 0, 0};
        spec.entries = entries;
        spec.pageSizes = pageSizes;
    }

    std::string textof(int i)
    {
        char buffer[paramTextSize] = "untouched";
        valuetext(spec, buffer, i);
        return buffer;
    }
};

enum { iText, iInt, iReal, iChoice, iYesNo, iBool };

TEST(ValueText, EachKindToText)
{
    Table t;
    EXPECT_EQ(t.textof(iText), "hello");
    t.number = -42;
    EXPECT_EQ(t.textof(iInt), "-42");
    t.real = 0.123456f;
    EXPECT_EQ(t.textof(iReal), "0.1235");
    t.real = 1500.0f;
    EXPECT_EQ(t.textof(iReal), "1500");
    EXPECT_EQ(t.textof(iChoice), "untouched");
    EXPECT_EQ(t.textof(iYesNo), "1");
    for (char c : {'N', 'y', '\0'}) {
        t.yesno = c;
        EXPECT_EQ(t.textof(iYesNo), "0") << int(c);
    }
    t.flag = 7;
    EXPECT_EQ(t.textof(iBool), "1");
    t.flag = 0;
    EXPECT_EQ(t.textof(iBool), "0");

    // A variable longer than a dialog text arrives cut to 799 characters.
    std::string longtext(900, 'a');
    t.entries[iText].value = longtext.data();
    EXPECT_EQ(t.textof(iText), std::string(paramTextSize - 1, 'a'));
}

TEST(ValueText, TextToEachKind)
{
    Table t;
    const struct {
        const char* text;
        std::int32_t value;
    } ints[] = {{"007", 7},   {"-3", -3}, {"12e", 12}, {"2e3", 2}, {"", 0}, {"abc", 0},
                {"99999999999", std::numeric_limits<std::int32_t>::max()},
                {"-99999999999", std::numeric_limits<std::int32_t>::min()}};
    for (const auto& c : ints) {
        textvalue(t.spec, c.text, iInt);
        EXPECT_EQ(t.number, c.value) << c.text;
    }

    // Infinities are read alike on every platform, whatever its atof does.
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* text;
        float value;
    } reals[] = {{"1.5e3", 1500.0f}, {"-0.25", -0.25f}, {"1e39", inf}, {"-1e39", -inf},
                 {"inf", inf},       {"-inf", -inf},    {"INF", inf},  {"x", 0.0f}};
    for (const auto& c : reals) {
        textvalue(t.spec, c.text, iReal);
        EXPECT_EQ(t.real, c.value) << c.text;
    }
    for (float v : {inf, -inf}) {
        t.real = v;
        const std::string text = t.textof(iReal);
        t.real = 0;
        textvalue(t.spec, text.c_str(), iReal);
        EXPECT_EQ(t.real, v) << text;
    }

    for (const char* on : {"1", "7", "-1"}) {
        t.flag = 0;
        textvalue(t.spec, on, iBool);
        EXPECT_EQ(t.flag, 1) << on;
    }
    for (const char* off : {"0", "", "x"}) {
        t.flag = 5;
        textvalue(t.spec, off, iBool);
        EXPECT_EQ(t.flag, 0) << off;
    }

    // Text, choice and yes/no take their values elsewhere.
    textvalue(t.spec, "1", iText);
    textvalue(t.spec, "1", iChoice);
    textvalue(t.spec, "0", iYesNo);
    EXPECT_STREQ(t.text, "hello");
    EXPECT_EQ(t.choice, 'B');
    EXPECT_EQ(t.yesno, 'Y');
}

TEST(ValueText, StoreTextCutsToCapacity)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    ParamEntry e = textentry(buffer, "Text");
    EXPECT_EQ(e.capacity, sizeof buffer);
    e.capacity = 5;
    storetext(e, "abcdefgh");
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], '#');
    storetext(e, "xy");
    EXPECT_STREQ(buffer, "xy");
}

TEST(ValueTextDeathTest, TextEntryWithoutCapacityEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            echomessages(true);
            char buffer[8] = "";
            storetext(ParamEntry{buffer, nullptr, PARAM_TEXT, "Name", 0, 0, 0}, "zz");
        },
        testing::ExitedWithCode(1), "Exiting on error: Text parameter \"Name\" has no buffer size");
}

TEST(ValueText, PageStart)
{
    std::uint32_t sizes[] = {3, 2, 4, 3};
    ParamDialogSpec spec;
    spec.pageSizes = sizes;
    EXPECT_EQ(paramcount(spec), 9);
    const struct {
        std::uint8_t page;
        int first, count;
    } cases[] = {{0, 0, 2}, {1, 2, 4}, {2, 6, 3}, {3, 0, 2}, {255, 0, 2}};
    for (const auto& c : cases) {
        spec.page = c.page;
        int count = -1;
        EXPECT_EQ(pagestart(spec, count), c.first) << int(c.page);
        EXPECT_EQ(count, c.count) << int(c.page);
    }
}

}  // namespace
