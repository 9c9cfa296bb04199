// The progress window on a real display: geometry from the measured text
// height, the bar's pixels, the buttons, and what does not close it.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "guidriver.h"
#include "progress/progresswindow_win.h"
#include "shell/shellstate.h"

namespace {

constexpr int idExtra = 33004, idCancel = 33008, idLine1 = 33000, idLine2 = 33001, idBar = 33012;
constexpr COLORREF blue = RGB(0, 0, 255), white = RGB(255, 255, 255);

void pump(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
}

void expectrect(const RECT& got, const RECT& want, const char* what)
{
    EXPECT_EQ(got.left, want.left) << what;
    EXPECT_EQ(got.top, want.top) << what;
    EXPECT_EQ(got.right, want.right) << what;
    EXPECT_EQ(got.bottom, want.bottom) << what;
}

// The bar as drawn: one row of pixel colours per scan line.
struct BarPixels {
    int w = 0, h = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * w + x)]; }
};

BarPixels readbar(HWND bar)
{
    RECT r;
    GetClientRect(bar, &r);
    BarPixels b{r.right, r.bottom, {}};
    HDC dc = GetDC(bar);
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x)
            b.pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(bar, dc);
    return b;
}

// What the bar must look like: the label typed out here, centred on its
// baseline, in swapped colours either side of the split.
BarPixels expectedbar(const ProgressWindow& pw, int w, int h, int split, const char* label)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, static_cast<HFONT>(pw.font));
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    RECT done{0, 0, split, h}, rest{split, 0, w, h};
    int n = static_cast<int>(std::strlen(label));
    SetTextColor(dc, white);
    SetBkColor(dc, blue);
    ExtTextOutA(dc, w / 2, h * 3 / 4, ETO_OPAQUE | ETO_CLIPPED, &done, label, n, nullptr);
    SetTextColor(dc, blue);
    SetBkColor(dc, white);
    ExtTextOutA(dc, w / 2, h * 3 / 4, ETO_OPAQUE | ETO_CLIPPED, &rest, label, n, nullptr);
    BarPixels b{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return b;
}

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override { progressstart(pw, GetModuleHandleA(nullptr)); }
    void TearDown() override
    {
        if (IsWindow(window()))
            DestroyWindow(window());
    }
    HWND window() const { return static_cast<HWND>(pw.window); }
    GuiWindow gui() const { return GuiWindow(window()); }

    ProgressWindow pw;
};

TEST_F(ProgressWindowTest, LayoutFollowsTheMeasuredTextHeight)
{
    progshow(nullptr, pw);
    ASSERT_TRUE(IsWindow(window()));
    int th = pw.textHeight;
    ASSERT_GT(th, 5);
    EXPECT_EQ(pw.buttonTop, static_cast<int>(70 - 1.5 * th));
    EXPECT_EQ(pw.buttonWidth, static_cast<int>(3.6 * th));
    EXPECT_EQ(pw.percentage, 1);
    EXPECT_EQ(pw.open, 1);
    EXPECT_EQ(gui().title(), "Progress");

    int line1 = static_cast<int>(0.4 * th);
    expectrect(gui().rect(idLine1), dialogrect(window(), 0, line1, 300, th), "first line");
    expectrect(gui().rect(idLine2), dialogrect(window(), 0, line1 + static_cast<int>(1.1 * th), 300, th),
               "second line");
    EXPECT_EQ(gui().text(idLine1), "Converting to ABF");
    EXPECT_EQ(gui().text(idLine2), "Line 2");
    EXPECT_TRUE(gui().visible(idLine1));
    EXPECT_TRUE(gui().visible(idLine2));
    for (int id = idExtra; id <= idCancel; ++id)
        EXPECT_FALSE(gui().visible(id)) << id;

    RECT client;
    GetClientRect(window(), &client);
    int w = client.right, h = client.bottom;
    float barHeight = static_cast<float>(th * 1.5 / h);
    EXPECT_EQ(pw.barHeight, barHeight);
    RECT bar{static_cast<int>(w * double(0.1f)), h / 2, 0, 0};
    bar.right = bar.left + static_cast<int>(w * (1 - 2 * double(0.1f)));
    bar.bottom = bar.top + static_cast<int>(h * double(barHeight));
    expectrect(gui().rect(idBar), bar, "bar");

    // Cancel, hidden here, sits centred in the row three pixels above its
    // template place, measured from the window's top.
    RECT whole = gui().rect();
    RECT placed = dialogrect(window(), 0, pw.buttonTop, pw.buttonWidth, th);
    POINT origin{0, 0};
    ClientToScreen(window(), &origin);
    int bw = placed.right - placed.left;
    int ww = whole.right - whole.left;
    RECT cancel = gui().rect(idCancel);
    EXPECT_EQ(cancel.left, (ww - bw) / 2);
    EXPECT_EQ(cancel.top, origin.y + placed.top - whole.top - 3);
    EXPECT_EQ(cancel.right - cancel.left, bw);
}

TEST_F(ProgressWindowTest, BarSplitsAtThePercentageWithItsLabel)
{
    progshow(nullptr, pw);
    HWND bar = static_cast<HWND>(pw.bar);
    struct Case {
        int percentage;
        const char* label;
    };
    for (Case c : {Case{0, "0 % "}, Case{50, "50 % "}, Case{100, "100 % "}, Case{42, "42 % "}}) {
        pw.percentage = c.percentage;
        pw.firstLine = "Exporting CSC1.ncs to ABF.";
        pw.secondLine = "Window #" + std::to_string(c.percentage);
        progupdate(pw);
        BarPixels got = readbar(bar);
        int split = MulDiv(c.percentage, got.w, 100);
        // The top row holds no glyph: blue up to the split, white after it.
        for (int x = 0; x < got.w; ++x)
            ASSERT_EQ(got.at(x, 0), x < split ? blue : white) << c.percentage << "% at x " << x;
        BarPixels want = expectedbar(pw, got.w, got.h, split, c.label);
        int differ = 0;
        for (std::size_t i = 0; i < got.pixels.size(); ++i)
            differ += got.pixels[i] != want.pixels[i];
        EXPECT_EQ(differ, 0) << c.percentage << "%: pixels unlike the label \"" << c.label << "\"";
        EXPECT_EQ(gui().text(idLine1), pw.firstLine);
        EXPECT_EQ(gui().text(idLine2), pw.secondLine);
        if (c.percentage == 50)
            gui().save("progress-50");
    }
    // A bar 181 pixels wide splits half way at 91.
    EXPECT_EQ(MulDiv(50, 181, 100), 91);
}

TEST_F(ProgressWindowTest, ButtonsOnlyRecordThePress)
{
    pw.showCancel = 1;
    progshow(nullptr, pw);
    ASSERT_TRUE(gui().visible(idCancel));
    SendMessageA(gui().item(idCancel), BM_CLICK, 0, 0);
    EXPECT_EQ(pw.lastButton, idCancel);
    EXPECT_TRUE(IsWindowVisible(window()));

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    pw.buttonEvent = event;
    pw.lastButton = 0;
    SendMessageA(gui().item(idCancel), BM_CLICK, 0, 0);
    EXPECT_EQ(pw.lastButton, idCancel);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}

TEST_F(ProgressWindowTest, EscapeAndAltF4DoNotCloseIt)
{
    pw.showCancel = 1;
    progshow(nullptr, pw);
    SetForegroundWindow(window());
    SetFocus(gui().item(idCancel));
    gui().key(VK_ESCAPE);
    pump(window());
    gui().key(VK_F4, true);
    pump(window());
    SendMessageA(window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(window(), WM_CLOSE, 0, 0);
    pump(window());
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_TRUE(IsWindowVisible(window()));
    EXPECT_EQ(pw.lastButton, 0);
}

// The system drags a window by whatever reports itself as caption.
TEST_F(ProgressWindowTest, TheWholeBodyDragsTheWindow)
{
    progshow(nullptr, pw);
    RECT client;
    GetClientRect(window(), &client);
    for (POINT p : {POINT{0, 0}, POINT{client.right / 2, client.bottom / 2}, POINT{client.right - 1, client.bottom - 1},
                    POINT{client.right / 2, static_cast<LONG>(pw.textHeight)}}) {
        ClientToScreen(window(), &p);
        LRESULT hit = SendMessageA(window(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(hit, HTCAPTION) << p.x << "," << p.y;
    }
}

TEST_F(ProgressWindowTest, ExtraButtonsShrinkToFitTheRow)
{
    pw.extraButtonsOn = 1;
    pw.showCancel = 1;
    pw.width = 120;
    progshow(nullptr, pw);
    RECT whole = gui().rect();
    int ww = whole.right - whole.left;
    RECT placed = dialogrect(window(), 0, 0, pw.buttonWidth, pw.textHeight);
    ASSERT_LT(0.8 * ww, 5 * (placed.right - placed.left)) << "the row must not fit";
    int bw = static_cast<int>((ww / 5) * 0.8);
    int gap = (ww - 5 * bw) / 6;
    const char* labels[] = {"&OK", "&Swps on", "&Epis on", "&Display", "&Cancel"};
    for (int k = 0; k < 5; ++k) {
        RECT b = gui().rect(idExtra + k);
        EXPECT_EQ(b.left, gap + k * (bw + gap)) << k;
        EXPECT_EQ(b.right - b.left, bw) << k;
        EXPECT_TRUE(gui().visible(idExtra + k)) << k;
        EXPECT_EQ(gui().text(idExtra + k), labels[k]);
    }
    gui().save("progress-buttons");
}

TEST_F(ProgressWindowTest, EachWindowReleasesItsFont)
{
    progshow(nullptr, pw);
    HGDIOBJ first = pw.font;
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
    DestroyWindow(window());
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(pw.font, nullptr);

    // A window shows the texts of the previous run until its first update.
    pw.firstLine = "Exporting CSC2.ncs to ABF.";
    progshow(nullptr, pw);
    EXPECT_EQ(gui().text(idLine1), "Exporting CSC2.ncs to ABF.");
    EXPECT_EQ(GetObjectType(pw.font), static_cast<DWORD>(OBJ_FONT));
}

}  // namespace

namespace {

int paints = 0;

LRESULT CALLBACK countpaints(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PAINT)
        ++paints;
    return DefWindowProcA(window, message, wparam, lparam);
}

// A run that shows no window still reports progress: nothing may be drawn,
// least of all over the other windows of the desktop.
TEST(ProgressWithoutWindow, DrawsNothing)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = countpaints;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TesselPaintCount";
    RegisterClassA(&wc);
    HWND other = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    pump(other);
    paints = 0;
    ProgressWindow pw;
    pw.percentage = 40;
    progupdate(pw);
    pump(other);
    EXPECT_EQ(paints, 0);
    DestroyWindow(other);
}

}  // namespace
