#include "guidriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

GuiDriver* active = nullptr;

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM search)
{
    auto& s = *reinterpret_cast<WindowSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (IsWindowVisible(window) && (s.process == 0 || process == s.process))
        s.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectchild(HWND child, LPARAM list)
{
    HWND parent = GetParent(child);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof cls);
    reinterpret_cast<std::vector<GuiControl>*>(list)->push_back(
        {GetDlgCtrlID(child), cls, windowtext(child), r, IsWindowVisible(child) != 0});
    return TRUE;
}

void writebmp(const std::string& path, HBITMAP bitmap, int w, int h)
{
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = (w * 3 + 3) / 4 * 4;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * h);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4d42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(pixels.data(), 1, pixels.size(), f);
        std::fclose(f);
    }
}

}  // namespace

std::string windowtext(HWND window)
{
    // WM_GETTEXT rather than GetWindowText, which does not read the
    // controls of another process.
    char text[1024] = "";
    DWORD_PTR n = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &n);
    return text;
}

std::vector<HWND> threadwindows()
{
    WindowSearch s{0, {}};
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> processwindows(DWORD process)
{
    WindowSearch s{process, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

RECT dialogrect(HWND dialog, int x, int y, int w, int h)
{
    RECT place{x, y, w, h};
    MapDialogRect(dialog, &place);
    return {place.left, place.top, place.left + place.right, place.top + place.bottom};
}

std::string screensfolder()
{
    const char* folder = std::getenv("TESSEL_SCREENS");
    return folder ? folder : ".";
}

RECT GuiWindow::rect() const
{
    RECT r;
    GetWindowRect(window_, &r);
    return r;
}

RECT GuiWindow::rect(int id) const
{
    RECT r;
    GetWindowRect(item(id), &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<GuiControl> GuiWindow::controls() const
{
    std::vector<GuiControl> list;
    EnumChildWindows(window_, collectchild, reinterpret_cast<LPARAM>(&list));
    return list;
}

std::string GuiWindow::message() const
{
    for (const GuiControl& c : controls())
        if (c.cls == "Static" && !c.text.empty())
            return c.text;
    return {};
}

void GuiWindow::type(int id, const std::string& text) const
{
    HWND target = item(id);
    // A combo box takes its typing in the edit box nested inside it.
    for (HWND inner = target; inner; inner = GetWindow(inner, GW_CHILD)) {
        char cls[16] = "";
        GetClassNameA(inner, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0) {
            target = inner;
            break;
        }
    }
    SetFocus(target);
    for (unsigned char c : text)
        SendMessageA(target, WM_CHAR, c, 1);
}

void GuiWindow::retype(int id, const std::string& text) const
{
    SetFocus(item(id));
    SendMessageA(item(id), EM_SETSEL, 0, -1);
    SendMessageA(item(id), WM_CLEAR, 0, 0);
    type(id, text);
}

void GuiWindow::key(WPARAM vk, bool alt) const
{
    if (alt) {
        // Alt+F4 and its kind arrive as a system command.
        PostMessageA(window_, WM_SYSKEYDOWN, vk, 1 << 29);
        PostMessageA(window_, WM_SYSKEYUP, vk, (1u << 29) | (3u << 30));
    } else {
        HWND target = GetFocus() ? GetFocus() : window_;
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 3u << 30);
    }
}

void GuiWindow::save(const std::string& name) const
{
    // Paint what is pending, then copy the window's own surface: the screen
    // may lag behind it.
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r = rect();
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC source = GetWindowDC(window_);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    writebmp(screensfolder() + "\\" + name + ".bmp", bitmap, w, h);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window_, source);
}

GuiDriver& GuiDriver::on(const std::string& title, std::function<void(GuiWindow)> act)
{
    steps_.push_back({title, std::move(act), false});
    return *this;
}

GuiDriver& GuiDriver::again(const std::string& title, std::function<void(GuiWindow)> act)
{
    steps_.push_back({title, std::move(act), true});
    return *this;
}

GuiDriver& GuiDriver::box(const std::string& title, const std::string& message, const std::string& image)
{
    return on(title, [=](GuiWindow box) {
        EXPECT_EQ(box.message(), message) << "in the box titled \"" << title << "\"";
        if (!image.empty())
            box.save(image);
        box.click(IDOK);
    });
}

GuiDriver& GuiDriver::when(std::function<bool()> ready, std::function<void()> act)
{
    waits_.push_back({std::move(ready), std::move(act), GetTickCount() + 15000});
    return *this;
}

GuiDriver& GuiDriver::gone(HWND window, std::function<void()> act)
{
    return when([window] { return !IsWindow(window); }, std::move(act));
}

GuiDriver& GuiDriver::inprocess(DWORD process)
{
    process_ = process;
    return *this;
}

std::vector<HWND> GuiDriver::windows() const
{
    return process_ ? processwindows(process_) : threadwindows();
}

void GuiDriver::run(const std::function<void()>& call, int timeoutms)
{
    GuiDriver* outer = std::exchange(active, this);
    timeout_ = timeoutms;
    deadline_ = GetTickCount() + static_cast<DWORD>(timeoutms);
    UINT_PTR timer = SetTimer(nullptr, 0, 30, tick);
    call();
    KillTimer(nullptr, timer);
    active = outer;
    if (!steps_.empty())
        ADD_FAILURE() << "no window titled \"" << steps_.front().title << "\" appeared";
    if (!waits_.empty())
        ADD_FAILURE() << waits_.size() << " wait(s) never met";
    waits_.clear();
}

void CALLBACK GuiDriver::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (active)
        active->poll();
}

// Acts on the first wait met, if any; a wait past its time fails.
bool GuiDriver::pollwaits()
{
    for (auto it = waits_.begin(); it != waits_.end(); ++it) {
        if (it->ready()) {
            auto act = std::move(it->act);
            waits_.erase(it);
            acting_ = true;
            act();
            acting_ = false;
            return true;
        }
        if (static_cast<LONG>(GetTickCount() - it->deadline) > 0) {
            ADD_FAILURE() << "a wait timed out";
            waits_.erase(it);
            return true;
        }
    }
    return false;
}

void GuiDriver::poll()
{
    if (acting_ || pollwaits())
        return;
    handled_.erase(std::remove_if(handled_.begin(), handled_.end(), [](HWND w) { return !IsWindow(w); }),
                   handled_.end());
    for (HWND window : windows()) {
        if (steps_.empty() || windowtext(window) != steps_.front().title)
            continue;
        const bool taken = std::find(handled_.begin(), handled_.end(), window) != handled_.end();
        if (steps_.front().again ? !taken || !IsWindowEnabled(window) : taken)
            continue;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        if (!taken)
            handled_.push_back(window);
        acting_ = true;
        step.act(GuiWindow(window));
        acting_ = false;
        deadline_ = GetTickCount() + static_cast<DWORD>(timeout_);
        return;
    }
    // A modal loop with no step left to take waits on a window no step expects.
    if (static_cast<LONG>(GetTickCount() - deadline_) > 0)
        giveup();
}

void GuiDriver::giveup()
{
    std::string seen;
    for (HWND window : windows())
        seen += " \"" + windowtext(window) + "\"";
    if (steps_.empty())
        ADD_FAILURE() << "a window no step expects is waiting; windows:" << seen;
    else
        ADD_FAILURE() << "waited in vain for \"" << steps_.front().title << "\"; windows:" << seen;
    steps_.clear();
    // Cancel whatever modal window is up, then any window left.
    for (HWND window : windows()) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    deadline_ = GetTickCount() + static_cast<DWORD>(timeout_);
}
