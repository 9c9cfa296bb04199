#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numtext/numshort.h"

namespace {

struct Case {
    float value;
    int n;
    const char* text;
};

TEST(NumShort, ShortestText)
{
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {0.0f, 4, "0"},           {-0.0f, 4, "0"},
        {1.0f, 4, "1"},           {0.5f, 4, "0.5"},
        {-0.5f, 4, "-0.5"},       {100.0f, 4, "100"},
        {1.5f, 4, "1.5"},         {12.345f, 4, "12.35"},
        {1234.5678f, 4, "1235"},  {-1234.5678f, 4, "-1235"},
        {123.456f, 4, "123.5"},   {2.0f / 3.0f, 4, "0.6667"},
        {65536.0f, 4, "65540"},   {12345678.0f, 4, "12350000"},
        {99999.5f, 4, "100000"},  {1e9f, 4, "1000000000"},
        {-1e9f, 4, "-1e9"},       {1e10f, 4, "1e10"},
        {1e20f, 4, "1e20"},       {-1e20f, 4, "-1e20"},
        {0.001f, 4, "0.001"},     {0.00001f, 4, "0.00001"},
        {0.000001f, 4, "1e-6"},   {-0.0001f, 4, "-0.0001"},
        {-0.00001f, 4, "-1e-5"},  {0.0000015f, 4, "1.5e-6"},
        {1e-35f, 4, "1e-35"},     {-1e-35f, 4, "-1e-35"},
        {1e-36f, 4, "0"},         {std::nanf(""), 4, "0"},
        {inf, 4, "inf"},          {-inf, 4, "-inf"},
        {1234.5678f, 6, "1234.57"}, {1e10f, 6, "10000000000"},
        {2.5f, 1, "3"},           {12345678.0f, 1, "1e7"},
        {0.125f, 2, "0.13"},      {-0.125f, 2, "-0.13"},
        {9.5f, 1, "10"},          {2.5f, 0, "3"},
        {3.0f, 200, "3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(numshort(c.value, c.n), c.text) << c.value << " n=" << c.n;
}

TEST(NumShort, TrimmedField)
{
    const Case cases[] = {
        {0.5f, 4, "0.5000"},       {1.0f, 4, "1.000"},
        {1e20f, 4, "1.000e20"},    {-1e-5f, 4, "-1.000e-5"},
        {0.00001f, 4, "0.00001000"}, {-0.0001f, 4, "-0.0001000"},
        {1.5e-6f, 4, "1.500e-6"},  {12345678.0f, 1, "1e7"},
        // Exact float values sitting on a tie, rounded away from zero
        // whatever the C runtime's printf does.
        {0.625f, 2, "0.63"},       {-2.5f, 1, "-3"},
        {0.0625f, 2, "0.063"}, {1.0e-40f, 4, "1.000e-40"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(numtrim(c.value, c.n), c.text) << c.value << " n=" << c.n;
    // Every digit of a float's exact expansion is available.
    EXPECT_EQ(numtrim(0.1f, 30), "0.100000001490116119384765625000");
}

TEST(NumShort, TextEdits)
{
    struct Edit {
        const char* before;
        int index;
        const char* inserted;
        const char* deleted;
    };
    const Edit edits[] = {
        {"abc", 0, "xabc", "bc"}, {"abc", 2, "abxc", "ab"},
        {"abc", 3, "abcx", "abc"}, {"abc", 7, "abcx", "abc"},
        {"abc", -1, nullptr, "abc"}, {"", 0, "x", ""},
    };
    for (const Edit& e : edits) {
        std::string text = e.before;
        delchar(text, e.index);
        EXPECT_EQ(text, e.deleted) << e.before << " @" << e.index;
        if (e.inserted) {
            text = e.before;
            inschar(text, static_cast<std::size_t>(e.index), 'x');
            EXPECT_EQ(text, e.inserted) << e.before << " @" << e.index;
        }
    }

    const char* blanks[][2] = {
        {"   ", ""}, {" -0.5 ", "-0.5"}, {"", ""}, {"a", "a"},
        {"  1 2  ", "1 2"}, {" ", ""},
    };
    for (const auto& b : blanks) {
        std::string text = b[0];
        trimblanks(text);
        EXPECT_EQ(text, b[1]) << '"' << b[0] << '"';
    }
}

}  // namespace
