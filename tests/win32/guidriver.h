#pragma once
// A small driver for window tests under a modal call (or while another
// process runs, see inprocess). Steps are queued
// before the call; a thread timer, whose messages every modal loop
// dispatches, finds each step's window as it appears and acts on it:
//
//     GuiDriver gui;
//     gui.on("Error", [](GuiWindow box) { EXPECT_EQ(box.text(0xffff), "..."); box.click(IDOK); });
//     gui.run([] { gobatch(nullptr); });
//
// A step whose window does not appear in time fails the test, as does a
// modal window that no step expects; the driver then closes the thread's
// windows so the modal call returns. Steps may also wait, while the call
// runs, for what no new window marks (when, gone).

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// The text of a window or control, of this process or another.
std::string windowtext(HWND window);

struct GuiControl {
    int id;
    std::string cls;
    std::string text;
    RECT rect;  // in the parent's client coordinates
    bool visible;
};

// A window with the usual reads and actions; ids name its children.
class GuiWindow {
public:
    explicit GuiWindow(HWND window) : window_(window) {}
    HWND handle() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }

    std::string title() const { return windowtext(window_); }
    std::string text(int id) const { return windowtext(item(id)); }
    RECT rect() const;           // screen coordinates
    RECT rect(int id) const;     // the parent's client coordinates
    bool visible(int id) const { return IsWindowVisible(item(id)) != 0; }
    std::vector<GuiControl> controls() const;
    // The message of a message box: its one static text that is not empty.
    std::string message() const;

    // Gives the control the focus and types text into it, character by character.
    void type(int id, const std::string& text) const;
    // Replaces an edit box's text as typing over it would, leaving it the focus.
    void retype(int id, const std::string& text) const;
    // Posts a click, so any modal window it opens runs outside the step.
    void click(int id) const { PostMessageA(item(id), BM_CLICK, 0, 0); }
    // Posts a keystroke (virtual key) to the window, as the keyboard would.
    void key(WPARAM vk, bool alt = false) const;
    void close() const { PostMessageA(window_, WM_CLOSE, 0, 0); }
    // Saves an image of the window as NAME.bmp in the screens folder.
    void save(const std::string& name) const;

private:
    HWND window_;
};

class GuiDriver {
public:
    // Drives the windows of another process instead of this thread's.
    GuiDriver& inprocess(DWORD process);
    // When a visible window titled title appears, act on it.
    GuiDriver& on(const std::string& title, std::function<void(GuiWindow)> act);
    // Acts again on a window an earlier step took, once it takes input
    // again (a modal window it owns has closed).
    GuiDriver& again(const std::string& title, std::function<void(GuiWindow)> act);
    // When a message box titled title appears, expects its message, saves
    // its image as image when one is named, and clicks OK.
    GuiDriver& box(const std::string& title, const std::string& message, const std::string& image = "");
    // Once ready holds, act; a wait not met within 15 s, or by the end of
    // the call, fails the test.
    GuiDriver& when(std::function<bool()> ready, std::function<void()> act);
    GuiDriver& gone(HWND window, std::function<void()> act);
    // Runs call with the queued steps; each step must be taken within
    // timeoutms of the previous one.
    void run(const std::function<void()>& call, int timeoutms = 15000);
    // Steps not taken (the test has failed if any remain after run).
    std::size_t pending() const { return steps_.size(); }

private:
    struct Step {
        std::string title;
        std::function<void(GuiWindow)> act;
        bool again;
    };
    struct Wait {
        std::function<bool()> ready;
        std::function<void()> act;
        DWORD deadline;
    };
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void poll();
    bool pollwaits();
    void giveup();
    std::vector<HWND> windows() const;

    std::deque<Step> steps_;
    std::deque<Wait> waits_;
    std::vector<HWND> handled_;
    DWORD deadline_ = 0;
    int timeout_ = 0;
    bool acting_ = false;
    DWORD process_ = 0;
};

// The visible top-level windows of this thread, or of a process.
std::vector<HWND> threadwindows();
std::vector<HWND> processwindows(DWORD process);

// Where the dialog manager puts an item of dialog's template at x, y with
// size w, h in dialog units: position and size are mapped separately, so
// the far edges can differ by a pixel from mapping x + w and y + h.
RECT dialogrect(HWND dialog, int x, int y, int w, int h);

// The folder that window images go to (set by the test runner).
std::string screensfolder();
