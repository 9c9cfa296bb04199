#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "numtext/numlist.h"

namespace {

using Values = std::vector<std::uint32_t>;

Values run(std::uint32_t from, std::uint32_t to)
{
    Values v;
    for (std::uint32_t n = from; n <= to; ++n)
        v.push_back(n);
    return v;
}

struct Case {
    const char* text;
    Values values;
    const char* rewritten;
};

TEST(NumList, ExpandsBetweenOneAndSixteen)
{
    const Case cases[] = {
        {"1..10", run(1, 10), "1..10"},
        {"5", {5}, "5"},
        {"5,", {5}, "5,"},
        {",5", {5}, ",5"},
        {"1,3,5..8", {1, 3, 5, 6, 7, 8}, "1,3,5..8"},
        {"16..13", {16, 15, 14, 13}, "16..13"},
        {"1..16Q2", {1, 3, 5, 7, 9, 11, 13, 15}, "1..16Q2"},
        {"1..16q1", run(1, 16), "1..16"},
        {"1..16Q0", run(1, 16), "1..16"},
        {"1..10Q3", {1, 4, 7, 10}, "1..10Q3"},
        {"1..5q02x,,", {1, 3, 5}, "1..5Q2"},
        {"1..10Q4", {1, 5, 9}, "1..10Q4"},
        {"10..1Q3", {10, 7, 4, 1}, "10..1Q3"},
        {"1..5..9", {1, 2, 3, 4, 5, 2, 3, 4, 5, 6, 7, 8, 9}, "1..5..9"},
        {"1..10,x3..5", {1, 2, 6, 7, 8, 9, 10}, "1..10,X3..5"},
        {"1..10,X4,6", {1, 2, 3, 5, 7, 8, 9, 10}, "1..10,X4,6"},
        {"1..5,X3", {1, 2, 4, 5}, "1..5,X3"},
        {"1..5,3,X3", {1, 2, 4, 5}, "1..5,3,X3"},
        // Exclusion stays on for a following range from the same start.
        {"1..10,X2..4..8", {1, 9, 10}, "1..10,X2..4..8"},
        // Downward exclusions drop what the upward one would.
        {"1..10,X8..5", {1, 2, 3, 4, 9, 10}, "1..10,X8..5"},
        {"1..16,X10..1Q3", {13, 16}, "1..16,X10..1Q3"},
        // More values than the bounds span: the list just grows.
        {"1..16..16..16..16", [] {
             Values v{1};
             for (int i = 0; i < 4; ++i)
                 for (std::uint32_t n = 2; n <= 16; ++n)
                     v.push_back(n);
             return v;
         }(), "1..16..16..16..16"},
        {"3..", {3}, "3.."},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        std::uint32_t k = 1;
        Values values;
        EXPECT_EQ(expandlist(text, k, 1, 16, &values), static_cast<int>(c.values.size())) << c.text;
        EXPECT_EQ(values, c.values) << c.text;
        EXPECT_EQ(text, c.rewritten) << c.text;
        EXPECT_EQ(k, c.values.front()) << c.text;
    }
}

TEST(NumList, Rejects)
{
    const char* texts[] = {
        "0", "17", "1..17", "1, 2", "1;2", "-1", "1.5", "1...5", "", " 5", "X",
        "1,,2", "1,..2", "1XX,2", "1X2", "5,X5", "99999999999", "1..16,X1..16",
    };
    for (const char* t : texts) {
        std::string text = t;
        std::uint32_t k = 7;
        EXPECT_EQ(expandlist(text, k, 1, 16), 0) << t;
        EXPECT_EQ(k, 7u) << t;
    }
}

TEST(NumList, CompletesTrailingRangeOnlyForPositionZero)
{
    std::string text = "3..";
    std::uint32_t k = 0;
    Values values;
    EXPECT_EQ(expandlist(text, k, 0, 16, &values), 14);
    EXPECT_EQ(text, "3..16");
    EXPECT_EQ(values, run(3, 16));
    EXPECT_EQ(k, 0u);

    text = "3..q2";
    EXPECT_EQ(expandlist(text, k, 0, 16, &values), 7);
    EXPECT_EQ(text, "3..16Q2");
    EXPECT_EQ(values, (Values{3, 5, 7, 9, 11, 13, 15}));

    // A C text ends at its terminator, and so does the list.
    text.assign("5\0,9", 4);
    EXPECT_EQ(expandlist(text, k, 0, 16), 1);
    EXPECT_EQ(text, "5");

    k = 1;
    text = "3..Q2";
    EXPECT_EQ(expandlist(text, k, 1, 16), 1);
    EXPECT_EQ(text, "3..Q2");
}

TEST(NumList, ItemPosition)
{
    const struct {
        std::uint32_t k;
        std::uint32_t value;
    } cases[] = {{1, 16}, {2, 15}, {4, 13}, {5, 13}, {1000, 13}};
    for (const auto& c : cases) {
        std::string text = "16..13";
        std::uint32_t k = c.k;
        EXPECT_EQ(expandlist(text, k, 1, 16), 4);
        EXPECT_EQ(k, c.value) << c.k;
    }
}

TEST(NumList, StaysBoundedNearTheLimits)
{
    const std::uint32_t top = 4294967295u;
    std::uint32_t k = 1;
    std::string text = "4294967290..4294967295,4294967295..4294967293";
    Values values;
    EXPECT_EQ(expandlist(text, k, top - 5, top, &values), 9);
    EXPECT_EQ(values, (Values{top - 5, top - 4, top - 3, top - 2, top - 1, top, top, top - 1, top - 2}));

    for (const char* t : {"4294967296", "99999999999999999999999999"}) {
        text = t;
        EXPECT_EQ(expandlist(text, k, 0, top), 0) << t;
    }

    // Too many values is a rejection, not gigabytes; a step keeps it in bounds.
    text = "0..2147483648";
    EXPECT_EQ(expandlist(text, k, 0, 2147483648u), 0);
    text = "0..2147483648Q4096";
    EXPECT_EQ(expandlist(text, k, 0, 2147483648u), 524289);
    text = "0..4294967295Q99999999999";
    EXPECT_EQ(expandlist(text, k, 0, top, &values), 3);
    EXPECT_EQ(text, "0..4294967295Q2147483647");
    EXPECT_EQ(values, (Values{0, 2147483647, 4294967294u}));

    // An exclusion over the whole range only filters what is there.
    text = "5,X0..4294967295Q3";
    EXPECT_EQ(expandlist(text, k, 0, top, &values), 1);
    EXPECT_EQ(values, Values{5});
}

TEST(NumList, FindInt)
{
    std::size_t end = 99;
    EXPECT_EQ(findint(",,X12,3", end), 12u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(findint("0", end), 0u);
    EXPECT_EQ(end, 1u);
    EXPECT_EQ(findint("4294967296", end), 4294967296u);
    EXPECT_EQ(findint("123456789012345678901234567890", end), 4294967296u);
    EXPECT_EQ(end, 30u);
    for (const char* t : {"", ",..", "-5", ", 5", "q5"}) {
        end = 99;
        EXPECT_EQ(findint(t, end), 0u) << t;
        EXPECT_EQ(end, 99u) << t;
    }
}

}  // namespace
