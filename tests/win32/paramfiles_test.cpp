// Read and Save of parameter files through the real open and save dialogs,
// driven as a person would, naming the file in a window's caption.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "guidriver.h"
#include "paramdlg/valuecheck.h"
#include "params/paramfiles.h"
#include "params/paramsection.h"
#include "support/ncsbytes.h"

namespace fs = std::filesystem;

namespace {

constexpr int fileNameBox = 0x47c;  // cmb13: the dialog's file-name combo box
constexpr int fileTypeBox = 0x470;  // cmb1: the dialog's file-type list

class ParamFile : public ::testing::Test {
protected:
    char name[40] = "start";
    std::int32_t count = 1;
    float gain = 2.5f;
    ParamEntry entries[3] = {
        textentry(name, "Name"),
        {&count, nullptr, PARAM_INT, "Count", 0, 0, 0},
        {&gain, nullptr, PARAM_FLOAT, "Gain", 0, 0, 0},
    };
    std::uint32_t pageSizes[2] = {1, 3};
    ParamDialogSpec spec;
    char paramDir[MAX_PATH] = "";
    ScratchDir dir;
    std::string folder;

    void SetUp() override
    {
        char full[MAX_PATH];
        GetFullPathNameA(dir.path().string().c_str(), MAX_PATH, full, nullptr);
        folder = full;
        if (folder.back() == '\\')
            folder.pop_back();
        std::strcpy(paramDir, (folder + "\\labparms").c_str());

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
    }
    void TearDown() override { DestroyWindow(static_cast<HWND>(spec.dialog)); }

    std::string path(const std::string& file) const { return std::string(paramDir) + "\\" + file; }

    // The caption of the window and its title control, which must agree.
    std::string caption() const
    {
        GuiWindow window(static_cast<HWND>(spec.dialog));
        EXPECT_EQ(window.text(idTitle), window.title());
        return window.title();
    }

    std::string state() const { return std::string(name) + "|" + std::to_string(count) + "|" + std::to_string(gain); }

    // Runs Read or Save with the dialog titled title typing typed, or
    // cancelling when typed is empty.
    void run(int (*command)(WindowHandle, ParamDialogSpec&), const std::string& title, const std::string& typed,
             const std::function<void(GuiWindow)>& look = nullptr)
    {
        GuiDriver gui;
        gui.on(title, [&](GuiWindow dialog) {
            if (look)
                look(dialog);
            if (typed.empty()) {
                dialog.click(IDCANCEL);
                return;
            }
            dialog.type(fileNameBox, typed);
            dialog.click(IDOK);
        });
        gui.run([&] { EXPECT_EQ(command(spec.dialog, spec), 0); });
    }
};

TEST_F(ParamFile, ReadNamesTheFileBeforeItsLastDot)
{
    EXPECT_TRUE(fs::is_directory(paramDir));
    EXPECT_STREQ(spec.fileExt, "prm");
    writebytes(path("run.v2.prm"), "[Parameters]\r\nName=from file\r\nCount=7\r\n");
    run(readparamfile, "Open", "run.v2.prm", [](GuiWindow dialog) {
        EXPECT_EQ(dialog.text(fileTypeBox), "Param. Files (*.PRM)");
        dialog.save("paramfile-read");
    });
    EXPECT_EQ(state(), "from file|7|2.500000") << "a missing key keeps its value";
    EXPECT_STREQ(spec.fileName, "run.v2");
    EXPECT_EQ(caption(), "Settings - run.v2");
}

TEST_F(ParamFile, SaveProposesTheNameAndAddsTheExtension)
{
    std::strcpy(spec.fileName, "proposed");
    std::strcpy(name, "saved text");
    count = -3;
    run(saveparamfile, "Save As", "chosen",
        [](GuiWindow dialog) { EXPECT_EQ(dialog.text(fileNameBox), "proposed"); });
    EXPECT_STREQ(spec.fileName, "chosen");
    EXPECT_EQ(caption(), "Settings - chosen");
    ASSERT_TRUE(fs::exists(path("chosen.prm")));

    std::strcpy(name, "other");
    count = 0;
    gain = 0;
    loadparams("Parameters", spec, path("chosen.prm").c_str());
    EXPECT_EQ(state(), "saved text|-3|2.500000");
}

TEST_F(ParamFile, CancelChangesNothing)
{
    writebytes(path("run.prm"), "[Parameters]\r\nCount=7\r\n");
    std::strcpy(spec.fileName, "kept");
    dlgcaption(spec);
    run(readparamfile, "Open", "");
    run(saveparamfile, "Save As", "");
    EXPECT_EQ(state(), "start|1|2.500000");
    EXPECT_STREQ(spec.fileName, "kept");
    EXPECT_EQ(caption(), "Settings - kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(paramDir), fs::directory_iterator()), 1);
}

TEST_F(ParamFile, AMissingFolderOpensItsNearestAncestor)
{
    writebytes(path("rest.prm"), "[Parameters]\r\nCount=9\r\n");
    const std::string labparms = paramDir;
    std::strcpy(paramDir, (labparms + "\\gone\\deeper\\").c_str());
    setupparamfiles(spec.dialog, spec);
    EXPECT_FALSE(fs::exists(paramDir)) << "a folder whose parent is missing is not created";

    run(readparamfile, "Open", "rest.prm");
    EXPECT_EQ(count, 9);
    EXPECT_EQ(paramDir, labparms);
}

TEST_F(ParamFile, AFailedWriteIsReportedAndNamesNothing)
{
    std::strcpy(spec.fileName, "kept");
    dlgcaption(spec);
    // A file held open without sharing cannot be written.
    writebytes(path("locked.prm"), "");
    HANDLE lock = CreateFileA(path("locked.prm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    GuiDriver gui;
    gui.on("Save As", [](GuiWindow dialog) {
        dialog.type(fileNameBox, "locked.prm");
        dialog.click(IDOK);
    });
    gui.on(kFileErrorCaption, [&](GuiWindow box) {
        EXPECT_EQ(box.message(), "\nCouldn't write " + path("locked.prm"));
        box.save("paramfile-write-error");
        box.click(IDOK);
    });
    gui.run([&] { saveparamfile(spec.dialog, spec); });
    CloseHandle(lock);
    EXPECT_STREQ(spec.fileName, "kept");
    EXPECT_EQ(caption(), "Settings - kept");
}

}  // namespace
