#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "params/valuetext.h"
#include "shell/convparams.h"
#include "support/recorder.h"

namespace {

// n integer entries, those at the given indices flagged as ending a page.
void filltable(ParamTable& table, int n, std::initializer_list<int> pageEnds)
{
    static std::int32_t value = 0;
    for (int i = 0; i < n; ++i) {
        ParamEntry e;
        e.value = &value;
        e.flags = PARAM_INT;
        for (int end : pageEnds) {
            if (end == i)
                e.flags |= PARAM_PAGEEND;
        }
        addentry(table, e);
    }
}

std::vector<std::uint32_t> pages(const ParamTable& table)
{
    return {table.pageSizes, table.pageSizes + table.pageSizes[0] + 1};
}

std::vector<std::string> titles(const ParamTable& table)
{
    return {table.pageNames, table.pageNames + table.pageSizes[0]};
}

TEST(ConvParams, OneCheckBoxOnOnePage)
{
    ParamDialogSpec spec;
    FileSelection block;
    convparams(spec, block);

    const ParamTable& table = convtable();
    EXPECT_EQ(spec.entries, table.entries);
    EXPECT_EQ(spec.pageSizes, table.pageSizes);
    EXPECT_EQ(pages(table), (std::vector<std::uint32_t>{1, 1}));
    EXPECT_EQ(std::string(spec.pageNames[0]), "Miscellaneous");
    const ParamEntry& e = spec.entries[0];
    EXPECT_EQ(e.flags, PARAM_YESNO);
    EXPECT_STREQ(e.label, "Combine Files");
    EXPECT_EQ(e.choices, nullptr);
    EXPECT_EQ(e.upper, 0.0);
    EXPECT_EQ(e.lower, 0.0);

    // The check box writes one char, yet the batch compares the whole field.
    EXPECT_EQ(block.combine, 'N');
    char text[paramTextSize];
    valuetext(spec, text, 0);
    EXPECT_STREQ(text, "0");
    *static_cast<char*>(e.value) = 'Y';
    EXPECT_EQ(block.combine, 'Y');
    valuetext(spec, text, 0);
    EXPECT_STREQ(text, "1");
}

TEST(ConvParams, PageSplit)
{
    ParamTable seven;
    filltable(seven, 7, {2, 5});
    splitpages(seven);
    EXPECT_EQ(pages(seven), (std::vector<std::uint32_t>{3, 3, 3, 1}));
    EXPECT_EQ(titles(seven), (std::vector<std::string>{"Miscellaneous", "Durations", ""}));

    // A flag on the last entry adds no empty page.
    ParamTable five;
    filltable(five, 5, {4});
    splitpages(five);
    EXPECT_EQ(pages(five), (std::vector<std::uint32_t>{1, 5}));

    ParamTable full;
    filltable(full, maxTableEntries, {0, 1, 2});
    splitpages(full);
    EXPECT_EQ(pages(full), (std::vector<std::uint32_t>{4, 1, 1, 1, 28}));
}

TEST(ConvParamsDeathTest, OverflowsEndTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            echomessages(true);
            ParamTable table;
            filltable(table, 5, {0, 1, 2, 3});
            splitpages(table);
        },
        testing::ExitedWithCode(1), "Exiting on error: Error in Dialog Preparation, pagesizes");
    EXPECT_EXIT(
        {
            echomessages(true);
            ParamTable table;
            filltable(table, maxTableEntries + 1, {});
        },
        testing::ExitedWithCode(1), "Exiting on error: Not enough room for dialog menu items");
}

}  // namespace
