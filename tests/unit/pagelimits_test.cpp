// What a generated dialog can show, told before any control is made.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/pagelimits.h"

namespace {

// One page of number rows and choices, then the extra entries on a page of
// their own when there are any.
struct Table {
    std::vector<ParamEntry> entries;
    std::uint32_t sizes[3] = {1, 0, 0};
    ParamDialogSpec spec;

    Table(int numbers, int choices, const char* label = "Mode:a,b", char* letters = nullptr,
          std::vector<ParamEntry> extra = {})
    {
        static char ab[] = "ab";
        for (int i = 0; i < numbers; ++i)
            entries.push_back({nullptr, nullptr, PARAM_INT, "Count", 0, 0, 0});
        for (int i = 0; i < choices; ++i)
            entries.push_back({nullptr, letters ? letters : ab, PARAM_CHOICE, label, 0, 0, 0});
        sizes[1] = static_cast<std::uint32_t>(entries.size());
        if (!extra.empty()) {
            sizes[0] = 2;
            sizes[2] = static_cast<std::uint32_t>(extra.size());
            entries.insert(entries.end(), extra.begin(), extra.end());
        }
        spec.entries = entries.data();
        spec.pageSizes = sizes;
    }
    Table(const Table&) = delete;  // spec points into this very record
};

ParamEntry unit(char* letters)
{
    return {nullptr, letters, PARAM_FLOAT | PARAM_UNIT, "Time:ms,s,min", 0, 0, 0};
}

TEST(PageLimits, TablesThatDoNotFitAreToldWhy)
{
    static char sixteen[] = "abcdefghijklmnop";
    static char fifteen[] = "abcdefghijklmno";
    static char units[] = "MSNS", twoUnits[] = "MSS", noUnits[] = "";
    const struct {
        Table table;
        const char* problem;
    } cases[] = {
        {Table(15, 0), nullptr},
        {Table(16, 0), kTooManyRows},
        {Table(5, 10), nullptr},
        {Table(0, 11), kTooManyGroups},
        {Table(0, 1, "M:1,2,3,4,5,6,7,8,9,10,11,12,13,14,15", fifteen), nullptr},
        {Table(0, 1, "M:1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", fifteen), kTooManyOptions},
        {Table(0, 1, "M:1,2", sixteen), kTooManyOptions},
        // A later page is checked as well as the first.
        {Table(1, 0, "", nullptr, {unit(units)}), nullptr},
        {Table(1, 0, "", nullptr, std::vector<ParamEntry>(16, unit(units))), kTooManyRows},
        // A unit keeps its selection at index 3 of its letters.
        {Table(1, 0, "", nullptr, {unit(nullptr)}), kBadUnit},
        {Table(1, 0, "", nullptr, {unit(noUnits)}), kBadUnit},
        {Table(1, 0, "", nullptr, {unit(twoUnits)}), kBadUnit},
    };
    for (const auto& c : cases) {
        const char* got = tablelimit(c.table.spec);
        EXPECT_STREQ(got, c.problem) << c.table.entries.size() << " rows";
    }

    std::uint32_t none[1] = {0};
    ParamDialogSpec empty;
    EXPECT_STREQ(tablelimit(empty), kNoPages);
    empty.pageSizes = none;
    EXPECT_STREQ(tablelimit(empty), kNoPages);
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
