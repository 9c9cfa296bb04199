// Read and Save of parameter files through the real open and save dialogs,
// driven as a person would, naming the file in a window's caption.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "guidriver.h"
#include "paramdlg/paramfiles.h"
#include "paramdlg/valuecheck.h"
#include "support/ncsbytes.h"

namespace fs = std::filesystem;

namespace {

constexpr int fileNameBox = 0x47c;  // cmb13: the dialog's file-name combo box
constexpr int fileTypeBox = 0x470;  // cmb1: the dialog's file-type list

// The question before a file is replaced, captioned with the dialog's
// title, which the record leaves to the system: under Wine a box's default.
constexpr const char* replaceQuestion = "Error";

class ParamFile : public ::testing::Test {
protected:
    char name[40] = "start";
    std::int32_t count = 1;
    ParamEntry entries[2] = {textentry(name, "Name"), {&count, nullptr, PARAM_INT, "Count", 0, 0, 0}};
    std::uint32_t pageSizes[2] = {1, 2};
    ParamDialogSpec spec;
    char paramDir[MAX_PATH] = "";
    ScratchDir dir;
    GuiDriver gui;

    void SetUp() override
    {
        GetFullPathNameA("labparms", MAX_PATH, paramDir, nullptr);
        // A window with the dialog's title control is all the caption needs.
        HWND window = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
        CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 300, 20, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(idTitle)), nullptr, nullptr);
        spec.entries = entries;
        spec.pageSizes = pageSizes;
        spec.caption = "Settings";
        spec.dialog = window;
        spec.paramDir = paramDir;
        std::strcpy(spec.fileExt, "PRM");
        setupparamfiles(window, spec);
        std::strcpy(spec.fileName, "kept");
        dlgcaption(spec);
    }
    void TearDown() override { DestroyWindow(static_cast<HWND>(spec.dialog)); }

    std::string path(const std::string& file) const { return std::string(paramDir) + "\\" + file; }

    // The caption of the window, which its title control must repeat.
    std::string caption() const
    {
        GuiWindow window(static_cast<HWND>(spec.dialog));
        EXPECT_EQ(window.text(idTitle), window.title());
        return window.title();
    }

    // Queues a dialog titled title that gets typed, or is cancelled when
    // typed is empty.
    void answer(const std::string& title, const std::string& typed, const std::string& proposed = "")
    {
        gui.on(title, [=](GuiWindow dialog) {
            EXPECT_EQ(dialog.text(fileTypeBox), "Param. Files (*.PRM)");
            EXPECT_EQ(dialog.text(fileNameBox), proposed);
            if (!typed.empty())
                dialog.type(fileNameBox, typed);
            dialog.click(typed.empty() ? IDCANCEL : IDOK);
        });
    }
};

// Read names the file before its last dot; a folder that has gone opens
// its nearest ancestor.
TEST_F(ParamFile, ReadNamesTheFileBeforeItsLastDot)
{
    writebytes(path("run.v2.prm"), "[Parameters]\r\nCount=7\r\n");
    answer("Open", "");
    gui.run([&] { EXPECT_EQ(readparamfile(spec.dialog, spec), 0); });
    EXPECT_EQ(count, 1);
    EXPECT_EQ(caption(), "Settings - kept");

    const std::string labparms = paramDir;
    std::strcat(paramDir, "\\gone\\deeper\\");
    answer("Open", "run.v2.prm");
    gui.run([&] { readparamfile(spec.dialog, spec); });
    EXPECT_EQ(count, 7);
    EXPECT_EQ(paramDir, labparms);
    EXPECT_STREQ(name, "start") << "a missing key keeps its value";
    EXPECT_STREQ(spec.fileName, "run.v2");
    EXPECT_EQ(caption(), "Settings - run.v2");
}

TEST_F(ParamFile, SaveProposesTheNameAndAddsTheExtension)
{
    answer("Save As", "", "kept");
    gui.run([&] { EXPECT_EQ(saveparamfile(spec.dialog, spec), 0); });
    EXPECT_TRUE(fs::is_empty(paramDir));
    EXPECT_EQ(caption(), "Settings - kept");

    answer("Save As", "chosen", "kept");
    gui.run([&] { saveparamfile(spec.dialog, spec); });
    EXPECT_STREQ(spec.fileName, "chosen");
    EXPECT_EQ(caption(), "Settings - chosen");
    EXPECT_EQ(readbytes(path("chosen.prm")), "[Parameters]\r\nName=start\r\nCount=1\r\n");
}

// Replacing a file is asked first. A file held open without sharing cannot
// be written, and one that is not a parameter file (a recording of 19,516
// bytes) is refused: either is reported after the question, every byte kept
// and no name taken.
TEST_F(ParamFile, SavingOntoAFileAsksAndNeverDestroysOne)
{
    const std::string recording = ncsrecording(3).bytes(), text = "[Other]\r\nKept=1\r\n", locked;
    const struct {
        const char* file;
        const std::string& bytes;
        int answer;
        std::string report;  // none when written or not replaced
    } cases[] = {{"locked.prm", locked, IDYES, "\nCouldn't write " + path("locked.prm")},
                 {"recording.prm", recording, IDYES,
                  "\n" + path("recording.prm") + " is not a parameter file; it was left unchanged."},
                 {"older.prm", text, IDNO, ""},
                 {"older.prm", text, IDYES, ""}};
    for (const auto& c : cases) {
        writebytes(path(c.file), c.bytes);
        HANDLE lock = &c.bytes == &locked
                          ? CreateFileA(path(c.file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                          : nullptr;
        answer("Save As", c.file, "kept");
        gui.on(replaceQuestion, [&](GuiWindow question) {
            EXPECT_NE(question.message().find("already exists"), std::string::npos) << question.message();
            question.click(c.answer);
        });
        if (c.answer == IDNO)
            gui.again("Save As", [](GuiWindow dialog) { dialog.click(IDCANCEL); });
        else if (!c.report.empty())
            gui.box(kFileErrorCaption, c.report, lock ? "paramfile-write-error" : "");
        gui.run([&] { saveparamfile(spec.dialog, spec); });
        if (lock)
            CloseHandle(lock);
        const bool written = c.answer == IDYES && c.report.empty();
        EXPECT_EQ(readbytes(path(c.file)), written ? c.bytes + "[Parameters]\r\nName=start\r\nCount=1\r\n" : c.bytes);
        EXPECT_STREQ(spec.fileName, written ? "older" : "kept") << c.file;
        EXPECT_EQ(caption(), written ? "Settings - older" : "Settings - kept") << c.file;
    }
}

}  // namespace
