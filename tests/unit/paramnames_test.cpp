#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "params/paramnames.h"

namespace {

using namespace std::string_literals;

TEST(ParamNames, FilterAndCaseChanges)
{
    char ext[4] = "pRm";
    EXPECT_EQ(paramfilter("Param.", ext), "Param. Files (*.PRM)\0*.prm\0\0"s);
    EXPECT_STREQ(ext, "prm");

    // Bytes above 127 must reach the C library as unsigned values: in code
    // page 1252, where they have case, a signed 0xff would pass for EOF.
#if defined(_WIN32)
    ASSERT_TRUE(std::setlocale(LC_CTYPE, ".1252"));
#elif defined(TESSEL_TEST_LOCALES)
    setenv("LOCPATH", TESSEL_TEST_LOCALES, 1);
    ASSERT_TRUE(std::setlocale(LC_CTYPE, "en_US.CP1252"));
#else
    GTEST_SKIP() << "no locale of code page 1252 here";
#endif
    char text[] = "ab\xe9\xff-Z9";
    upcase(text);
    EXPECT_STREQ(text, "AB\xc9\x9f-Z9");
    lowcase(text);
    EXPECT_STREQ(text, "ab\xe9\xff-z9");
    std::setlocale(LC_CTYPE, "C");
}

TEST(ParamNames, NameDropsFolderAndLastExtension)
{
    const struct { const char *path, *name; } cases[] = {{"C:\\labparms\\run.v2.prm", "run.v2"},
                                                         {"C:\\my.folder\\plain", "plain"},
                                                         {"C:\\labparms\\.prm", ""}, {"rest.prm", "rest"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(paramname(c.path), c.name) << c.path;
}

TEST(ParamNames, OnlyTextCanBeAParameterFile)
{
    for (const std::string& text : {""s, "[Parameters]\r\nCombine Files=1\r\n"s, "Name=caf\xe9\tnotes\n"s})
        EXPECT_TRUE(paramtext(text)) << text;
    // A recording's padded header, an image, a stray control character.
    for (const std::string& other : {"-FileType CSC\r\n\0\0"s, "\x89PNG\r\n\x1a\n"s, "Name=x\x01"s})
        EXPECT_FALSE(paramtext(other)) << other;
}

}  // namespace
