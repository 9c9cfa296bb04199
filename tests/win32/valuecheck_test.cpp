// The checks run on real edit boxes and buttons of a plain window, with
// the identifiers a generated dialog gives them.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "guidriver.h"
#include "paramdlg/valuecheck.h"

namespace {

// Rows of the page shown, which is the second page: entry = row + 2.
enum { rText, rInt, rReal, rIntLimited, rRealLimited, rList, rBool, rYesNo, rChoice, rUnit, rows };
constexpr int firstEntry = 2;

class ValueCheck : public testing::Test {
protected:
    char text[10] = "old";
    std::int32_t number = 5;
    float real = 2.5f;
    std::int32_t numberLimited = 5;
    float realLimited = 5;
    char list[paramTextSize] = "1..4";
    std::int32_t flag = 7;
    char yesno = 'x';
    char choice = 'B';
    float duration = 1;
    char choiceLetters[4] = "ABC";
    char unitLetters[5] = "MSUM";
    ParamEntry entries[firstEntry + rows];
    std::uint32_t pageSizes[3] = {2, firstEntry, rows};
    ParamDialogSpec spec;
    HWND window = nullptr;

    void SetUp() override
    {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        static const ATOM windowClass = [instance] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = instance;
            wc.lpszClassName = "TesselValueCheck";
            return RegisterClassA(&wc);
        }();
        ASSERT_NE(windowClass, 0);
        window = CreateWindowExA(0, "TesselValueCheck", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 600, nullptr,
                                 nullptr, instance, nullptr);
        ASSERT_NE(window, nullptr);

        entries[firstEntry + rText] = textentry(text, "Name");
        entries[firstEntry + rInt] = {&number, nullptr, PARAM_INT, "Count", 0, 0, 0};
        entries[firstEntry + rReal] = {&real, nullptr, PARAM_FLOAT, "Gain", 0, 0, 0};
        entries[firstEntry + rIntLimited] = {&numberLimited, nullptr, PARAM_INT | PARAM_LIMITS, "Steps", 10, 1, 0};
        entries[firstEntry + rRealLimited] = {&realLimited, nullptr, PARAM_FLOAT | PARAM_LIMITS, "Scale", 10, 1, 0};
        // Limits are truncated: the list lies between 1 and 16.
        entries[firstEntry + rList] = textentry(list, "Channels", PARAM_LIMITS, 16.7, 1.9);
        entries[firstEntry + rBool] = {&flag, nullptr, PARAM_BOOL, "Flag", 0, 0, 0};
        entries[firstEntry + rYesNo] = {&yesno, nullptr, PARAM_YESNO, "Combine", 0, 0, 0};
        entries[firstEntry + rChoice] = {&choice, choiceLetters, PARAM_CHOICE, "Mode:A,B,C", 0, 0, 0};
        entries[firstEntry + rUnit] = {&duration, unitLetters, PARAM_FLOAT | PARAM_UNIT, "Time:ms,s,us", 0, 0, 0};
        spec.entries = entries;
        spec.pageSizes = pageSizes;
        spec.page = 1;
        spec.dialog = window;

        for (int row = 0; row < rows; ++row) {
            const int id = idValue + firstEntry + row;
            if (row == rBool || row == rYesNo)
                spec.valueWnd[row] = child("BUTTON", "", BS_AUTOCHECKBOX, id, row);
            else if (row == rChoice)
                spec.valueWnd[row] = child("BUTTON", "Mode", BS_GROUPBOX, idGroup, row);
            else
                spec.valueWnd[row] = child("EDIT", "", ES_AUTOHSCROLL, id, row);
        }
        // Plain radio buttons, so that a test can check several at once.
        for (int g = 0; g < 2; ++g)
            for (int k = 0; k < 3; ++k)
                child("BUTTON", "", BS_RADIOBUTTON, radioid(g, k), rows + 3 * g + k);
        child("STATIC", "", 0, idTitle, rows + 6);
    }

    void TearDown() override
    {
        DestroyWindow(window);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    WindowHandle child(const char* cls, const char* title, DWORD style, int id, int line)
    {
        return CreateWindowExA(0, cls, title, WS_CHILD | WS_VISIBLE | style, 0, 20 * line, 300, 20, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    }

    std::string box(int row) { return windowtext(static_cast<HWND>(spec.valueWnd[row])); }

    void check(int id, bool on) { CheckDlgButton(window, id, on ? BST_CHECKED : BST_UNCHECKED); }

    // Types text into the row's box and checks it; true when a report was posted.
    bool type(int row, const std::string& typed, MSG* report = nullptr)
    {
        SetWindowTextA(static_cast<HWND>(spec.valueWnd[row]), typed.c_str());
        EXPECT_EQ(checkedit(window, idValue + firstEntry + row, spec), 1);
        MSG msg;
        const bool posted = PeekMessageA(&msg, window, paramErrorMessage, paramErrorMessage, PM_REMOVE);
        EXPECT_EQ(posted, spec.errorPending != 0) << typed;
        if (report)
            *report = msg;
        spec.errorPending = 0;
        return posted;
    }
};

TEST_F(ValueCheck, NumberBoxesAcceptAndNormalise)
{
    const struct {
        int row;
        const char* typed;
        const char* shown;
    } cases[] = {
        {rReal, "1.5e3", "1500"},   {rReal, "1.50", "1.5"},   {rReal, "0.123456", "0.1235"},
        {rReal, "", "0"},           {rReal, "-2E-1", "-0.2"}, {rInt, "12e", "12"},
        {rInt, "007", "7"},         {rInt, "2e3", "2"},       {rInt, "-3", "-3"},
        {rInt, "", "0"},            {rIntLimited, "10", "10"}, {rIntLimited, "1", "1"},
        {rRealLimited, "10", "10"}, {rRealLimited, "1.0", "1"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(type(c.row, c.typed)) << c.typed;
        EXPECT_EQ(box(c.row), c.shown) << c.typed;
    }
}

TEST_F(ValueCheck, NumberBoxesReject)
{
    const struct {
        int row;
        const char* typed;
    } cases[] = {
        {rReal, "1,5"},         {rReal, " 5"},          {rReal, "+5"},        {rReal, "1.5x"},
        {rInt, "12.5"},         {rInt, " 5"},           {rInt, "+5"},         {rIntLimited, "11"},
        {rIntLimited, "0"},     {rIntLimited, ""},      {rRealLimited, "10.01"}, {rRealLimited, "0.99"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(type(c.row, c.typed)) << c.typed;
        // Neither the variable nor the box changes here.
        EXPECT_EQ(box(c.row), c.typed);
    }
    EXPECT_EQ(number, 5);
    EXPECT_EQ(real, 2.5f);
    EXPECT_EQ(numberLimited, 5);
    EXPECT_EQ(realLimited, 5.0f);
}

TEST_F(ValueCheck, RejectionIsPostedOnceUntilReported)
{
    MSG msg;
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rRealLimited]), "12");
    checkedit(window, idValue + firstEntry + rRealLimited, spec);
    EXPECT_EQ(spec.errorPending, 1);
    ASSERT_TRUE(PeekMessageA(&msg, window, paramErrorMessage, paramErrorMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(idValue + firstEntry + rRealLimited));
    const ParamErrorInfo* info = reinterpret_cast<const ParamErrorInfo*>(msg.lParam);
    EXPECT_EQ(info, &paramerror());
    EXPECT_STREQ(info->label, "Scale");
    EXPECT_EQ(info->flags, PARAM_FLOAT | PARAM_LIMITS);
    EXPECT_EQ(info->lower, 1.0);
    EXPECT_EQ(info->upper, 10.0);
    EXPECT_STREQ(info->text, "5");
    EXPECT_EQ(info->row, rRealLimited);
    EXPECT_EQ(info->page, 1);

    // While the report is pending nothing is checked, stored or posted.
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rInt]), "42");
    checkedit(window, idValue + firstEntry + rInt, spec);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(box(rInt), "42");
    EXPECT_FALSE(PeekMessageA(&msg, window, paramErrorMessage, paramErrorMessage, PM_REMOVE));

    // A check clears it again.
    spec.errorPending = 0;
    EXPECT_TRUE(type(rInt, "4.2", &msg));
    EXPECT_STREQ(reinterpret_cast<const ParamErrorInfo*>(msg.lParam)->text, "5");
    EXPECT_FALSE(type(rInt, "42"));
    EXPECT_EQ(number, 42);

    // An identifier off the page shown is no box of this page.
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[0]), "x");
    EXPECT_EQ(checkedit(window, idValue, spec), 1);
    EXPECT_EQ(spec.errorPending, 0);
}

TEST_F(ValueCheck, NumberListsAreStoredRewritten)
{
    EXPECT_FALSE(type(rList, "1..10,x3..5"));
    EXPECT_STREQ(list, "1..10,X3..5");
    EXPECT_EQ(box(rList), "1..10,X3..5");
    EXPECT_FALSE(type(rList, "1..16q1"));
    EXPECT_STREQ(list, "1..16");
    // The item position is the lower limit, so a trailing ".." stays.
    EXPECT_FALSE(type(rList, "3.."));
    EXPECT_STREQ(list, "3..");

    entries[firstEntry + rList].lower = 0;
    EXPECT_FALSE(type(rList, "3..Q2"));
    EXPECT_STREQ(list, "3..16Q2");
    EXPECT_EQ(box(rList), "3..16Q2");

    MSG msg;
    for (const char* typed : {"17", "1..17", "1, 2", "1;2", ""}) {
        EXPECT_TRUE(type(rList, typed, &msg)) << typed;
        const ParamErrorInfo* info = reinterpret_cast<const ParamErrorInfo*>(msg.lParam);
        EXPECT_STREQ(info->text, "3..16Q2");
        EXPECT_EQ(info->upper, 16.7);
        EXPECT_EQ(info->row, rList);
    }
    EXPECT_STREQ(list, "3..16Q2");

    // A long stored list travels in the report cut to 99 characters.
    std::string longlist;
    for (int n = 0; n < 80; ++n)
        longlist += std::to_string(1 + n % 16) + ",";
    std::strcpy(list, longlist.c_str());
    ASSERT_TRUE(type(rList, "17", &msg));
    EXPECT_EQ(std::string(reinterpret_cast<const ParamErrorInfo*>(msg.lParam)->text), longlist.substr(0, 99));
}

TEST_F(ValueCheck, UncheckedKindsWaitForReadPage)
{
    for (int row : {rText, rBool, rYesNo, rChoice}) {
        SetWindowTextA(static_cast<HWND>(spec.valueWnd[row]), "anything, at all");
        EXPECT_EQ(checkedit(window, idValue + firstEntry + row, spec), 1);
        EXPECT_EQ(spec.errorPending, 0);
        EXPECT_EQ(box(row), "anything, at all");
    }
    EXPECT_STREQ(text, "old");
    EXPECT_EQ(flag, 7);
    EXPECT_EQ(yesno, 'x');
    EXPECT_EQ(choice, 'B');
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, paramErrorMessage, paramErrorMessage, PM_REMOVE));
}

TEST_F(ValueCheck, ReadPageStoresEveryRow)
{
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rText]), "a long name");
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rInt]), "42");
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rReal]), "0.125");
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rList]), "9..11");
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rUnit]), "250");
    check(idValue + firstEntry + rBool, true);
    check(idValue + firstEntry + rYesNo, true);
    check(radioid(0, 2), true);
    check(radioid(1, 1), true);
    EXPECT_EQ(readpage(window, spec), 0);
    EXPECT_STREQ(text, "a long na");  // cut to the buffer
    EXPECT_EQ(number, 42);
    EXPECT_EQ(real, 0.125f);
    EXPECT_STREQ(list, "9..11");
    EXPECT_EQ(duration, 250.0f);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(yesno, 'Y');
    EXPECT_EQ(choice, 'C');
    EXPECT_STREQ(unitLetters, "MSUS");

    // Unchecked boxes; no radio checked keeps the letter, several: the last wins.
    check(idValue + firstEntry + rBool, false);
    check(idValue + firstEntry + rYesNo, false);
    check(radioid(0, 2), false);
    check(radioid(1, 0), true);
    check(radioid(1, 2), true);
    readpage(window, spec);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(yesno, 'N');
    EXPECT_EQ(choice, 'C');
    EXPECT_STREQ(unitLetters, "MSUU");
    EXPECT_EQ(readchoice(window, 1, spec, &choice, firstEntry + rUnit), 2);
    EXPECT_EQ(choice, 'U');

    // At most 798 characters arrive from a box.
    char big[paramTextSize];
    entries[firstEntry + rText] = textentry(big, "Name");
    SetWindowTextA(static_cast<HWND>(spec.valueWnd[rText]), std::string(900, 'z').c_str());
    readpage(window, spec);
    EXPECT_EQ(std::string(big), std::string(paramTextSize - 2, 'z'));
}

TEST_F(ValueCheck, CaptionNamesTheParameterFile)
{
    const HWND title = GetDlgItem(window, idTitle);
    spec.caption = "Converter";
    dlgcaption(spec);
    EXPECT_EQ(windowtext(window), "Converter");
    EXPECT_EQ(windowtext(title), "Converter");

    std::strcpy(spec.fileName, "run1");
    dlgcaption(spec);
    EXPECT_EQ(windowtext(window), "Converter - run1");
    EXPECT_EQ(windowtext(title), "Converter - run1");

    const std::string longcaption(200, 'c');
    spec.caption = longcaption.c_str();
    std::memset(spec.fileName, 'f', sizeof spec.fileName - 1);
    dlgcaption(spec);
    const std::string cut = (longcaption + " - " + std::string(255, 'f')).substr(0, 255);
    EXPECT_EQ(windowtext(window), cut);
    EXPECT_EQ(windowtext(title), cut);
}

}  // namespace
