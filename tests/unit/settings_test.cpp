// The settings file as the program reads and writes it at start-up and when
// it ends; natively through our profile calls, under Wine through kernel32's.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "params/paramsection.h"
#include "platform/profile.h"
#include "shell/convparams.h"
#include "shell/settings.h"
#include "support/ncsbytes.h"

namespace {

// Every "section/key=value" of a profile file in file order, blanks around names and values dropped: kernel32 rewrites
// a file in its own layout, so only this is compared.
std::vector<std::string> keys(const std::string& path)
{
    std::vector<std::string> out;
    std::istringstream in(readbytes(path));
    std::string line, section;
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(" \t\r"));
        s.erase(s.find_last_not_of(" \t\r") + 1);
        return s;
    };
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.size() > 1 && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (auto eq = line.find('='); eq != std::string::npos)
            out.push_back(section + "/" + trim(line.substr(0, eq)) + "=" + trim(line.substr(eq + 1)));
    }
    return out;
}

// What start-up writes when the file gives nothing, with this data directory and Combine Files.
std::vector<std::string> defaults(const std::string& directory, char combine)
{
    return {"General/Font=comic sans ms", "General/Font size=13", "General/MessageBox=0", "General/MainWindow=N",
            "General/Data Directory=" + directory, "General/StatusBoxOn=0",
            "Parameters/Combine Files=" + std::string(1, combine)};
}

// The program's records with their values before the settings are read.
class Settings : public ::testing::Test {
protected:
    ScratchDir dir;
    ParamDialogSpec spec;
    FileSelection block;
    char fontFace[fontFaceSize] = "comic sans ms";
    char dataDirectory[pathSize] = "x:\\";
    std::string ini = (dir.path() / "WINTESSEL.ini").string();
    int fileCount = 0;

    Settings()
    {
        convparams(spec, block);
        spec.fontHeight = 13;
        spec.mainWindowMode = 'N';
    }

    // kernel32 caches a profile by name, so each content written by hand goes to a file of its own.
    void settingsfile(const std::string& general, const std::string& parameters = "")
    {
        ini = (dir.path() / ("s" + std::to_string(++fileCount) + ".ini")).string();
        writebytes(ini, "[General]\r\n" + general + "[Parameters]\r\n" + parameters);
    }

    void start() { startsettings(spec, {fontFace, dataDirectory}, ini.c_str()); }
};

TEST_F(Settings, FirstStartWritesTheDefaults)
{
    start();
    EXPECT_EQ(keys(ini), defaults("x:\\", '0'));
    EXPECT_EQ(spec.fontName, fontFace);
    EXPECT_EQ(spec.statusBoxOn, 0);
    EXPECT_EQ(spec.width, 208);
    EXPECT_EQ(spec.height, 258);
}

TEST_F(Settings, ReadsEveryKeyAndWritesItBackInPlace)
{
    settingsfile("Font=Courier New\r\nStatusBoxOn=1\r\nFont size=26\r\nData Directory=C:\\rec\\day 1\r\n"
                 "MainWindow=O\r\nMessageBox=1\r\nOther=kept\r\n",
                 "Combine Files=1\r\n");
    start();
    EXPECT_STREQ(fontFace, "Courier New");
    EXPECT_EQ(spec.statusBoxOn, 1);
    EXPECT_EQ(spec.fontHeight, 26);
    EXPECT_STREQ(dataDirectory, "C:\\rec\\day 1");
    EXPECT_EQ(spec.mainWindowMode, 'O');
    EXPECT_EQ(spec.errorBox, 1);
    EXPECT_EQ(block.combine, 'Y');
    // 26 / 13.1 x 210 = 416.79 and 26 / 13.1 x 260 = 516.03, truncated.
    EXPECT_EQ(spec.width, 416);
    EXPECT_EQ(spec.height, 516);
    EXPECT_EQ(keys(ini), (std::vector<std::string>{"General/Font=Courier New", "General/StatusBoxOn=1",
                                                   "General/Font size=26", "General/Data Directory=C:\\rec\\day 1",
                                                   "General/MainWindow=O", "General/MessageBox=1", "General/Other=kept",
                                                   "Parameters/Combine Files=1"}));
}

TEST_F(Settings, MissingOrOddValues)
{
    const struct {
        const char *general, *parameters; int statusBoxOn, fontHeight; char mode; const char* font; int combine;
    } cases[] = {
        {"", "", 1, 13, 'N', "comic sans ms", 'N'},  // StatusBoxOn missing: on
        {"Font size=0\r\n", "", 1, 13, 'N', "comic sans ms", 'N'},
        {"Font size=abc\r\n", "", 1, 13, 'N', "comic sans ms", 'N'},
        {"Font size=-4\r\n", "", 1, 13, 'N', "comic sans ms", 'N'},
        {"Font size=5\r\n", "", 1, 13, 'N', "comic sans ms", 'N'},  // too small to read
        {"Font size=6\r\n", "", 1, 6, 'N', "comic sans ms", 'N'},
        {"Font size=72\r\n", "", 1, 72, 'N', "comic sans ms", 'N'},
        {"Font size=73\r\n", "", 1, 13, 'N', "comic sans ms", 'N'},  // its dialog would outgrow the screen
        {"MainWindow=Hx\r\nStatusBoxOn=0\r\n", "", 0, 13, 'H', "comic sans ms", 'N'},
        {"MainWindow=\r\n", "", 1, 13, '\0', "comic sans ms", 'N'},
        {"Font=\r\n", "Combine Files=yes\r\n", 1, 13, 'N', "comic sans ms", 'N'},
        {"Font=  Arial  \r\n", "Combine Files=1\r\n", 1, 13, 'N', "Arial", 'Y'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.general) + c.parameters);
        spec.fontHeight = 13, spec.mainWindowMode = 'N', spec.statusBoxOn = 0, block.combine = 'N';
        std::snprintf(fontFace, sizeof fontFace, "comic sans ms");
        settingsfile(c.general, c.parameters);
        start();
        EXPECT_EQ(spec.statusBoxOn, c.statusBoxOn);
        EXPECT_EQ(spec.fontHeight, c.fontHeight);
        EXPECT_EQ(spec.mainWindowMode, c.mode);
        EXPECT_STREQ(fontFace, c.font);
        EXPECT_EQ(block.combine, c.combine);
        EXPECT_EQ(getint("General", "Font size", -1, ini.c_str()), c.fontHeight);
    }
}

TEST_F(Settings, TextsKeepTheirBuffersCapacity)
{
    // A data directory longer than 99 characters comes back whole; one past
    // its buffer is cut to 259. A font face is cut to 99.
    const std::string longdir = "C:\\" + std::string(150, 'd') + "\\session";
    const std::string hugedir = "C:\\" + std::string(300, 'e');
    const std::string face(120, 'f');
    settingsfile("Data Directory=" + longdir + "\r\nFont=" + face + "\r\n");
    start();
    EXPECT_EQ(dataDirectory, longdir);
    EXPECT_EQ(fontFace, face.substr(0, 99));

    settingsfile("Data Directory=" + hugedir + "\r\n");
    start();
    EXPECT_EQ(dataDirectory, hugedir.substr(0, 259));
}

TEST_F(Settings, SessionEndKeepsOnlyDirectoryAndParameters)
{
    start();
    std::snprintf(dataDirectory, sizeof dataDirectory, "C:\\rec");
    block.combine = 'Y';
    spec.fontHeight = 40;
    spec.errorBox = 1;
    savesession(spec, dataDirectory, ini.c_str());
    EXPECT_EQ(keys(ini), defaults("C:\\rec", '1'));
    EXPECT_NE(saveprefs(spec, dataDirectory, ini.c_str()), 0);
    EXPECT_EQ(getint("General", "Font size", 0, ini.c_str()), 40);
    EXPECT_EQ(getint("General", "MessageBox", 0, ini.c_str()), 1);
}

TEST(SettingsPath, WindowsDirectoryThenNameCutToCapacity)
{
    char path[pathSize];
    settingspath(path, sizeof path, "C:\\windows");
    EXPECT_STREQ(path, "C:\\windows\\WINTESSEL.ini");
    const std::string deep = "C:\\" + std::string(250, 'w');
    settingspath(path, sizeof path, deep.c_str());
    EXPECT_EQ(path, (deep + "\\WINTESSEL.ini").substr(0, 259));
}

}  // namespace
