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
}

// The Windows code page 1252, in which bytes above 127 have case; null
// where no such locale is at hand.
const char* codepage1252()
{
#if defined(_WIN32)
    return ".1252";
#elif defined(TESSEL_TEST_LOCALES)
    setenv("LOCPATH", TESSEL_TEST_LOCALES, 1);
    return "en_US.CP1252";
#else
    return nullptr;
#endif
}

// Bytes above 127 must reach the C library as unsigned values: as a signed
// char, 0xff (y with diaeresis) would pass for EOF and keep its case.
TEST(ParamNames, CaseChangesOfBytesAbove127)
{
    const char* locale = codepage1252();
    if (!locale)
        GTEST_SKIP() << "no locale of code page 1252 here";
    ASSERT_NE(std::setlocale(LC_CTYPE, locale), nullptr) << locale;
    char text[] = "ab\xe9\xff-Z9";
    upcase(text);
    EXPECT_STREQ(text, "AB\xc9\x9f-Z9");
    lowcase(text);
    EXPECT_STREQ(text, "ab\xe9\xff-z9");
    std::setlocale(LC_CTYPE, "C");
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
