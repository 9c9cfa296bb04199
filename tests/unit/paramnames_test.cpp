#include <gtest/gtest.h>

#include <string>

#include "params/paramnames.h"

namespace {

using namespace std::string_literals;

TEST(ParamNames, FilterNamesTheTypeAndLeavesTheExtensionLower)
{
    char ext[4] = "PRM";
    EXPECT_EQ(paramfilter("Param.", ext), "Param. Files (*.PRM)\0*.prm\0\0"s);
    EXPECT_STREQ(ext, "prm");

    char tsa[4] = "tSa";
    EXPECT_EQ(paramfilter("Tessel", tsa), "Tessel Files (*.TSA)\0*.tsa\0\0"s);
    EXPECT_STREQ(tsa, "tsa");
}

TEST(ParamNames, CaseChangesKeepEightBitCharacters)
{
    // Bytes above 127 are negative chars; they must reach toupper as
    // unsigned values, and the "C" locale leaves them alone.
    char text[] = "ab\xe9\xff-Z9";
    upcase(text);
    EXPECT_STREQ(text, "AB\xe9\xff-Z9");
    lowcase(text);
    EXPECT_STREQ(text, "ab\xe9\xff-z9");
}

TEST(ParamNames, NameDropsFolderAndLastExtension)
{
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\labparms\\run.v2.prm", "run.v2"},
        {"C:\\my.folder\\plain", "plain"},
        {"C:\\labparms\\.prm", ""},
        {"rest.prm", "rest"},
        {"C:\\labparms\\", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paramname(c.path), c.name) << c.path;
}

}  // namespace
