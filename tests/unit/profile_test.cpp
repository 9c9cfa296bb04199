// The same cases run natively against our private-profile calls and, in the
// Windows build, against kernel32's, so any difference shows as a failure.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "support/ncsbytes.h"

namespace {

class Profile : public ::testing::Test {
protected:
    ScratchDir dir;

    // kernel32 caches profiles by name and time stamp, so every content a
    // test writes by hand goes to a file of its own. Full paths: a bare name
    // would mean the Windows directory.
    std::string path(const std::string& name) const { return (dir.path() / name).string(); }

    std::string file(const std::string& name, const std::string& bytes) const
    {
        writebytes(path(name), bytes);
        return path(name);
    }

    // The value read with the given capacity; checks that the count
    // returned is the length copied and that nothing past it was touched.
    static std::string get(const std::string& f, const char* section, const char* key, const char* def = "(def)",
                           DWORD size = 100)
    {
        std::string buffer(size + 1, '#');
        const DWORD n = GetPrivateProfileStringA(section, key, def, buffer.data(), size, f.c_str());
        EXPECT_EQ(buffer.find('\0'), n);
        EXPECT_EQ(buffer.back(), '#');
        return buffer.substr(0, n);
    }

    static BOOL put(const std::string& f, const char* section, const char* key, const char* value)
    {
        return WritePrivateProfileStringA(section, key, value, f.c_str());
    }
};

TEST_F(Profile, DefaultsWhenFileSectionOrKeyMissing)
{
    const std::string missing = path("missing.ini");
    EXPECT_EQ(get(missing, "S", "k"), "(def)");
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string f = file("a.ini", "[S]\r\nk=v\r\nnoeq\r\n");
    EXPECT_EQ(get(f, "T", "k"), "(def)");
    EXPECT_EQ(get(f, "S", "other"), "(def)");
    EXPECT_EQ(get(f, "S", "noeq"), "(def)");  // a line without "=" has no value
    EXPECT_EQ(get(f, "S", "other", nullptr), "");
    // Trailing spaces of a default are dropped, leading ones kept.
    EXPECT_EQ(get(f, "S", "other", "  x  "), "  x");
}

TEST_F(Profile, CapacityCutsValue)
{
    const std::string f = file("a.ini", "[S]\r\nk=value one\r\nlong=" + std::string(1000, 'z') + "\r\n");
    EXPECT_EQ(get(f, "S", "k", "", 4), "val");
    EXPECT_EQ(get(f, "S", "k", "", 10), "value one");
    EXPECT_EQ(get(f, "S", "k", "", 1), "");
    EXPECT_EQ(get(f, "S", "missing", "longdefault", 5), "long");
    EXPECT_EQ(get(f, "S", "long", "", 800), std::string(799, 'z'));

    char untouched[2] = "#";
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "", untouched, 0, f.c_str()), 0u);
    EXPECT_EQ(untouched[0], '#');
}

TEST_F(Profile, BlanksCaseQuotesAndComments)
{
    const std::string f = file("a.ini",
                               "; comment=1\r\n[ Sect ]\r\n  Key One  =  value one  \r\n\tTab\t=\tx y\t\r\n"
                               "e=\r\neq=a=b\r\nsemi=x ; not a comment\r\nq=\"quoted\"\r\nsq='s'\r\nqb=  \"x\"  \r\n"
                               "half=\"h\r\none=\"\r\nempty=\"\"\r\n[Sect]\r\nlater=1\r\n");
    EXPECT_EQ(get(f, "sect", "KEY ONE"), "value one");
    EXPECT_EQ(get(f, " Sect\t", " key one "), "value one");
    EXPECT_EQ(get(f, "Sect", "tab"), "x y");
    EXPECT_EQ(get(f, "Sect", "e"), "");  // empty, not the default
    EXPECT_EQ(get(f, "Sect", "eq"), "a=b");
    EXPECT_EQ(get(f, "Sect", "semi"), "x ; not a comment");
    EXPECT_EQ(get(f, "Sect", "later"), "(def)");  // only the first section of a name counts

    // Matching quotes around a value are dropped; a lone or unmatched one stays.
    EXPECT_EQ(get(f, "Sect", "q"), "quoted");
    EXPECT_EQ(get(f, "Sect", "sq"), "s");
    EXPECT_EQ(get(f, "Sect", "qb"), "x");
    EXPECT_EQ(get(f, "Sect", "half"), "\"h");
    EXPECT_EQ(get(f, "Sect", "one"), "\"");
    EXPECT_EQ(get(f, "Sect", "empty"), "");
    EXPECT_EQ(get(f, "Sect", "missing", "\"d\""), "d");
    EXPECT_EQ(get(f, "Sect", "q", "", 8), "quoted");
    // The closing quote is cut from what fits, and one character more.
    EXPECT_EQ(get(f, "Sect", "q", "", 7), "quote");
}

TEST_F(Profile, LineBreaksAndUntrustedBytes)
{
    using namespace std::string_literals;
    const std::string f =
        file("a.ini", "[A]\nlf=1\n[B]\rcr=2\r[C]\r\nnul=x\0y\r\nlast=3\r\nlong="s + std::string(100000, 'w'));
    EXPECT_EQ(get(f, "A", "lf"), "1");
    EXPECT_EQ(get(f, "B", "cr"), "2");
    EXPECT_EQ(get(f, "C", "nul"), "x");
    EXPECT_EQ(get(f, "C", "last"), "3");
    EXPECT_EQ(get(f, "C", "long", "", 800), std::string(799, 'w'));

    const std::string nonl = file("nonl.ini", "\xEF\xBB\xBF[E]\r\na=b");
    EXPECT_EQ(get(nonl, "E", "a"), "b");
    EXPECT_EQ(put(nonl, "E", "c", "d"), 1);
    EXPECT_EQ(readbytes(nonl), "\xEF\xBB\xBF[E]\r\na=b\r\nc=d\r\n");
}

TEST_F(Profile, WriteCreatesFileSectionAndKeyInOrder)
{
    const std::string f = path("new.ini");
    EXPECT_NE(put(f, "S", "k", "v"), 0);
    EXPECT_EQ(readbytes(f), "[S]\r\nk=v\r\n");
    EXPECT_NE(put(f, "T", "a", "1"), 0);
    EXPECT_NE(put(f, " s ", " k2 ", "  v2"), 0);  // leading blanks of a value are not stored
    EXPECT_NE(put(f, "W", "q", "\"quoted\""), 0);
    EXPECT_NE(put(f, "W", "e", ""), 0);
    EXPECT_EQ(readbytes(f), "[S]\r\nk=v\r\nk2=v2\r\n[T]\r\na=1\r\n[W]\r\nq=\"quoted\"\r\ne=\r\n");
    EXPECT_EQ(get(f, "W", "q"), "quoted");
    EXPECT_EQ(get(f, "W", "e"), "");

    EXPECT_EQ(put(path("nofolder/x.ini"), "S", "k", "v"), 0);
    EXPECT_FALSE(std::filesystem::exists(path("nofolder")));
}

TEST_F(Profile, ReplacesInPlaceKeepingOtherLines)
{
    const std::string start = "; top comment\r\n[A]\r\nkey1=value one\r\n;c\r\nkey2=old\r\n[B]\r\nx=1\r\n[C]\r\ny=2\r\n";
    const std::string f = file("a.ini", start);
    EXPECT_NE(put(f, "a", "KEY2", "new"), 0);  // the file keeps its own spelling
    EXPECT_NE(put(f, "B", "z", "3"), 0);
    EXPECT_NE(put(f, "A", "key9", "9"), 0);
    const std::string expected = "; top comment\r\n[A]\r\nkey1=value one\r\n;c\r\nkey2=new\r\nkey9=9\r\n"
                                 "[B]\r\nx=1\r\nz=3\r\n[C]\r\ny=2\r\n";
    EXPECT_EQ(readbytes(f), expected);
    EXPECT_NE(put(f, "A", "key9", "9"), 0);
    EXPECT_EQ(readbytes(f), expected);
    EXPECT_EQ(get(f, "A", "key2"), "new");
}

#ifndef _WIN32
// Windows keeps blank lines and indentation as they are; Wine's kernel32
// rewrites the whole file without them, so this runs natively only.
TEST_F(Profile, BlankLinesAndIndentationKept)
{
    const std::string f = file("a.ini", "\r\n[A]\r\n  k = old  \r\n\r\n\r\n[B]\n\tx=1\n\n");
    EXPECT_NE(put(f, "A", "k", "new"), 0);
    EXPECT_NE(put(f, "A", "n", "2"), 0);
    EXPECT_NE(put(f, "B", "y", "3"), 0);
    EXPECT_EQ(readbytes(f), "\r\n[A]\r\nk=new\r\nn=2\r\n\r\n\r\n[B]\n\tx=1\ny=3\r\n\n");
}
#endif

TEST_F(Profile, NullValueDeletesKeyNullKeyDeletesSection)
{
    const std::string f = file("a.ini", "[S]\r\nk=v\r\nk2=x\r\n;c\r\n[T]\r\na=1\r\n[U]\r\nb=2\r\n");
    EXPECT_NE(put(f, "S", "K", nullptr), 0);
    EXPECT_NE(put(f, "t", nullptr, "ignored"), 0);
    EXPECT_EQ(readbytes(f), "[S]\r\nk2=x\r\n;c\r\n[U]\r\nb=2\r\n");
    EXPECT_NE(put(f, "S", "missing", nullptr), 0);
    EXPECT_NE(put(f, "missing", nullptr, nullptr), 0);
    EXPECT_EQ(readbytes(f), "[S]\r\nk2=x\r\n;c\r\n[U]\r\nb=2\r\n");

    const std::string missing = path("missing.ini");
    EXPECT_NE(put(missing, "S", "k", nullptr), 0);
    EXPECT_NE(put(missing, "S", nullptr, nullptr), 0);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(Profile, FlushAndNullSection)
{
    const std::string f = file("a.ini", "[S]\r\nk=v\r\n");
    // Windows documents a flush as always returning 0.
    EXPECT_EQ(put(f, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(put(path("missing.ini"), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(put(f, nullptr, "k", "x"), 0);
    EXPECT_EQ(readbytes(f), "[S]\r\nk=v\r\n");
    EXPECT_EQ(get(f, "S", "k"), "v");
}

TEST_F(Profile, IntParsing)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},     {" -17 ", -17},    {"+5", 5},        {"12abc", 12},  {"1.9", 1},
        {"abc", 0},     {"0x10", 16},      {"0X10", 0},      {"-0x10", -16}, {"0b101", 5},
        {"0o17", 15},   {"010", 10},       {"\"5\"", 5},     {"4294967297", 1},
        {"", -3},       {"\"\"", -3},
    };
    std::string text = "[I]\r\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += "k" + std::to_string(i) + "=" + cases[i].text + "\r\n";
    const std::string f = file("a.ini", text);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("I", ("k" + std::to_string(i)).c_str(), -3, f.c_str())),
                  cases[i].value)
            << cases[i].text;
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("I", "missing", -3, f.c_str())), -3);
}

}  // namespace
