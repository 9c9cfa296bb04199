// The desktop program started as its own process and driven as a person
// would: its settings file in the Windows directory, its three main-window
// modes, its menu commands through their accelerators, its command line.
// Every output is compared byte for byte with the engine's own.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "convert/ncstoabf.h"
#include "guidriver.h"
#include "paramdlg/dlgtemplate.h"
#include "params/paramtable.h"
#include "support/ncsbytes.h"

namespace {

constexpr const char* converterTitle = "Tessel ABF Converter";
constexpr const char* untitledTitle = "WINTESSEL - (untitled)";
constexpr int fileNameBox = 0x47c;  // the open-file dialog's name box
constexpr WPARAM commandExit = 40006;
constexpr WPARAM commandAbout = 40018;
constexpr WPARAM ctrlO = 15;

std::string windowsdirectory()
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

bool samepath(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

INT_PTR CALLBACK quietproc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The outer width in pixels of a window of the generated dialogs' style that
// is w dialog units wide: the dialog manager's own mapping, measured here.
int dialogpixels(int w)
{
    DialogTemplate t;
    t.header(WS_POPUP | WS_BORDER | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, w, 100, "", 8,
             "MS Sans Serif");
    HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.get(), nullptr, quietproc, 0);
    RECT r{};
    GetWindowRect(d, &r);
    DestroyWindow(d);
    return r.right - r.left;
}

// Alt and a letter as the keyboard gives them to the foreground window: an
// accelerator with Alt reads the key state, which posted keys do not set.
void altkey(HWND window, WORD letter)
{
    SetForegroundWindow(window);
    INPUT keys[4] = {};
    const WORD order[4] = {VK_MENU, letter, letter, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof(INPUT));
}

HWND mainwindow()
{
    return FindWindowA("WINTESSEL", nullptr);
}

// Each test runs in a scratch folder of recordings, with the program's
// settings file of the Wine prefix put aside and put back afterwards.
class Desktop : public ::testing::Test {
protected:
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const std::string ini = windowsdirectory() + "\\WINTESSEL.ini";
    std::optional<std::string> kept;
    PROCESS_INFORMATION run{};
    std::string program;
    HWND main = nullptr;

    void SetUp() override
    {
        const char* named = std::getenv("TESSEL_WINTESSEL");
        ASSERT_NE(named, nullptr) << "the test runner names the program";
        program = named;
        if (std::filesystem::exists(ini))
            kept = readbytes(ini);
        std::filesystem::remove(ini);
    }

    void TearDown() override
    {
        if (kept)
            writebytes(ini, *kept);
        else
            std::filesystem::remove(ini);
    }

    // Recordings CSC1.ncs ... of 300 records each, on channels 1 ...
    void recordings(int n)
    {
        for (int c = 1; c <= n; ++c)
            writebytes("CSC" + std::to_string(c) + ".ncs", ncsrecording(300, c).bytes());
    }

    void settings(const std::string& general, const std::string& parameters = "Combine Files=0\r\n")
    {
        writebytes(ini, "[General]\r\n" + general + "\r\n[Parameters]\r\n" + parameters);
    }

    // The value of key in the settings file as it is now, "(missing)" when
    // the key is not there.
    std::string setting(const std::string& section, const std::string& key) const
    {
        const std::string text = readbytes(ini);
        std::smatch m;
        const std::regex line("\\[" + section + "\\][^[]*?\n" + key + "=([^\r\n]*)");
        return std::regex_search(text, m, line) ? m[1].str() : "(missing)";
    }

    // Starts the program in the scratch folder; gui drives its windows.
    void start(GuiDriver& gui, const std::string& arguments = "")
    {
        STARTUPINFOA info{};
        info.cb = sizeof info;
        std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        ASSERT_TRUE(CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &info, &run));
        gui.inprocess(run.dwProcessId);
    }

    // Once the main window shows (modes 'O' and 'H'), keeps it in main and acts.
    void onmain(GuiDriver& gui, std::function<void(GuiWindow)> act)
    {
        gui.on(untitledTitle, [this, act](GuiWindow w) {
            main = w.handle();
            act(w);
        });
    }

    void quit() const { PostMessageA(main, WM_COMMAND, commandExit, 0); }

    // At start (mode 'O'): Ctrl+O, CSC1.ncs chosen, then next once the
    // open-file dialog has gone.
    void openone(GuiDriver& gui, std::function<void()> next)
    {
        onmain(gui, [](GuiWindow w) { PostMessageA(w.handle(), WM_CHAR, ctrlO, 1); });
        gui.on("Open", [&gui, next](GuiWindow open) {
            open.type(fileNameBox, "CSC1.ncs");
            open.click(IDOK);
            gui.gone(open.handle(), next);
        });
    }

    // Runs the steps until the program ends; its exit status, or -1 when it
    // had to be ended after timeoutms.
    DWORD finish(GuiDriver& gui, DWORD timeoutms = 40000)
    {
        DWORD status = static_cast<DWORD>(-1);
        gui.run(
            [&] {
                const DWORD deadline = GetTickCount() + timeoutms;
                while (MsgWaitForMultipleObjects(1, &run.hProcess, FALSE, 200, QS_ALLINPUT) != WAIT_OBJECT_0) {
                    MSG msg;
                    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                        DispatchMessageA(&msg);
                    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
                        ADD_FAILURE() << "the program did not end";
                        TerminateProcess(run.hProcess, static_cast<UINT>(-1));
                        WaitForSingleObject(run.hProcess, 5000);
                        break;
                    }
                }
            },
            timeoutms);
        GetExitCodeProcess(run.hProcess, &status);
        CloseHandle(run.hThread);
        CloseHandle(run.hProcess);
        return status;
    }

    // The engine's output for the given names, written to expected/; its
    // record count.
    static int expected(const std::vector<std::string>& names, bool combine)
    {
        std::filesystem::create_directory("expected");
        FileSelection block;
        block.combine = combine ? 'Y' : 'N';
        block.files = names;
        ProgressWindow quiet;
        return ncstoabf(block, names.front(), quiet, "expected");
    }

    static void expectsame(const std::string& output)
    {
        ASSERT_TRUE(std::filesystem::exists(output)) << output;
        EXPECT_EQ(readbytes(output), readbytes("expected/" + output)) << output;
    }

    static std::string status(const std::string& output, int records)
    {
        return "Output file is " + output + ".\n " + std::to_string(records) + " records selected.";
    }
};

// The file dialog opens at once over a hidden main window, and a cancelled
// Open still leads to the converter's dialog, 208 units wide at the font
// size of the settings. A first start writes the defaults.
TEST_F(Desktop, StartOpensTheFileDialogAtOnceAndTheFontSizesTheDialog)
{
    for (int size : {13, 26}) {
        SCOPED_TRACE(size);
        if (size != 13)
            settings("Font size=26\r\n");
        GuiDriver gui;
        start(gui);
        gui.on("Open", [&](GuiWindow open) {
            // As kernel32 writes the keys in saveprefs' order.
            if (size == 13) {
                EXPECT_EQ(readbytes(ini), "[General]\r\nFont=comic sans ms\r\nFont size=13\r\nMessageBox=0\r\n"
                                          "MainWindow=N\r\nData Directory=x:\\\r\nStatusBoxOn=0\r\n"
                                          "[Parameters]\r\nCombine Files=0\r\n");
            }
            EXPECT_FALSE(IsWindowVisible(mainwindow()));
            EXPECT_EQ(windowtext(mainwindow()), untitledTitle);
            open.click(IDCANCEL);
        });
        gui.on(converterTitle, [&](GuiWindow dialog) {
            EXPECT_FALSE(IsWindowVisible(mainwindow()));
            RECT r = dialog.rect();
            EXPECT_EQ(r.right - r.left, dialogpixels(208 * size / 13));
            EXPECT_EQ(windowtext(dialog.item(idValue)), "Combine Files");
            dialog.click(idExit);
        });
        EXPECT_EQ(finish(gui), 0u);
        EXPECT_EQ(setting("General", "Font size"), std::to_string(size));
        EXPECT_EQ(setting("General", "Data Directory"), "x:");  // shortened by the file dialog
    }
}

TEST_F(Desktop, ModeNoneConvertsFromTheDialogAndKeepsTheChoices)
{
    recordings(3);
    // StatusBoxOn missing: completion messages are on.
    settings("Data Directory=" + folder + "\\gone\r\n");
    std::string reported;

    GuiDriver gui;
    start(gui);
    HWND dialog = nullptr;
    gui.on("Open", [](GuiWindow open) {
        EXPECT_FALSE(IsWindowVisible(mainwindow()));
        open.type(fileNameBox, "\"CSC2.ncs\" \"CSC1.ncs\" \"CSC3.ncs\"");
        open.save("open-file-dialog");
        open.click(IDOK);
    });
    gui.on(converterTitle, [&](GuiWindow d) {
        dialog = d.handle();
        d.save("converter-dialog");
        d.click(idValue);  // tick Combine Files
        d.click(idGo);
    });
    gui.on(converterTitle, [&](GuiWindow box) {
        reported = box.message();
        for (HWND w : processwindows(run.dwProcessId))
            if (windowtext(w) == "Progress")
                GuiWindow(w).save("progress-window");
        box.save("completion-box");
        box.click(IDOK);
        gui.gone(box.handle(), [&] { GuiWindow(dialog).click(idExit); });
    });
    EXPECT_EQ(finish(gui), 0u);

    // The engine's output, made after the run so the file dialog shows only the recordings.
    EXPECT_EQ(reported, status("CSC2.abf", expected({"CSC2.ncs", "CSC1.ncs", "CSC3.ncs"}, true)));
    expectsame("CSC2.abf");
    EXPECT_FALSE(std::filesystem::exists("CSC1.abf"));
    EXPECT_FALSE(std::filesystem::exists("CSC3.abf"));
    EXPECT_EQ(setting("Parameters", "Combine Files"), "1");
    EXPECT_PRED2(samepath, setting("General", "Data Directory"), folder);
    EXPECT_EQ(setting("General", "StatusBoxOn"), "1");
}

// In mode 'O' the Go item is grayed until an Open chooses files, and
// enabled again after each Go: with the data directory missing, a Go taken
// at start would end the program instead of opening the file dialog. The
// title names the output a Go wrote, and no output after a Go that failed.
TEST_F(Desktop, ModeOnGoFollowsTheSelectionAndTheTitleNamesTheOutput)
{
    recordings(1);
    settings("MainWindow=O\r\nStatusBoxOn=1\r\nData Directory=" + folder + "\\gone\r\n");
    std::string reported;

    GuiDriver gui;
    start(gui);
    onmain(gui, [&](GuiWindow w) {
        w.save("main-window");
        w.key(VK_F10);
        PostMessageA(main, WM_CHAR, ctrlO, 1);
    });
    gui.on("Open", [&](GuiWindow open) {
        open.type(fileNameBox, "CSC1.ncs");
        open.click(IDOK);
        gui.gone(open.handle(), [&] { GuiWindow(main).key(VK_F10); });
    });
    gui.on(converterTitle, [&](GuiWindow box) {
        reported = box.message();
        box.click(IDOK);
        gui.when([&] { return windowtext(main) == "WINTESSEL - CSC1.ncs->CSC1.abf"; }, [&] {
            std::filesystem::rename("CSC1.ncs", "CSC1.kept");
            GuiWindow(main).key(VK_F10);
        });
    });
    gui.on("File Error", [](GuiWindow box) { box.click(IDOK); });
    gui.on("Error", [&](GuiWindow box) {
        box.click(IDOK);
        gui.gone(box.handle(), [&] {
            EXPECT_EQ(windowtext(main), "WINTESSEL - CSC1.ncs");
            // The session ends: the chosen folder is kept as the close path keeps it.
            EXPECT_EQ(SendMessageA(main, WM_QUERYENDSESSION, 0, 0), 1);
            SendMessageA(main, WM_ENDSESSION, TRUE, 0);
            EXPECT_PRED2(samepath, setting("General", "Data Directory"), folder);
            quit();
        });
    });
    EXPECT_EQ(finish(gui), 0u);
    std::filesystem::rename("CSC1.kept", "CSC1.ncs");
    EXPECT_EQ(reported, status("CSC1.abf", expected({"CSC1.ncs"}, false)));
    expectsame("CSC1.abf");
}

TEST_F(Desktop, EditHidesTheMainWindowOnlyInModeHideInEdit)
{
    for (char mode : {'O', 'H', 'x'}) {
        SCOPED_TRACE(mode);
        const bool hides = mode != 'O';
        settings(std::string("MainWindow=") + mode + "\r\nData Directory=" + folder + "\r\n");
        GuiDriver gui;
        start(gui);
        onmain(gui, [&](GuiWindow) { altkey(main, 'E'); });
        gui.on(converterTitle, [&](GuiWindow dialog) {
            EXPECT_EQ(IsWindowVisible(main) != 0, !hides);
            dialog.click(idCancel);
            gui.gone(dialog.handle(), [&] { gui.when([&] { return IsWindowVisible(main) != 0; }, [&] { quit(); }); });
        });
        EXPECT_EQ(finish(gui), 0u);
    }
}

TEST_F(Desktop, AboutClosesOnlyByOkAndHelpWarns)
{
    settings("MainWindow=O\r\n");
    GuiDriver gui;
    start(gui);
    onmain(gui, [&](GuiWindow) { PostMessageA(main, WM_COMMAND, commandAbout, 0); });
    // The About box has no caption.
    gui.on("", [&](GuiWindow about) {
        EXPECT_EQ(about.text(1006), "Tessel ABF Converter, Version 2.8");
        EXPECT_EQ(about.text(1007), "MIT licence. Built Apr  3 2019");
        EXPECT_EQ(about.text(IDOK), "OK");
        about.save("about-box");
        about.key(VK_ESCAPE);
        const DWORD due = GetTickCount() + 500;
        gui.when([due] { return static_cast<LONG>(GetTickCount() - due) >= 0; }, [&, about] {
            EXPECT_TRUE(IsWindowVisible(about.handle())) << "Escape closed the box";
            about.key(VK_RETURN);
            gui.gone(about.handle(), [&] { PostMessageA(main, WM_COMMAND, commandAbout, 0); });
        });
    });
    gui.on("", [&](GuiWindow about) {
        about.click(IDOK);
        gui.gone(about.handle(), [&] { GuiWindow(main).key(VK_F1); });
    });
    gui.on("WINTESSEL", [&](GuiWindow box) {
        EXPECT_EQ(box.message(), "Help not yet implemented!");
        box.click(IDOK);
        gui.gone(box.handle(), [&] { quit(); });
    });
    EXPECT_EQ(finish(gui), 0u);
}

// Any argument ends the program after start-up; one without ".abf" or
// ".ABF" is shown as it is, never used as a format.
TEST_F(Desktop, CommandLineEndsTheProgram)
{
    struct Case {
        const char* arguments;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"x.txt", {"x.txt"}},
        {"a.abf b.ABF", {}},
        {"\"%s%n.txt\" c.abf", {"%s%n.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        GuiDriver gui;
        start(gui, c.arguments);
        for (const std::string& text : c.boxes)
            gui.box("This is not an ABF File!!", text);
        EXPECT_EQ(finish(gui, 20000), 0u);
        EXPECT_EQ(setting("General", "MainWindow"), "N");
    }
}

// Save (F9) writes the parameters to a file in the parameter folder; Read
// (F8) takes another file's back, and Exit keeps what was read.
TEST_F(Desktop, ParameterFilesThroughTheMenu)
{
    const std::string saved = "c:\\labparms\\desktopsaved.tsa";
    const std::string other = "c:\\labparms\\desktopother.tsa";
    settings("MainWindow=O\r\n", "Combine Files=1\r\n");
    GuiDriver gui;
    start(gui);
    onmain(gui, [](GuiWindow w) { w.key(VK_F9); });
    gui.on("Save As", [&](GuiWindow save) {
        save.type(fileNameBox, "desktopsaved");
        save.click(IDOK);
        const std::string written = "[Parameters]\r\nCombine Files=1\r\n";
        gui.when([&, written] { return std::filesystem::exists(saved) && readbytes(saved) == written; },
                 [&] {
                     writebytes(other, "[Parameters]\r\nCombine Files=0\r\n");
                     GuiWindow(main).key(VK_F8);
                 });
    });
    gui.on("Open", [&](GuiWindow open) {
        open.type(fileNameBox, "desktopother.tsa");
        open.click(IDOK);
        gui.gone(open.handle(), [&] { quit(); });
    });
    EXPECT_EQ(finish(gui), 0u);
    EXPECT_EQ(setting("Parameters", "Combine Files"), "0");
    std::filesystem::remove(saved);
    std::filesystem::remove(other);
}

// The height in pixels of "Abc" in face at size pixels, as the dialogs
// measure their font.
int textheight(const char* face, int size)
{
    HFONT font = CreateFontA(-size, 0, 0, 0, 0, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE abc{};
    GetTextExtentPoint32A(dc, "Abc", 3, &abc);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return abc.cy;
}

// A session through the menu. Read keeps the current folder and Go finds
// the chosen file wherever it is. Preferences write the settings file
// however they close, and refuse font sizes outside 6 to 72 as they refuse
// any value (the box shows the size again, OK stays); a new size reaches
// the next converter dialog at once, its size only the next start. A Go
// into a data directory that has gone ends the program with its message,
// keeping the session first.
TEST_F(Desktop, AMenuSessionEndingInAVanishedDataDirectory)
{
    recordings(1);
    std::filesystem::create_directories("c:\\labparms");
    writebytes("c:\\labparms\\desktopread.tsa", "[Parameters]\r\nCombine Files=0\r\n");
    settings("MainWindow=O\r\nStatusBoxOn=1\r\nData Directory=" + folder + "\r\n");
    const std::string converter = std::string(converterTitle) + " - desktopread";
    const std::string preferences = std::string(converterTitle) + " Preferences";
    const std::vector<std::string> sizes = {"0", "5", "73", "100"};
    std::size_t refused = 0;
    std::string reported;
    GuiDriver gui;
    start(gui);
    openone(gui, [&] { GuiWindow(main).key(VK_F8); });
    gui.on("Open", [&](GuiWindow open) {
        open.type(fileNameBox, "desktopread.tsa");
        open.click(IDOK);
        gui.gone(open.handle(), [&] { altkey(main, 'E'); });
    });
    gui.on(converter, [&](GuiWindow dialog) { dialog.click(idGo); });
    gui.on(converterTitle, [&](GuiWindow box) {
        reported = box.message();
        box.click(IDOK);
    });
    gui.again(converter, [&](GuiWindow dialog) {
        dialog.click(idOk);
        gui.gone(dialog.handle(), [&] {
            // Gone from the file, so only a rewrite brings it back.
            WritePrivateProfileStringA("General", "MessageBox", nullptr, ini.c_str());
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
            altkey(main, 'P');
        });
    });
    gui.on(preferences, [&](GuiWindow prefs) {
        prefs.retype(idValue + 4, "20");
        prefs.click(idCancel);
        gui.gone(prefs.handle(), [&] {
            EXPECT_EQ(setting("General", "MessageBox"), "0") << "written though cancelled";
            EXPECT_EQ(setting("General", "Font size"), "13");
            altkey(main, 'P');
        });
    });
    std::function<void(GuiWindow)> sizeup = [&](GuiWindow prefs) {
        if (refused == 0) {
            EXPECT_EQ(prefs.text(idValue + 3), "comic sans ms");
            EXPECT_PRED2(samepath, prefs.text(idValue + 5), folder);
            prefs.save("preferences");
        }
        HWND box = prefs.item(idValue + 4);
        prefs.retype(idValue + 4, refused < sizes.size() ? sizes[refused] : "72");
        // A click into the box gives it the focus, so that leaving it checks it.
        PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        if (refused == sizes.size()) {
            prefs.retype(idValue + 5, folder + "\\gone");
            prefs.click(idOk);
            gui.gone(prefs.handle(), [&] { altkey(main, 'E'); });
            return;
        }
        prefs.click(idOk);
        ++refused;
        gui.when([prefs] { return prefs.text(idValue + 4) == "13"; }, [&, prefs] { sizeup(prefs); });
    };
    gui.on(preferences, sizeup);
    // Combine Files changed after Preferences wrote the file.
    gui.on(converter, [&](GuiWindow dialog) {
        EXPECT_EQ(setting("General", "Font size"), "72");
        RECT box = dialog.rect(idValue), r = dialog.rect();
        EXPECT_EQ(box.bottom - box.top, static_cast<int>(1.3 * textheight("comic sans ms", 72)));
        EXPECT_EQ(r.right - r.left, dialogpixels(208)) << "the size of the start";
        dialog.click(idValue);
        dialog.click(idOk);
        gui.gone(dialog.handle(), [&] { GuiWindow(main).key(VK_F10); });
    });
    gui.box("Exiting on error", "Couln't find the data path");
    EXPECT_EQ(finish(gui), 1u);
    std::filesystem::remove("c:\\labparms\\desktopread.tsa");
    EXPECT_EQ(reported, status("CSC1.abf", expected({"CSC1.ncs"}, false)));
    expectsame("CSC1.abf");
    EXPECT_EQ(setting("General", "Data Directory"), folder + "\\gone");
    EXPECT_EQ(setting("Parameters", "Combine Files"), "1");
}

// A recording of this many records (2 GB) takes seconds to convert: 2.5 s
// and more on two cores, where its output has to reach the disk. A faster
// machine would fail the test's check that the run was long enough to tell.
constexpr int longRecords = 2000000;

// Writes a recording of records records, 1000 at a time (the stamps go on,
// the samples repeat), and waits until it is on the disk: the output alone
// then stays within what the system caches without slowing its writer.
void longrecording(const char* name, int records)
{
    std::string piece = ncsrecording(1000, 1).bytes();
    HANDLE out = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, piece.data(), 16384, &written, nullptr);
    piece.erase(0, 16384);
    for (std::int64_t r = 0; r < records; ++r) {
        const std::int64_t stamp = 5000000 + r * 16000;
        std::memcpy(&piece[static_cast<std::size_t>(r % 1000) * 1044], &stamp, sizeof stamp);
        if (r % 1000 == 999)
            WriteFile(out, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr);
    }
    FlushFileBuffers(out);
    CloseHandle(out);
}

// Whether process shows its progress window and no box of the outcome yet;
// a top-level window's title is read without asking its process.
bool converting(DWORD process)
{
    DWORD shown = 0, boxed = 0;
    GetWindowThreadProcessId(FindWindowA(nullptr, "Progress"), &shown);
    GetWindowThreadProcessId(FindWindowA(nullptr, converterTitle), &boxed);
    return shown == process && boxed != process;
}

// A conversion runs on the windows' thread; meanwhile the main window
// answers what another process sends it, asked as the system asks before
// it shows a window as not responding.
TEST_F(Desktop, TheWindowKeepsAnsweringWhileItConverts)
{
    longrecording("CSC1.ncs", longRecords);
    settings("MainWindow=O\r\nStatusBoxOn=1\r\nData Directory=" + folder + "\r\n");
    int answered = 0, unanswered = 0;
    DWORD span = 0;
    std::thread prober;
    GuiDriver gui;
    start(gui);
    openone(gui, [&] {
        GuiWindow(main).key(VK_F10);
        // Every 50 ms, from a thread that nothing the test's thread waits for
        // can hold up.
        prober = std::thread([&] {
            for (int wait = 0; wait < 2000 && !converting(run.dwProcessId); ++wait)
                Sleep(10);
            const DWORD began = GetTickCount();
            for (; converting(run.dwProcessId); Sleep(50))
                (SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, nullptr) ? answered : unanswered)++;
            span = GetTickCount() - began;
        });
    });
    gui.on(converterTitle, [&](GuiWindow box) {
        EXPECT_EQ(box.message(), status("CSC1.abf", longRecords));
        box.click(IDOK);
        gui.gone(box.handle(), [&] { quit(); });
    });
    EXPECT_EQ(finish(gui, 120000), 0u);
    if (prober.joinable())
        prober.join();
    EXPECT_EQ(unanswered, 0) << answered << " answered";
    // A question asked as the run starts must wait longer than its second.
    EXPECT_GE(span, 1100u) << "too short a conversion: a window that never answers would pass";
}

}  // namespace
