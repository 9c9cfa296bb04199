#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "params/paramsection.h"
#include "support/ncsbytes.h"

namespace {

// A table with one entry of every kind, over two pages, and the variables
// it edits.
struct Table {
    char name[1000] = "";
    std::int32_t count = 0;
    float gain = 0;
    std::int32_t enabled = 0;
    char combine = 'N';
    char mode = 'O';
    char modes[4] = "OHN";
    std::int32_t delay = 0;
    char units[5] = {'s', 'm', 'u', 'm', '\0'};  // three letters, then the one chosen
    char shortText[8] = "";

    ParamEntry entries[8] = {
        textentry(name, "Name"),
        {&count, nullptr, PARAM_INT, "Count", 0, 0, 0},
        {&gain, nullptr, PARAM_FLOAT, "Gain", 0, 0, 0},
        {&enabled, nullptr, PARAM_BOOL, "Enabled", 0, 0, 0},
        {&combine, nullptr, PARAM_YESNO, "Combine Files", 0, 0, 0},
        {&mode, modes, PARAM_CHOICE, "MainWindow:On,HideInEdit,None", 0, 0, 0},
        {&delay, units, PARAM_INT | PARAM_UNIT, "Delay:s,ms,us", 0, 0, 0},
        textentry(shortText, "Short"),
    };
    std::uint32_t pageSizes[3] = {2, 5, 3};
    ParamDialogSpec spec;

    Table()
    {
        spec.entries = entries;
        spec.pageSizes = pageSizes;
    }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    void set(const char* text, std::int32_t c, float g, std::int32_t e, char yn, char m, std::int32_t d, char unit)
    {
        std::strcpy(name, text);
        count = c;
        gain = g;
        enabled = e;
        combine = yn;
        mode = m;
        delay = d;
        units[3] = unit;
        std::strcpy(shortText, "abc");
    }

    // Every variable, for one comparison per case.
    std::string state() const
    {
        char text[1200];
        std::snprintf(text, sizeof text, "%s|%d|%g|%d|%c|%c|%d%c|%s", name, count, static_cast<double>(gain), enabled,
                      combine, mode, delay, units[3], shortText);
        return text;
    }
};

class ParamSection : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string file = (dir.path() / "params.ini").string();
    Table t;

    std::string other(const std::string& bytes) const
    {
        const std::string f = (dir.path() / "other.ini").string();
        writebytes(f, bytes);
        return f;
    }
};

TEST_F(ParamSection, SaveWritesTableInOrderAndLoadRestoresIt)
{
    t.set("Data run 7", -42, 0.123456f, 1, 'Y', 'H', 250, 'u');
    EXPECT_EQ(saveparams("Parameters", t.spec, file.c_str()), 8);
    EXPECT_EQ(readbytes(file), "[Parameters]\r\nName=Data run 7\r\nCount=-42\r\nGain=0.1235\r\nEnabled=1\r\n"
                               "Combine Files=1\r\nMainWindow:On,HideInEdit,None=H\r\nDelay:s,ms,us=u250\r\n"
                               "Short=abc\r\n");

    t.set("other", 5, 9.0f, 0, 'N', 'O', 1, 's');
    std::strcpy(t.shortText, "zz");
    EXPECT_EQ(loadparams("Parameters", t.spec, file.c_str()), 8);
    EXPECT_EQ(t.state(), "Data run 7|-42|0.1235|1|Y|H|250u|abc");
    EXPECT_EQ(t.gain, 0.1235f);
}

TEST_F(ParamSection, TextsTrimmedCutAndFitted)
{
    t.set("  padded  ", 0, 0, 0, 'N', 'O', 0, 'm');
    saveparams("P", t.spec, file.c_str());
    loadparams("P", t.spec, file.c_str());
    EXPECT_STREQ(t.name, "padded");  // blanks around a profile value do not survive

    const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
    std::strcpy(t.name, thirty.c_str());
    saveparams("P", t.spec, file.c_str());
    loadparams("P", t.spec, file.c_str());
    EXPECT_EQ(t.name, thirty);

    std::strcpy(t.name, std::string(900, 'x').c_str());
    saveparams("P", t.spec, file.c_str());
    loadparams("P", t.spec, file.c_str());
    EXPECT_EQ(t.name, std::string(795, 'x') + "...");

    loadparams("P", t.spec, other("[P]\r\nShort=abcdefghij\r\n").c_str());
    EXPECT_STREQ(t.shortText, "abcdefg");
}

TEST_F(ParamSection, MissingSectionOnlySetsUnitLetter)
{
    t.set("kept", 3, 1.5f, 1, 'Y', 'H', 40, 'u');
    loadparams("Parameters", t.spec, other("[General]\r\nName=no\r\nCount=9\r\n").c_str());
    EXPECT_EQ(t.state(), "kept|3|1.5|1|Y|H|40N|abc");

    // The platform drops trailing spaces from the default it returns.
    std::strcpy(t.name, "kept  ");
    loadparams("Parameters", t.spec, file.c_str());
    EXPECT_STREQ(t.name, "kept");
}

TEST_F(ParamSection, EmptyValueKeepsVariableAndYesNoWantsOne)
{
    t.set("kept", 3, 1.5f, 1, 'Y', 'H', 40, 'u');
    loadparams("P", t.spec,
               other("[P]\r\nName=\r\nCount=\r\nDelay:s,ms,us=\r\nMainWindow:On,HideInEdit,None=\r\nCombine Files=Y\r\n")
                   .c_str());
    EXPECT_EQ(t.state(), "kept|3|1.5|1|N|H|40u|abc");
}

TEST_F(ParamSection, SingleFlagsIntegersAndLetters)
{
    EXPECT_NE(putflag("General", "on", 7, file.c_str()), 0);
    EXPECT_NE(putflag("General", "off", 0, file.c_str()), 0);
    putint("General", "n", -7, file.c_str());
    EXPECT_NE(putletter("General", "mode", 'H', file.c_str()), 0);
    EXPECT_NE(putletter("General", "none", '\0', file.c_str()), 0);
    EXPECT_EQ(readbytes(file), "[General]\r\non=1\r\noff=0\r\nn=-7\r\nmode=H\r\nnone=\r\n");

    EXPECT_EQ(getint("General", "n", 5, file.c_str()), -7);
    EXPECT_EQ(getint("General", "missing", 5, file.c_str()), 5);
    EXPECT_EQ(getletter("General", "mode", 'O', file.c_str()), 'H');
    EXPECT_EQ(getletter("General", "none", 'O', file.c_str()), '\0');
    EXPECT_EQ(getletter("General", "missing", 'O', file.c_str()), 'O');
}

}  // namespace
