// Generated parameter dialogs on a real display: the template, the rows of
// every kind of entry, tabs, checks and their reports, the command buttons,
// and what Cancel puts back.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "guidriver.h"
#include "numtext/numshort.h"
#include "paramdlg/dialogproc.h"
#include "paramdlg/rundialog.h"
#include "params/pagelimits.h"

namespace {

int trunc(double v)
{
    return static_cast<int>(v);
}

// The demonstration table: every kind and flag over three pages.
enum { eName, eCount, eGain, eChannels, eFilter, eDuration, eSweeps, eCombine, eStatus, eMode, entryCount };

struct Values {
    char name[40] = "Session A  ";
    std::int32_t count = 12;
    float gain = 2.5f;
    char channels[paramTextSize] = "1..4";
    char filter = 'L';
    float duration = 0.123456f;
    char durationUnit[5] = "MSNS";  // three letters, then the one chosen
    std::int32_t sweeps = 10;
    char combine = 'N';
    std::int32_t status = 1;
    char mode = 'O';

    bool operator==(const Values& o) const
    {
        return std::strcmp(name, o.name) == 0 && count == o.count && gain == o.gain &&
               std::strcmp(channels, o.channels) == 0 && filter == o.filter && duration == o.duration &&
               std::strcmp(durationUnit, o.durationUnit) == 0 && sweeps == o.sweeps && combine == o.combine &&
               status == o.status && mode == o.mode;
    }
};

char pageMisc[] = "Miscellaneous", pageDurations[] = "Durations", pageOptions[] = "Options";
char filterLetters[] = "NLHBOC", modeLetters[] = "OHN";

class ParamDialog : public testing::Test {
protected:
    Values v;
    ParamEntry entries[entryCount];
    std::uint32_t pages[4] = {3, 4, 3, 3};
    char* names[3] = {pageMisc, pageDurations, pageOptions};
    ParamDialogSpec spec;
    std::vector<Values> goSeen;
    int opens = 0;
    int openResult = 0;

    static ParamDialog* current;
    static std::int32_t ongo(WindowHandle)
    {
        current->goSeen.push_back(current->v);
        return 0;
    }
    static std::int32_t onopen(WindowHandle)
    {
        ++current->opens;
        return current->openResult;
    }

    void SetUp() override
    {
        current = this;
        entries[eName] = textentry(v.name, "Name");
        entries[eCount] = {&v.count, nullptr, PARAM_INT, "Count", 0, 0, 0};
        entries[eGain] = {&v.gain, nullptr, PARAM_FLOAT | PARAM_LIMITS, "Gain", 100, 0.5, 0};
        entries[eChannels] = textentry(v.channels, "Channels", PARAM_LIMITS | PARAM_PAGEEND, 16, 1);
        entries[eFilter] = {&v.filter, filterLetters, PARAM_CHOICE,
                            "Filter:None,Low pass,High pass,Band pass,Notch,Comb", 0, 0, 0};
        entries[eDuration] = {&v.duration, v.durationUnit, PARAM_FLOAT | PARAM_UNIT, "Duration:ms,s,min", 0, 0, 0};
        entries[eSweeps] = {&v.sweeps, nullptr, PARAM_INT | PARAM_LIMITS | PARAM_PAGEEND, "Sweeps", 1000, 1, 0};
        entries[eCombine] = {&v.combine, nullptr, PARAM_YESNO, "Combine Files", 0, 0, 0};
        entries[eStatus] = {&v.status, nullptr, PARAM_BOOL, "Show status", 0, 0, 0};
        entries[eMode] = {&v.mode, modeLetters, PARAM_CHOICE, "MainWindow:On,HideInEdit,None", 0, 0, 0};
        spec.entries = entries;
        spec.pageSizes = pages;
        spec.pageNames = names;
        spec.caption = "Demo Settings";
        spec.fontHeight = 13;
        spec.fontName = "MS Sans Serif";
        spec.instance = GetModuleHandleA(nullptr);
        spec.errorBox = 1;
    }

    // One page holding only the check box, as the converter's table does.
    void onepage()
    {
        static std::uint32_t one[2] = {1, 1};
        entries[0] = {&v.combine, nullptr, PARAM_YESNO, "Combine Files", 0, 0, 0};
        spec.pageSizes = one;
    }

    // Go and Open buttons with their callbacks.
    void goandopen()
    {
        spec.showGo = 1;
        spec.showOpen = 1;
        spec.onGo = ongo;
        spec.onOpen = onopen;
    }

    void run(GuiDriver& gui)
    {
        gui.run([&] { rundialog(nullptr, spec); });
    }
};

ParamDialog* ParamDialog::current = nullptr;

std::vector<std::string> backups()
{
    std::vector<std::string> found;
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    for (const auto& f : std::filesystem::directory_iterator(folder))
        if (f.path().filename().string().rfind("bkw", 0) == 0)
            found.push_back(f.path().string());
    return found;
}

// The GDI objects this process holds. Wine answers GetGuiResources with 0;
// there a handle's low word alone finds its object, so the handle table's
// slots are counted.
int gdiobjects()
{
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(n);
    int n = 0;
    for (ULONG_PTR slot = 1; slot <= 0xffff; ++slot)
        n += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return n;
}

// Clicks a tab as a person would.
void clicktab(GuiWindow dialog, int tab)
{
    HWND tabs = dialog.item(idTabs);
    RECT r;
    SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs, WM_LBUTTONUP, 0, at);
}

// The template as the dialog manager reads it.
struct TemplateItem {
    DWORD style;
    int x, y, cx, cy, id, atom;
    std::string title;
};

struct ParsedTemplate {
    DWORD style;
    int count, x, y, cx, cy, points;
    std::string title, face;
    std::vector<TemplateItem> items;
};

ParsedTemplate parse(const std::vector<WORD>& w)
{
    std::size_t at = 0;
    auto word = [&] { return static_cast<int>(static_cast<short>(w.at(at++))); };
    auto dword = [&] {
        DWORD lo = w.at(at), hi = w.at(at + 1);
        at += 2;
        return lo | hi << 16;
    };
    auto text = [&] {
        std::string s;
        while (w.at(at))
            s += static_cast<char>(w[at++]);
        ++at;
        return s;
    };
    ParsedTemplate t{};
    t.style = dword();
    EXPECT_EQ(dword(), 0u) << "extended style";
    t.count = word();
    t.x = word(), t.y = word(), t.cx = word(), t.cy = word();
    EXPECT_EQ(word(), 0) << "menu";
    EXPECT_EQ(word(), 0) << "class";
    t.title = text();
    t.points = word();
    t.face = text();
    while (at + 1 < w.size()) {
        at += at % 2;
        TemplateItem item{};
        item.style = dword();
        EXPECT_EQ(dword(), 0u);
        item.x = word(), item.y = word(), item.cx = word(), item.cy = word();
        item.id = static_cast<WORD>(word());
        EXPECT_EQ(static_cast<WORD>(word()), 0xffff);
        item.atom = word();
        item.title = text();
        EXPECT_EQ(word(), 0) << "creation data";
        t.items.push_back(item);
    }
    return t;
}

TEST_F(ParamDialog, TemplateHoldsTheButtonsTitleAndGroups)
{
    for (int go : {0, 1}) {
        spec.showGo = go;
        spec.textHeight = 15;
        spec.width = 208;
        spec.height = 258;
        ParsedTemplate t = parse(paramtemplate(spec).words());
        const int th = 15, bw = 54, x0 = (208 - 2 * bw) / 3, y0 = trunc(258 - 1.5 * th);
        EXPECT_EQ(spec.buttonWidth, bw);
        EXPECT_EQ(spec.buttonHeight, th);
        EXPECT_EQ(t.style, 0x808800C0u);
        EXPECT_EQ(t.count, 172);
        EXPECT_EQ(t.x, 50);
        EXPECT_EQ(t.cx, 208);
        EXPECT_EQ(t.title, "Demo Settings");
        EXPECT_EQ(t.points, 8);
        EXPECT_EQ(t.face, "MS Sans Serif") << "whatever the controls' font";

        std::vector<TemplateItem> want;
        if (go)
            want.push_back({0x50010001, x0, y0, bw, th, idGo, 0x80, "&Go"});
        want.push_back({go ? 0x50010000u : 0x50010001u, x0, y0, bw, th, idOk, 0x80, "OK"});
        want.push_back({0x50010000, bw + 2 * x0, y0, bw, th, idCancel, 0x80, "Cancel"});
        const std::pair<int, const char*> hidden[] = {{idExit, "E&xit"},      {idOpen, "&Open"},
                                                      {idMinimizeTop, "Minimi&ze"}, {idMinimize, "Mi&nimize"},
                                                      {idPrefs, "&Prefs."},   {idRead, "&Read"}};
        for (auto [id, title] : hidden)
            want.push_back({0x40000000, 1, 1, 20, 20, id, 0x80, title});
        want.push_back({0x40000000, 1, 1, 2, 2, idSave, 0x80, "&Save"});
        want.push_back({0x50000001, 20, 6, 166, 19, idTitle, 0x82, "Demo Settings"});
        for (int g = 0; g <= 10; ++g) {
            want.push_back({0x50020007, 10, 30, 188, 120, idGroup + g, 0x80, "empty"});
            for (int k = 0; k < 15; ++k)
                want.push_back({0x50000009, trunc(k * bw * 1.5 + 20), 42, trunc(1.3 * bw), th, radioid(g, k), 0x80,
                                "mt"});
        }
        ASSERT_EQ(t.items.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            const TemplateItem &got = t.items[i], &w = want[i];
            EXPECT_TRUE(got.style == w.style && got.x == w.x && got.y == w.y && got.cx == w.cx && got.cy == w.cy &&
                        got.id == w.id && got.atom == w.atom && got.title == w.title)
                << "item " << i << " id " << got.id << " " << got.title;
        }
    }
}

TEST_F(ParamDialog, OnePageInModeNShowsGoOpenAndExit)
{
    onepage();
    goandopen();
    spec.mainWindowMode = 'N';
    const auto before = backups();
    for (int height : {13, 26}) {
        spec.fontHeight = height;
        spec.width = trunc(height / 13.1 * 210);
        spec.height = trunc(height / 13.1 * 260);
        HGDIOBJ font = nullptr;
        GuiDriver gui;
        gui.on("Demo Settings", [&](GuiWindow d) {
            font = spec.font;
            EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
            EXPECT_EQ(d.text(idTitle), "Demo Settings");
            EXPECT_EQ(spec.tabStripHeight, 0);
            EXPECT_EQ(d.item(idTabs), nullptr);
            EXPECT_NE(GetWindowLongA(d.handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
            const int th = spec.textHeight;
            RECT outer = d.rect();
            const int wo = outer.right - outer.left;
            EXPECT_EQ(outer.bottom - outer.top, spec.contentBottom + 3 * spec.buttonHeight);

            // Go, Open and Exit share the row; OK and Cancel are hidden.
            const int bw = spec.buttonWidth, gap = (wo - 3 * bw) / 4;
            const int row[] = {idGo, idOpen, idExit};
            for (int i = 0; i < 3; ++i) {
                RECT b = d.rect(row[i]);
                EXPECT_TRUE(d.visible(row[i])) << row[i];
                EXPECT_EQ(b.left, gap + i * (gap + bw)) << row[i];
                EXPECT_EQ(b.top, spec.contentBottom + spec.buttonHeight / 2) << row[i];
                EXPECT_EQ(b.bottom - b.top, trunc(1.3 * spec.buttonHeight)) << row[i];
            }
            EXPECT_FALSE(d.visible(idOk));
            EXPECT_FALSE(d.visible(idCancel));
            RECT m = d.rect(idMinimizeTop);
            EXPECT_EQ(d.text(idMinimizeTop), "__");
            EXPECT_EQ(m.left, trunc(wo * (1 - 0.07f * 1.6)));
            EXPECT_EQ(m.top, trunc(0.2 * th));
            EXPECT_EQ(m.right - m.left, trunc(wo * 0.07f * 1.2));

            // A separator under the title, the check box across both columns.
            RECT client;
            GetClientRect(d.handle(), &client);
            bool separator = false;
            for (const GuiControl& c : d.controls())
                separator |= c.cls == "Static" && c.rect.top == trunc(2.1 * th) &&
                             c.rect.left == trunc(0.15 * client.right);
            EXPECT_TRUE(separator);
            RECT box = d.rect(idValue);
            EXPECT_EQ(d.text(idValue), "Combine Files");
            EXPECT_EQ(box.left, trunc(client.right * 0.01 * 5));
            EXPECT_EQ(box.top, trunc(0.6 * th) + 3 * th);
            EXPECT_EQ(box.right - box.left, trunc(client.right * 0.01 * 25) + trunc(client.right * 0.01 * 64));
            EXPECT_FALSE(d.visible(idLabel));
            d.save("dialog-onepage-" + std::to_string(height));
            d.click(idValue);
            d.click(idExit);
        });
        run(gui);
        EXPECT_EQ(spec.outcome, 0);
        EXPECT_EQ(v.combine, height == 13 ? 'Y' : 'N') << "ticked, read by Exit";
        EXPECT_EQ(GetObjectType(font), 0u) << "the font goes with the dialog";
        EXPECT_EQ(spec.font, nullptr);
        EXPECT_EQ(spec.dialog, nullptr);
    }
    EXPECT_EQ(backups(), before) << "the backup file goes with the dialog";
}

TEST_F(ParamDialog, TabsShowEachPageOfEveryKind)
{
    spec.fontName = "Tahoma";  // scalable: a bitmap face draws 26 pixels as about 13
    for (int height : {13, 26}) {
        spec.fontHeight = height;
        spec.width = trunc(height / 13.1 * 210);
        spec.height = trunc(height / 13.1 * 260);
        spec.page = 7;  // beyond the last: the first is shown
        GuiDriver gui;
        gui.on("Demo Settings", [&](GuiWindow d) {
            EXPECT_EQ(spec.page, 0);
            const int th = spec.textHeight;
            HWND tabs = d.item(idTabs);
            ASSERT_NE(tabs, nullptr);
            EXPECT_EQ(TabCtrl_GetItemCount(tabs), 3);
            char text[32] = "";
            TCITEMA item{TCIF_TEXT, 0, 0, text, sizeof text, 0, 0};
            TabCtrl_GetItem(tabs, 1, &item);
            EXPECT_STREQ(text, "Durations");
            EXPECT_GT(spec.tabStripHeight, 0);
            RECT area;
            GetClientRect(tabs, &area);
            const double w = area.right;
            const int top = trunc(0.6 * th) + spec.tabStripHeight + 3 * th, h = trunc(1.3 * th);
            const int editX = trunc(w * 0.01 * 5), labelX = trunc(w * 0.01 * 31);

            // Page 1: text and number rows, edit box then label.
            for (int row = 0; row < 4; ++row) {
                RECT box = d.rect(idValue + row), label = d.rect(idLabel + row);
                EXPECT_EQ(box.left, editX) << row;
                EXPECT_EQ(box.top, top + row * trunc(1.3 * h)) << row;
                EXPECT_EQ(box.bottom - box.top, h) << row;
                EXPECT_EQ(label.left, labelX) << row;
                EXPECT_EQ(label.top, box.top + th / 4) << row;
            }
            EXPECT_EQ(d.text(idValue + eName), "Session A  ");
            EXPECT_EQ(d.text(idValue + eGain), "2.5");
            EXPECT_EQ(d.text(idLabel + eChannels), "Channels");
            d.save("dialog-tabs-" + std::to_string(height) + "-page1");

            // Page 2: a choice that wraps, a unit entry, a number.
            clicktab(d, 1);
            EXPECT_EQ(spec.page, 1);
            EXPECT_EQ(d.item(idValue + eName), nullptr) << "page 1's rows are gone";
            EXPECT_EQ(d.text(idGroup), "Filter");
            EXPECT_TRUE(d.visible(idGroup));
            RECT first = d.rect(radioid(0, 0));
            EXPECT_EQ(first.left, editX + 10);
            EXPECT_EQ(first.top, top + trunc(0.9 * th));
            int lines = 1;
            for (int k = 1; k < 6; ++k)
                lines += d.rect(radioid(0, k)).top > d.rect(radioid(0, k - 1)).top;
            EXPECT_GT(lines, 1) << "six options do not fit one line";
            RECT group = d.rect(idGroup);
            EXPECT_EQ(group.bottom - group.top, trunc(2.2 * h) + (lines - 1) * trunc(1.2 * th) - th / 2);
            EXPECT_EQ(IsDlgButtonChecked(d.handle(), radioid(0, 1)), BST_CHECKED) << "Low pass";
            EXPECT_EQ(d.text(radioid(0, 3)), "Band pass");
            EXPECT_FALSE(d.visible(radioid(0, 6)));
            EXPECT_EQ(d.text(idGroup + 1), "Duration");
            EXPECT_EQ(IsDlgButtonChecked(d.handle(), radioid(1, 1)), BST_CHECKED) << "the unit s";
            RECT unit = d.rect(idValue + eDuration), last = d.rect(radioid(1, 2));
            EXPECT_EQ(unit.left, last.right + 1);
            EXPECT_EQ(unit.top, last.top);
            EXPECT_EQ(d.text(idValue + eDuration), "0.1235");
            d.save("dialog-tabs-" + std::to_string(height) + "-page2");

            // Page 3: check boxes and a choice.
            clicktab(d, 2);
            EXPECT_EQ(d.text(idValue + eCombine), "Combine Files");
            EXPECT_EQ(IsDlgButtonChecked(d.handle(), idValue + eStatus), BST_CHECKED);
            EXPECT_EQ(IsDlgButtonChecked(d.handle(), idValue + eCombine), BST_UNCHECKED);
            EXPECT_EQ(IsDlgButtonChecked(d.handle(), radioid(0, 0)), BST_CHECKED) << "mode On";
            EXPECT_FALSE(d.visible(radioid(0, 3))) << "the filter's fourth option";
            d.save("dialog-tabs-" + std::to_string(height) + "-page3");
            d.click(idOk);
        });
        run(gui);
        EXPECT_EQ(spec.outcome, 0);
        EXPECT_EQ(spec.page, 2) << "the next run starts where this one ended";
        // Nothing was edited; a page that was shown is read back from its
        // boxes, so the unit's number now holds the four digits it showed.
        Values want;
        want.duration = 0.1235f;
        EXPECT_TRUE(v == want);
        v = Values{};
    }
}

TEST_F(ParamDialog, RejectedValuesAreReportedAndPutBack)
{
    const struct {
        int page, entry;
        const char* typed;
        const char* report;
        const char* restored;
    } cases[] = {
        {0, eCount, "12.5", "Count\nmust be an integer!", "12"},
        {0, eGain, "200", "Gain\nmust be a number between 0.5 and 100!", "2.5"},
        {0, eGain, "1,5", "Gain\nmust be a number between 0.5 and 100!", "2.5"},
        {0, eChannels, "1..20", "Channels\nmust be a valid list of numbers  between 1 and 16!", "1..4"},
        {1, eSweeps, "0", "Sweeps\nmust be an integer between 1 and 1000!", "10"},
        {1, eDuration, " 5", "Duration:ms,s,min\nmust be a number!", "0.1235"},
    };
    for (int height : {13, 26})
    for (const auto& c : cases) {
        spec.fontHeight = height;
        spec.page = static_cast<std::uint8_t>(c.page);
        const int id = idValue + c.entry;
        GuiDriver gui;
        // The focus leaves by Tab, or by a click on the other page's tab,
        // which keeps the page.
        gui.on("Demo Settings", [&](GuiWindow d) {
            d.retype(id, c.typed);
            if (height == 13) {
                d.key(VK_TAB);
                return;
            }
            clicktab(d, 1 - c.page);
            EXPECT_EQ(spec.page, c.page);
            EXPECT_EQ(TabCtrl_GetCurSel(d.item(idTabs)), c.page);
        });
        const bool shown = c.entry == eGain && c.typed[0] == '2';
        gui.box("Parameter Error", c.report, shown ? "parameter-error-" + std::to_string(height) : "");
        gui.again("Demo Settings", [&](GuiWindow d) {
            EXPECT_EQ(d.text(id), c.restored) << c.typed;
            EXPECT_EQ(GetFocus(), d.item(id)) << "the focus is back in the box";
            d.click(idCancel);
        });
        run(gui);
        EXPECT_EQ(spec.outcome, 1);
    }
    EXPECT_TRUE(v == Values{});
}

TEST_F(ParamDialog, ALongListIsPutBackWhole)
{
    std::string list;
    for (int n = 1; n <= 16; ++n)
        list += std::to_string(n) + "," + std::to_string(n) + ",";
    list += "1";
    std::strcpy(v.channels, list.c_str());
    spec.errorBox = 0;  // a beep only
    GuiDriver gui;
    gui.on("Demo Settings", [&](GuiWindow d) {
        d.retype(idValue + eChannels, "99");
        d.key(VK_TAB);
    });
    gui.again("Demo Settings", [&](GuiWindow d) {
        EXPECT_EQ(d.text(idValue + eChannels), list);
        d.click(idOk);
    });
    run(gui);
    EXPECT_EQ(v.channels, list);
}

TEST_F(ParamDialog, CancelPutsBackTheValuesOfStartOrTheLastGo)
{
    spec.showGo = 1;
    spec.onGo = ongo;
    Values atGo;
    GuiDriver gui;
    gui.on("Demo Settings", [&](GuiWindow d) {
        d.retype(idValue + eName, "");
        d.retype(idValue + eCount, "7");
        d.retype(idValue + eGain, "3.333333");
        d.key(VK_TAB);
    });
    gui.again("Demo Settings", [&](GuiWindow d) { d.click(idGo); });
    gui.again("Demo Settings", [&](GuiWindow d) {
        ASSERT_EQ(goSeen.size(), 1u);
        atGo = goSeen[0];
        EXPECT_STREQ(atGo.name, "");
        EXPECT_EQ(atGo.count, 7);
        d.retype(idValue + eName, "changed");
        d.retype(idValue + eCount, "99");
        clicktab(d, 2);
        SendMessageA(d.item(idValue + eCombine), BM_CLICK, 0, 0);
        clicktab(d, 0);
        d.click(idCancel);
    });
    run(gui);
    EXPECT_EQ(spec.outcome, 1);
    EXPECT_TRUE(v == atGo) << "name \"" << v.name << "\" count " << v.count << " combine " << v.combine;

    // Without a Go, Cancel returns to the start exactly: an unrounded real,
    // a text with its blanks.
    Values start = v;
    start.gain = 0.1234567f;
    v = start;
    GuiDriver again;
    again.on("Demo Settings", [&](GuiWindow d) {
        d.retype(idValue + eGain, "5");
        d.retype(idValue + eName, "x");
        d.key(VK_ESCAPE);
    });
    run(again);
    EXPECT_EQ(spec.outcome, 1);
    EXPECT_TRUE(v == start);
}

TEST_F(ParamDialog, ButtonsEndTheDialogTheirWay)
{
    onepage();
    goandopen();
    // A Go or Open that closes the dialog runs no callback.
    const struct {
        int goCloses, openCloses, button, outcome;
    } cases[] = {{1, 0, idGo, -1}, {0, 1, idOpen, -2}, {0, 0, idOk, 0}, {0, 0, idCancel, 1}};
    for (const auto& c : cases) {
        spec.goCloses = c.goCloses;
        spec.openCloses = c.openCloses;
        goSeen.clear();
        opens = 0;
        GuiDriver gui;
        gui.on("Demo Settings", [&](GuiWindow d) {
            d.click(idValue);
            d.click(c.button);
        });
        run(gui);
        EXPECT_EQ(spec.outcome, c.outcome) << c.button;
        EXPECT_TRUE(goSeen.empty()) << c.button;
        EXPECT_EQ(opens, 0) << c.button;
        EXPECT_EQ(v.combine, c.button == idCancel ? 'N' : 'Y') << c.button;
        v.combine = 'N';
    }
}

TEST_F(ParamDialog, EnterOnGoChecksTheFocusedBoxFirst)
{
    goandopen();
    spec.chain = 1;
    GuiDriver gui;
    gui.on("Demo Settings", [&](GuiWindow d) {
        d.retype(idValue + eCount, "1.5");
        d.key(VK_RETURN);
    });
    gui.on("Parameter Error", [&](GuiWindow box) { box.click(IDOK); });
    gui.again("Demo Settings", [&](GuiWindow d) {
        EXPECT_TRUE(goSeen.empty()) << "Go did not run on a rejected value";
        d.retype(idValue + eCount, "15");
        d.key(VK_RETURN);
    });
    gui.again("Demo Settings", [&](GuiWindow d) {
        ASSERT_EQ(goSeen.size(), 1u);
        EXPECT_EQ(goSeen[0].count, 15);
        EXPECT_EQ(opens, 1) << "chained: Open after Go";
        d.click(idOk);
    });
    run(gui);
}

// However the focus leaves a rejected box, the value is reported, unless a
// click on Cancel completes: the press moves the focus and posts the
// report; the release decides.
TEST_F(ParamDialog, OnlyACompletedCancelSkipsTheReport)
{
    // Where Cancel is released: on it, slid off it, or never pressed (the
    // focus comes by keyboard).
    const LPARAM on = MAKELPARAM(2, 2), off = MAKELPARAM(-40, -40);
    for (LPARAM release : {on, off, LPARAM(0)}) {
        const bool reported = release != on;
        GuiDriver gui;
        gui.on("Demo Settings", [&](GuiWindow d) {
            d.retype(idValue + eCount, "bad");
            if (release)
                PostMessageA(d.item(idCancel), WM_LBUTTONDOWN, MK_LBUTTON, on);
            else
                SetFocus(d.item(idCancel));
        });
        if (release)
            gui.again("Demo Settings", [&](GuiWindow d) {
                PostMessageA(d.item(idCancel), WM_MOUSEMOVE, MK_LBUTTON, release);
                PostMessageA(d.item(idCancel), WM_LBUTTONUP, 0, release);
            });
        if (reported) {
            gui.on("Parameter Error", [](GuiWindow box) { box.click(IDOK); });
            gui.again("Demo Settings", [&](GuiWindow d) {
                EXPECT_EQ(d.text(idValue + eCount), "12");
                EXPECT_EQ(GetFocus(), d.item(idValue + eCount)) << "the focus is back in the box";
                d.click(idOk);
            });
        }
        run(gui);
        EXPECT_EQ(spec.outcome, reported ? 0 : 1) << release;
    }
}

// A dialog opened from another's callback has its own backup, snapshot and
// state; closing it leaves the outer dialog's Cancel intact.
TEST_F(ParamDialog, ADialogOpenedFromACallbackKeepsItsOwnState)
{
    static ParamDialogSpec* outer = nullptr;
    static std::int32_t inner = 5;
    static ParamEntry innerEntry{&inner, nullptr, PARAM_INT, "Inner", 0, 0, 0};
    static std::uint32_t innerPages[2] = {1, 1};
    outer = &spec;
    spec.showPrefs = 1;
    spec.onPrefs = [](WindowHandle dialog) -> std::int32_t {
        ParamDialogSpec prefs;
        prefs.entries = &innerEntry;
        prefs.pageSizes = innerPages;
        prefs.caption = "Inner";
        prefs.instance = outer->instance;
        rundialog(dialog, prefs);
        return 0;
    };
    const auto before = backups();
    GuiDriver gui;
    gui.on("Demo Settings", [&](GuiWindow d) {
        d.retype(idValue + eCount, "77");
        d.click(idPrefs);
    });
    gui.on("Inner", [&](GuiWindow d) {
        EXPECT_EQ(backups().size(), before.size() + 2) << "a backup each";
        d.retype(idValue, "9");
        d.click(idOk);
    });
    gui.again("Demo Settings", [&](GuiWindow d) {
        EXPECT_EQ(backups().size(), before.size() + 1);
        EXPECT_EQ(v.count, 77);
        d.click(idCancel);
    });
    run(gui);
    EXPECT_EQ(inner, 9);
    EXPECT_EQ(spec.outcome, 1);
    EXPECT_EQ(v.count, 12) << "the outer dialog's start values";
    EXPECT_EQ(backups(), before);
}

// Each run holds a backup file and its font while it is open, and neither
// when it has closed, however it closed.
TEST_F(ParamDialog, ManyRunsLeaveNoFilesOrFonts)
{
    const auto files = backups();
    int objects = 0;
    for (int n = 0; n < 12; ++n) {
        GuiDriver gui;
        gui.on("Demo Settings", [&](GuiWindow d) {
            EXPECT_EQ(backups().size(), files.size() + 1);
            EXPECT_EQ(GetObjectType(spec.font), static_cast<DWORD>(OBJ_FONT));
            d.click(n % 2 ? idOk : idCancel);
        });
        run(gui);
        // The first run leaves what the system keeps for dialogs once made.
        if (n == 0)
            objects = gdiobjects();
    }
    EXPECT_EQ(gdiobjects(), objects);
    EXPECT_EQ(backups(), files);
}

TEST_F(ParamDialog, ADialogThatCannotStartCountsAsCancelled)
{
    spec.instance = reinterpret_cast<void*>(1);  // no such module
    const HWND parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));
    rundialog(parent, spec);
    const int objects = gdiobjects();
    spec.outcome = 0;
    rundialog(parent, spec);
    EXPECT_EQ(spec.outcome, 1);
    EXPECT_EQ(gdiobjects(), objects) << "a dialog that never came must release its font";
}

// A table the dialog cannot show ends the program with its reason before
// anything is made: no crash, and no backup file left behind.
TEST_F(ParamDialog, ARefusedTableLeavesNoBackup)
{
    static char noUnits[] = "", sixteen[] = "abcdefghijklmnop", ab[] = "ab";
    const ParamEntry more{&v.mode, ab, PARAM_CHOICE, "More:a,b", 0, 0, 0};
    const struct {
        int entry;
        ParamEntry replacement;
        std::uint32_t extra;  // more entries like it on the last page
        const char* message;
    } cases[] = {
        {eDuration, {&v.duration, nullptr, PARAM_FLOAT | PARAM_UNIT, "Duration:ms,s,min", 0, 0, 0}, 0, kBadUnit},
        {eDuration, {&v.duration, noUnits, PARAM_FLOAT | PARAM_UNIT, "Duration:ms,s,min", 0, 0, 0}, 0, kBadUnit},
        {eFilter, {&v.filter, sixteen, PARAM_CHOICE, "Filter:a", 0, 0, 0}, 0, kTooManyOptions},
        {eMode, more, 10, kTooManyGroups},  // eleven groups on the last page
    };
    const auto before = backups();
    for (const auto& c : cases) {
        std::vector<ParamEntry> table(entries, entries + entryCount);
        table[c.entry] = c.replacement;
        table.insert(table.end(), c.extra, more);
        std::uint32_t sizes[4] = {3, 4, 3, 3 + c.extra};
        spec.entries = table.data();
        spec.pageSizes = sizes;
        EXPECT_EXIT(
            {
                GuiDriver gui;
                gui.on("Exiting on error", [](GuiWindow box) {
                    std::fprintf(stderr, "%s\n", box.message().c_str());
                    box.click(IDOK);
                });
                gui.run([&] { rundialog(nullptr, spec); });
            },
            testing::ExitedWithCode(1), c.message);
    }
    EXPECT_EQ(backups(), before);
}

TEST(RejectionText, NamesTheKindAndTheLimits)
{
    const struct {
        std::uint32_t flags;
        double lower, upper;
        const char* text;
    } cases[] = {
        {PARAM_INT, 0, 0, "X\nmust be an integer!"},
        {PARAM_FLOAT, 0, 0, "X\nmust be a number!"},
        {PARAM_INT | PARAM_LIMITS, -5, 1000, "X\nmust be an integer between -5 and 1000!"},
        {PARAM_FLOAT | PARAM_LIMITS, 0.1, 2.25, "X\nmust be a number between 0.1 and 2.25!"},
        {PARAM_TEXT | PARAM_LIMITS, 1, 16, "X\nmust be a valid list of numbers  between 1 and 16!"},
    };
    for (const auto& c : cases) {
        ParamErrorInfo info;
        info.label = "X";
        info.flags = c.flags;
        info.lower = c.lower;
        info.upper = c.upper;
        EXPECT_EQ(rejectiontext(info), c.text);
    }
}

}  // namespace
