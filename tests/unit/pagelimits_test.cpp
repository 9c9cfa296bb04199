// What a generated dialog can show, told before anything is made.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/pagelimits.h"

namespace {

struct Page {
    std::vector<ParamEntry> entries;
    std::uint32_t sizes[2] = {1, 0};
    ParamDialogSpec spec;

    Page(int texts, int choices, const char* label = "Mode:a,b", char* letters = nullptr)
    {
        static char ab[] = "ab";
        for (int i = 0; i < texts; ++i)
            entries.push_back({nullptr, nullptr, PARAM_INT, "Count", 0, 0, 0});
        for (int i = 0; i < choices; ++i)
            entries.push_back({nullptr, letters ? letters : ab, PARAM_CHOICE, label, 0, 0, 0});
        sizes[1] = static_cast<std::uint32_t>(entries.size());
        spec.entries = entries.data();
        spec.pageSizes = sizes;
    }
    Page(const Page&) = delete;  // spec points into this very record
};

TEST(PageLimits, RowsGroupsAndOptionsThatDoNotFit)
{
    static char sixteen[] = "abcdefghijklmnop", fifteen[] = "abcdefghijklmno";
    const struct { Page page; const char* problem; } cases[] = {
        {Page(15, 0), nullptr}, {Page(16, 0), kTooManyRows}, {Page(5, 10), nullptr}, {Page(0, 11), kTooManyGroups},
        {Page(0, 1, "M:1,2,3,4,5,6,7,8,9,10,11,12,13,14,15", fifteen), nullptr},
        {Page(0, 1, "M:1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", fifteen), kTooManyOptions},
        {Page(0, 1, "M:1,2", sixteen), kTooManyOptions},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(tablelimit(c.page.spec), c.problem) << c.page.entries.size() << " rows";
}

// A unit keeps the letter chosen at index 3; a table with no page has nothing to show.
TEST(PageLimits, UnitLettersAndPages)
{
    static char units[] = "MSNS", two[] = "MSS", none[] = "";
    for (char* letters : {units, two, none, static_cast<char*>(nullptr)}) {
        Page page(1, 0);
        page.entries[0] = {nullptr, letters, PARAM_FLOAT | PARAM_UNIT, "Time:ms,s,min", 0, 0, 0};
        EXPECT_STREQ(tablelimit(page.spec), letters == units ? nullptr : kBadUnit) << (letters ? letters : "null");
    }
    Page empty(0, 0);
    empty.sizes[0] = 0;
    EXPECT_STREQ(tablelimit(empty.spec), kNoPages);
}

TEST(PageLimits, AUnitsSelectionSlotIsNoOption)
{
    char letters[] = "MSNS";
    ParamEntry unit{nullptr, letters, PARAM_FLOAT | PARAM_UNIT, "Time:ms,s", 0, 0, 0};
    EXPECT_EQ(optioncount(unit), 3);
    EXPECT_STREQ(optionnames("Time:ms,s"), "ms,s");
    EXPECT_STREQ(optionnames("No options"), "");
}

}  // namespace
