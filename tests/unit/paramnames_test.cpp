#include <gtest/gtest.h>

#include <string>

#include "params/paramnames.h"

namespace {

using namespace std::string_literals;

TEST(ParamNames, FilterAndCaseChanges)
{
    char ext[4] = "pRm";
    EXPECT_EQ(paramfilter("Param.", ext), "Param. Files (*.PRM)\0*.prm\0\0"s);
    EXPECT_STREQ(ext, "prm");

    // Bytes above 127 reach the C library as unsigned values; the "C"
    // locale leaves them alone.
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
    } cases[] = {{"C:\\labparms\\run.v2.prm", "run.v2"}, {"C:\\my.folder\\plain", "plain"},
                 {"C:\\labparms\\.prm", ""}, {"rest.prm", "rest"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(paramname(c.path), c.name) << c.path;
}

TEST(ParamNames, OnlyTextCanBeAParameterFile)
{
    const struct {
        std::string head;
        bool text;
    } cases[] = {
        {"", true},
        {"[Parameters]\r\nCombine Files=1\r\n", true},
        {"Name=caf\xe9\tnotes\n", true},
        {"######## Neuralynx Data File Header\r\n\0\0\0"s, false},  // a recording's padded header
        {"\x89PNG\r\n\x1a\n"s, false},
        {"Name=x\x7f\x01"s, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paramtext(c.head), c.text) << c.head;
}

}  // namespace
