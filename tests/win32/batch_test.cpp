// The batch over generated recordings with its real progress windows and
// message boxes, and the open-file dialog driven as a person would.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/abfheader.h"
#include "guidriver.h"
#include "platform/fileops_win.h"
#include "shell/batch.h"
#include "shell/helpers.h"
#include "shell/shellstate.h"
#include "support/ncsbytes.h"

namespace fs = std::filesystem;

namespace {

constexpr int fileNameBox = 0x47c;  // cmb13: the dialog's file-name combo box

std::string windowsfolder(const fs::path& path)
{
    char full[MAX_PATH];
    GetFullPathNameA(path.string().c_str(), MAX_PATH, full, nullptr);
    std::string s = full;
    if (s.size() > 3 && s.back() == '\\')
        s.pop_back();
    return s;
}

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        progressstart(progressRecord, GetModuleHandleA(nullptr));
        converterBlock.combine = 'N';
        converterSpec.statusBoxOn = 1;
        folder = windowsfolder(dir.path());
        owner = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        std::strcpy(dataDirectory, folder.c_str());
        initfiledialog(owner, dataDirectory);
    }
    void TearDown() override { DestroyWindow(owner); }

    void recordings(int n, int records = 250)
    {
        for (int c = 1; c <= n; ++c)
            writebytes(name(c), ncsrecording(records, c).bytes());
    }
    static std::string name(int c) { return "CSC" + std::to_string(c) + ".ncs"; }
    static std::string output(int c) { return "CSC" + std::to_string(c) + ".abf"; }

    // The selection as the dialog leaves it for several files.
    void select(const std::vector<std::string>& names)
    {
        std::memset(selectionBuffer, 0, sizeof selectionBuffer);
        char* at = selectionBuffer;
        std::vector<std::string> texts{folder};
        texts.insert(texts.end(), names.begin(), names.end());
        for (const std::string& s : texts) {
            std::memcpy(at, s.c_str(), s.size());
            at += s.size() + 1;
        }
        singleFile = 0;
    }

    // Expects the completion box for output with its record count.
    GuiDriver& completion(GuiDriver& gui, const std::string& out, int records, const std::string& input)
    {
        return gui.on("Tessel ABF Converter", [=](GuiWindow box) {
            EXPECT_EQ(box.message(), "Output file is " + out + ".\n " + std::to_string(records) + " records selected.");
            // The pass's progress window is still up behind the box.
            HWND progress = static_cast<HWND>(progressRecord.window);
            EXPECT_TRUE(IsWindowVisible(progress));
            EXPECT_EQ(GuiWindow(progress).text(33000), "Exporting " + input + " to ABF.");
            box.click(IDOK);
        });
    }

    // Chooses files in the real dialog by typing text into its name box.
    void choose(GuiDriver& gui, const std::string& typed, const char* screen = nullptr)
    {
        gui.on("Open", [=](GuiWindow dialog) {
            dialog.type(fileNameBox, typed);
            if (screen)
                dialog.save(screen);
            dialog.click(IDOK);
        });
    }

    ScratchDir dir;
    std::string folder;
    HWND owner = nullptr;
};

TEST_F(BatchTest, OneFileReportsItsRecordCount)
{
    recordings(1);
    GuiDriver gui;
    choose(gui, "CSC1.ncs", "open-one");
    gui.run([&] { openfiles(owner); });
    EXPECT_EQ(selectionBuffer, folder + "\\CSC1.ncs");
    EXPECT_NE(singleFile, 0);
    EXPECT_EQ(dataDirectory, folder);
    EXPECT_EQ(GuiWindow(owner).title(), "WINTESSEL - CSC1.ncs");

    completion(gui, "CSC1.abf", 250, "CSC1.ncs");
    gui.run([&] { EXPECT_EQ(gobatch(owner), 1); });
    EXPECT_TRUE(fs::exists(output(1)));
    EXPECT_EQ(progressRecord.window, nullptr);
    EXPECT_EQ(progressRecord.open, 0);
}

TEST_F(BatchTest, SeparateAndCombinedPasses)
{
    recordings(3);
    select({name(1), name(2), name(3)});
    GuiDriver gui;
    for (int c = 1; c <= 3; ++c)
        completion(gui, output(c), 250, name(c));
    gui.run([&] { EXPECT_EQ(gobatch(owner), 3); });
    for (int c = 1; c <= 3; ++c) {
        AbfHeader h;
        std::string bytes = readbytes(output(c));
        ASSERT_GE(bytes.size(), sizeof h.bytes);
        std::memcpy(h.bytes.data(), bytes.data(), sizeof h.bytes);
        EXPECT_EQ(h.getint(abf::nADCNumChannels), 1);
        fs::remove(output(c));
    }

    converterBlock.combine = 'Y';
    completion(gui, "CSC1.abf", 250, "CSC1.ncs");
    gui.run([&] { EXPECT_EQ(gobatch(owner), 3); });
    AbfHeader h;
    std::memcpy(h.bytes.data(), readbytes(output(1)).data(), sizeof h.bytes);
    EXPECT_EQ(h.getint(abf::nADCNumChannels), 3);
    EXPECT_FALSE(fs::exists(output(2)));
    EXPECT_FALSE(fs::exists(output(3)));
}

TEST_F(BatchTest, TwentyChosenSixteenConverted)
{
    recordings(20, 3);
    std::vector<std::string> names;
    for (int c = 1; c <= 20; ++c)
        names.push_back(name(c));
    select(names);
    converterSpec.statusBoxOn = 0;
    GuiDriver gui;
    gui.run([&] { EXPECT_EQ(gobatch(owner), 16); });
    EXPECT_EQ(converterBlock.nfiles(), 16);
    for (int c = 1; c <= 20; ++c)
        EXPECT_EQ(fs::exists(output(c)), c <= 16) << c;
    EXPECT_TRUE(threadwindows().empty() || threadwindows() == std::vector<HWND>{owner});
}

TEST_F(BatchTest, AMissingFileIsReportedAndTheBatchGoesOn)
{
    recordings(3);
    fs::remove(name(2));
    select({name(1), name(2), name(3)});
    GuiDriver gui;
    completion(gui, output(1), 250, name(1));
    gui.box("File Error", "\nCouldn't open CSC2.ncs", "file-error");
    gui.box("Error", "Error in Processing Data");
    completion(gui, output(3), 250, name(3));
    gui.run([&] { EXPECT_EQ(gobatch(owner), 3); });
    EXPECT_TRUE(fs::exists(output(3)));

    // Without the completion message only the failure is shown.
    converterSpec.statusBoxOn = 0;
    gui.on("File Error", [](GuiWindow box) { box.click(IDOK); });
    gui.on("Error", [](GuiWindow box) { box.click(IDOK); });
    gui.run([&] { EXPECT_EQ(gobatch(owner), 3); });
}

TEST_F(BatchTest, AnEmptySelectionConvertsNothing)
{
    selectionBuffer[0] = '\0';
    GuiDriver gui;
    gui.run([&] { EXPECT_EQ(gobatch(owner), 0); });
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// The names are opened in the folder they were chosen in, whatever folder
// is current; a chosen folder that has gone fails each name.
TEST_F(BatchTest, GoOpensTheFilesWhereTheyWereChosen)
{
    recordings(1);
    select({name(1)});
    fs::create_directory("elsewhere");
    writebytes("elsewhere/" + name(1), "not a recording");
    fs::current_path("elsewhere");
    converterSpec.statusBoxOn = 0;
    GuiDriver gui;
    gui.run([&] { gobatch(owner); });
    EXPECT_TRUE(fs::exists(folder + "\\" + output(1)));
    EXPECT_EQ(batchOutput, output(1));

    std::strcpy(selectionBuffer, (folder + "\\gone\\" + name(1)).c_str());
    singleFile = 1;
    gui.box("File Error", "\nCouldn't open " + name(1));
    gui.on("Error", [](GuiWindow box) { box.click(IDOK); });
    gui.run([&] { gobatch(owner); });
    EXPECT_EQ(batchOutput, "") << "nothing was written";
    EXPECT_EQ(fs::current_path().filename(), "elsewhere") << "the current folder is kept";
}

TEST_F(BatchTest, TheDialogChoosesSeveralFilesOrNone)
{
    recordings(3);
    std::string gone = folder + "\\gone\\deeper\\";
    std::strcpy(dataDirectory, gone.c_str());
    GuiDriver gui;
    choose(gui, "\"CSC1.ncs\" \"CSC3.ncs\" \"CSC2.ncs\"", "open-several");
    gui.run([&] { openfiles(owner); });
    EXPECT_EQ(singleFile, 0);
    EXPECT_EQ(dataDirectory, folder) << "the chosen folder";
    std::vector<std::string> names = selectionlist();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{name(1), name(2), name(3)}));

    // Cancel: nothing selected; the folder was only shortened to what exists.
    fs::create_directory("sub");
    std::strcpy(dataDirectory, (folder + "\\sub\\gone\\").c_str());
    std::strcpy(fileTitle, "earlier.ncs");
    gui.on("Open", [](GuiWindow dialog) { dialog.click(IDCANCEL); });
    gui.run([&] { openfiles(owner); });
    EXPECT_EQ(selectionBuffer[0], '\0');
    EXPECT_EQ(dataDirectory, folder + "\\sub");
    EXPECT_EQ(GuiWindow(owner).title(), "WINTESSEL - earlier.ncs");
    EXPECT_EQ(selectionlist().size(), 0u);
}

TEST_F(BatchTest, TooManyFilesForTheBufferAreRefused)
{
    for (int c = 0; c < 80; ++c)
        writebytes("a-rather-long-recording-name-for-channel-" + std::to_string(c) + ".ncs", "");
    GuiDriver gui;
    gui.on("Open", [](GuiWindow dialog) {
        // Select every file in the list, as Ctrl+A or a drag would.
        HWND list = GetDlgItem(dialog.item(0x461), 1);  // the shell view's list
        LVITEMA all{};
        all.stateMask = LVIS_SELECTED;
        all.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
        dialog.click(IDOK);
    });
    gui.box("WINTESSEL", "Files Selection error!\nToo many selected?", "too-many");
    gui.run([&] { openfiles(owner); });
    EXPECT_EQ(selectionBuffer[0], '\0');
}

TEST(ExistingDir, ShortensToTheNearestExistingFolder)
{
    ScratchDir dir;
    std::string folder = windowsfolder(dir.path());
    writebytes("file.ncs", "x");
    struct Case {
        std::string path, want;
    };
    for (const Case& c : {Case{"x:\\", "x:"}, Case{folder + "\\gone\\sub\\", folder},
                          Case{folder + "\\", folder + "\\"}, Case{folder + "\\file.ncs", folder + "\\file.ncs"},
                          Case{folder + "\\file.ncs\\more", folder + "\\file.ncs"}, Case{"", ""},
                          Case{"nowhere", "nowhere"}}) {
        char path[MAX_PATH];
        std::strcpy(path, c.path.c_str());
        existingdir(path);
        EXPECT_EQ(path, c.want) << c.path;
    }
}

TEST(SetTitle, NamesTheProgramAndTheFile)
{
    HWND window = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    settitle(window, "CSC1.ncs");
    EXPECT_EQ(GuiWindow(window).title(), "WINTESSEL - CSC1.ncs");
    settitle(window, "");
    EXPECT_EQ(GuiWindow(window).title(), "WINTESSEL - (untitled)");
    settitle(window, std::string(400, 'n').c_str());
    EXPECT_EQ(GuiWindow(window).title().size(), 323u);
    DestroyWindow(window);
}

}  // namespace
