#include "discovery.h"
#include "fake_desktop.h"
#include "scroll.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

using namespace ptr;
using namespace ptr::fake;

namespace {

constexpr LONG kChild = WS_VISIBLE | WS_CHILD;

// ---- Class-name and style rules ----

// A window with up to two ancestors; null class names mean no such ancestor.
struct ChainCase {
    const char* name;
    int32_t processKind;
    const char* windowClass;
    LONG style;
    const char* parentClass;
    const char* grandparentClass;
    int settled;
    uint32_t code;
};

HWND BuildChain(FakeDesktop& desk, const ChainCase& c) {
    HWND grandparent = c.grandparentClass ? desk.AddWindow(c.grandparentClass) : nullptr;
    HWND parent = c.parentClass ? desk.AddWindow(c.parentClass, grandparent ? kChild : WS_VISIBLE, {0, 0, 100, 100}, grandparent)
                                : nullptr;
    return desk.AddWindow(c.windowClass, c.style, {0, 0, 100, 100}, parent);
}

TEST(Discovery, ClassifyWindowByClassAndStyle) {
    const LONG V = WS_VSCROLL, H = WS_HSCROLL;
    const ChainCase cases[] = {
        {"plain window: not settled", PROCESS_OTHER, "Edit", kChild, "Frame", nullptr, 0, 0},
        {"vertical bar only", PROCESS_OTHER, "Edit", kChild | V, "Frame", nullptr, 1, 0x10002},
        {"horizontal bar only", PROCESS_OTHER, "Edit", kChild | H, "Frame", nullptr, 1, 0x20001},
        {"both bars", PROCESS_OTHER, "Edit", kChild | V | H, "Frame", nullptr, 1, 0x20002},
        {"ListBox without bars", PROCESS_OTHER, "ListBox", kChild, "Frame", nullptr, 1, 0x10001},
        {"listbox in any case, vertical bar", PROCESS_OTHER, "listbox", kChild | V, "Frame", nullptr, 1, 0x10002},
        {"ListBoxEx is not a list box", PROCESS_OTHER, "ListBoxEx", kChild, "Frame", nullptr, 0, 0},
        {"SysTreeView32 without bars", PROCESS_OTHER, "SysTreeView32", kChild, "Frame", nullptr, 1, 0x10001},
        {"SysTreeView32 horizontal bar", PROCESS_OTHER, "SysTreeView32", kChild | H, "Frame", nullptr, 1, 0x20001},
        {"MS_WINTOPIC without bars", PROCESS_OTHER, "MS_WINTOPIC", kChild, nullptr, nullptr, 1, 0x10001},
        {"desktop icons (Progman above DefView)", PROCESS_OTHER, "SysListView32", kChild | V | H, "SHELLDLL_DefView",
         "Progman", 1, 0x10001},
        {"list view right under Progman", PROCESS_OTHER, "SysListView32", kChild, "progman", nullptr, 1, 0x10001},
        {"list view in a frame, vertical bar", PROCESS_OTHER, "SysListView32", kChild | V, "SHELLDLL_DefView",
         "CabinetWClass", 1, 0x10002},
        {"list view in a frame, no bars", PROCESS_OTHER, "SysListView32", kChild, "Frame", nullptr, 1, 0x10001},
        {"Progman not at the top does not count", PROCESS_OTHER, "SysListView32", kChild | H, "Progman", "Frame", 1,
         0x20001},
        {"list view without a parent", PROCESS_OTHER, "SysListView32", WS_VISIBLE, nullptr, nullptr, 1, 0x10001},
        {"TSCROLLBOX without bars", PROCESS_OTHER, "TSCROLLBOX", kChild, "Frame", nullptr, 1, 0x20002},
        {"TScrollBox with a vertical bar", PROCESS_OTHER, "TScrollBox", kChild | V, "Frame", nullptr, 1, 0x20002},
        {"Excel: EXCEL@", PROCESS_EXCEL, "EXCEL@", kChild | V, "XLMAIN", nullptr, 1, 0x80010},
        {"Excel: parent EXCEL@", PROCESS_EXCEL, "Edit", kChild, "EXCEL@", nullptr, 1, 0x80010},
        {"Excel: EXCELB", PROCESS_EXCEL, "EXCELB", kChild, "XLMAIN", nullptr, 1, 0x80010},
        {"Excel: parent EXCELB", PROCESS_EXCEL, "Edit", kChild | V, "EXCELB", nullptr, 1, 0x80010},
        {"Excel: EXCELA", PROCESS_EXCEL, "EXCELA", kChild | V, "XLMAIN", nullptr, 1, 0x10001},
        {"Excel: parent EXCELA", PROCESS_EXCEL, "Edit", kChild | V, "EXCELA", nullptr, 1, 0x10001},
        {"Excel: EXCEL4", PROCESS_EXCEL, "EXCEL4", kChild | V | H, "XLMAIN", nullptr, 1, 0x10001},
        {"Excel: parent EXCEL4 is no rule", PROCESS_EXCEL, "Edit", kChild, "EXCEL4", nullptr, 0, 0},
        {"Excel: parent EXCEL4, styles decide", PROCESS_EXCEL, "Edit", kChild | V, "EXCEL4", nullptr, 1, 0x10002},
        {"Excel: EXCEL@ is tested before EXCELA", PROCESS_EXCEL, "EXCELA", kChild, "EXCEL@", nullptr, 1, 0x80010},
        {"Excel: EXCELB before EXCEL4", PROCESS_EXCEL, "EXCEL4", kChild, "EXCELB", nullptr, 1, 0x80010},
        {"Excel: lower case matches", PROCESS_EXCEL, "excel7", kChild, "excelb", nullptr, 1, 0x80010},
        {"Excel: other classes fall to the style rules", PROCESS_EXCEL, "ListBox", kChild, "XLMAIN", nullptr, 1, 0x10001},
        {"outside Excel, EXCEL@ is an ordinary class", PROCESS_OTHER, "EXCEL@", kChild | V, "XLMAIN", nullptr, 1,
         0x10002},
        {"outside Excel, EXCEL4 is not settled", PROCESS_WORD, "EXCEL4", kChild, "XLMAIN", nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHook h;
        h.process.ProcessKind = c.processKind;
        HWND window = BuildChain(h.desk, c);
        uint32_t code = 0xDEAD;
        EXPECT_EQ(ClassifyWindow(h.ctx, window, code) != 0, c.settled != 0);
        EXPECT_EQ(code, c.code);
        EXPECT_TRUE(h.desk.log().empty());
    }
}

TEST(Discovery, ClassifySpreadsheetWindowRules) {
    const ChainCase cases[] = {
        {"EXCEL@", PROCESS_EXCEL, "EXCEL@", kChild, "XLMAIN", nullptr, 1, 0x80010},
        {"parent EXCELB", PROCESS_EXCEL, "Edit", kChild, "EXCELB", nullptr, 1, 0x80010},
        {"EXCELA without a parent", PROCESS_EXCEL, "EXCELA", WS_VISIBLE, nullptr, nullptr, 1, 0x10001},
        {"parent EXCELA", PROCESS_EXCEL, "Edit", kChild, "EXCELA", nullptr, 1, 0x10001},
        {"EXCEL4", PROCESS_EXCEL, "EXCEL4", kChild, "XLMAIN", nullptr, 1, 0x10001},
        {"parent EXCEL4", PROCESS_EXCEL, "Edit", kChild, "EXCEL4", nullptr, 0, 0xDEAD},
        {"grandparent EXCEL@ is too far", PROCESS_EXCEL, "Edit", kChild, "Frame", "EXCEL@", 0, 0xDEAD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHook h;
        h.process.ProcessKind = c.processKind;
        HWND window = BuildChain(h.desk, c);
        uint32_t code = 0xDEAD;
        EXPECT_EQ(ClassifySpreadsheetWindow(h.ctx, window, code) != 0, c.settled != 0);
        EXPECT_EQ(code, c.code);
    }
}

// ---- The scroll-bar search ----

// The searched window "Pane" sits in "Frame" beside a "Sibling"; "Holder" is
// a child of the pane. Each bar is created, in table order, under one of them.
enum Place { IN_PANE, IN_HOLDER, IN_FRAME, IN_SIBLING };

struct Bar {
    Place place;
    const char* className;
    LONG style;
    RECT rect;
};

constexpr LONG kVert = kChild | SBS_VERT;
constexpr LONG kHorz = kChild | SBS_HORZ;

struct BarCase {
    const char* name;
    BarOrientation orientation;
    std::vector<Bar> bars;
    int expected;  // index into bars, -1 for none
    POINT cursor = {50, 50};
    LONG paneStyle = kChild;
    bool paneHasParent = true;
};

struct BarScene {
    FakeHook h;
    HWND frame = nullptr;
    HWND pane = nullptr;
    std::vector<HWND> bars;

    explicit BarScene(const BarCase& c) {
        frame = h.desk.AddWindow("Frame", WS_VISIBLE, {0, 0, 400, 400});
        pane = h.desk.AddWindow("Pane", c.paneStyle, {0, 0, 300, 300}, c.paneHasParent ? frame : nullptr);
        HWND holder = h.desk.AddWindow("Holder", kChild, {0, 0, 300, 300}, pane);
        HWND sibling = h.desk.AddWindow("Sibling", kChild, {300, 0, 400, 400}, frame);
        const HWND owners[] = {pane, holder, frame, sibling};
        for (const Bar& bar : c.bars)
            bars.push_back(h.desk.AddWindow(bar.className, bar.style, bar.rect, owners[bar.place]));
        h.desk.SetCursor(c.cursor.x, c.cursor.y);
    }

    HWND Expected(int index) const { return index < 0 ? nullptr : bars[index]; }
};

void ExpectBarCases(const std::vector<BarCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BarScene s(c);
        EXPECT_EQ(FindScrollBarControl(s.h.ctx, s.pane, c.orientation), s.Expected(c.expected));
        EXPECT_TRUE(s.h.desk.log().empty());
    }
}

const RECT kTall = {280, 0, 300, 300};
const RECT kWide = {0, 280, 300, 300};

TEST(Discovery, ScrollBarSearchAcceptsBarsOfTheOrientationOnly) {
    ExpectBarCases({
        {"a vertical bar child", BAR_VERTICAL, {{IN_PANE, "ScrollBar", kVert, kTall}}, 0},
        {"a horizontal bar child", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, kWide}}, 0},
        {"HScrollBar class", BAR_HORIZONTAL, {{IN_PANE, "HScrollBar", kHorz, kWide}}, 0},
        {"class in any case", BAR_VERTICAL, {{IN_PANE, "scrollbar", kVert, kTall}}, 0},
        {"ScrollBarEx is no bar", BAR_VERTICAL, {{IN_PANE, "ScrollBarEx", kVert, kTall}}, -1},
        {"vertical search skips a horizontal bar", BAR_VERTICAL, {{IN_PANE, "ScrollBar", kHorz, kWide}}, -1},
        {"horizontal search skips a vertical bar", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kVert, kTall}}, -1},
        {"a size box is not horizontal", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kChild | SBS_SIZEBOX, kWide}}, -1},
        {"a size box is not vertical", BAR_VERTICAL, {{IN_PANE, "ScrollBar", kChild | SBS_SIZEBOX, kTall}}, -1},
        {"vertical with the size-box bit still counts vertical", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert | SBS_SIZEBOX, kTall}}, 0},
        {"hidden bar, then a visible one", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", SBS_VERT | WS_CHILD, kTall}, {IN_PANE, "ScrollBar", kVert, {0, 0, 10, 10}}}, 1},
        {"disabled bar, then a visible one", BAR_HORIZONTAL,
         {{IN_PANE, "ScrollBar", kHorz | WS_DISABLED, kWide}, {IN_PANE, "ScrollBar", kHorz, {0, 0, 10, 10}}}, 1},
    });
}

TEST(Discovery, ScrollBarSearchWidensToTheParentOnlyWhenNoBarWasSeen) {
    ExpectBarCases({
        {"a hidden child bar is seen: the parent's bar is not taken", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", WS_CHILD | SBS_VERT, kTall}, {IN_SIBLING, "ScrollBar", kVert, {380, 0, 400, 400}}}, -1},
        {"a disabled child bar is seen: no second search", BAR_HORIZONTAL,
         {{IN_PANE, "ScrollBar", kHorz | WS_DISABLED, kWide}, {IN_FRAME, "ScrollBar", kHorz, {0, 380, 400, 400}}}, -1},
        {"a hidden bar of the other orientation does not count", BAR_HORIZONTAL,
         {{IN_PANE, "ScrollBar", WS_CHILD | SBS_VERT, kTall}, {IN_FRAME, "ScrollBar", kHorz, {0, 380, 400, 400}}}, 1},
        {"no child bar: a bar beside the window", BAR_VERTICAL, {{IN_FRAME, "ScrollBar", kVert, {300, 0, 320, 300}}}, 0},
        {"no child bar: a bar deeper in the parent", BAR_VERTICAL,
         {{IN_SIBLING, "ScrollBar", kVert, {380, 0, 400, 400}}}, 0},
        {"a grandchild is not a direct child but the parent's search finds it", BAR_VERTICAL,
         {{IN_HOLDER, "ScrollBar", kVert, kTall}}, 0},
        {"a popup window is not widened", BAR_VERTICAL, {{IN_FRAME, "ScrollBar", kVert, {300, 0, 320, 300}}}, -1,
         {50, 50}, static_cast<LONG>(WS_VISIBLE | WS_POPUP)},
        {"a popup's grandchild bar is not found", BAR_VERTICAL, {{IN_HOLDER, "ScrollBar", kVert, kTall}}, -1, {50, 50},
         static_cast<LONG>(WS_VISIBLE | WS_POPUP)},
        {"a window without a parent is not widened", BAR_VERTICAL, {{IN_HOLDER, "ScrollBar", kVert, kTall}}, -1, {50, 50},
         WS_VISIBLE, false},
        {"a bar seen in the parent's search but hidden: none", BAR_VERTICAL,
         {{IN_FRAME, "ScrollBar", WS_CHILD | SBS_VERT, {300, 0, 320, 300}}}, -1},
    });
}

TEST(Discovery, HorizontalTieBreakTakesTheLastBarSpanningTheCursorX) {
    const RECT left = {0, 280, 100, 300};
    const RECT middle = {100, 280, 200, 300};
    const RECT right = {200, 280, 300, 300};
    const RECT wide = {0, 260, 300, 280};
    ExpectBarCases({
        {"only the second spans", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, left}, {IN_PANE, "ScrollBar", kHorz, middle}},
         1, {150, 10}},
        {"only the first spans", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, middle}, {IN_PANE, "ScrollBar", kHorz, right}},
         0, {150, 10}},
        {"none spans: the first", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, left}, {IN_PANE, "ScrollBar", kHorz, middle}},
         0, {250, 10}},
        {"both span: the later", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, middle}, {IN_PANE, "ScrollBar", kHorz, wide}},
         1, {150, 10}},
        {"three, the last spanning one wins", BAR_HORIZONTAL,
         {{IN_PANE, "ScrollBar", kHorz, wide}, {IN_PANE, "ScrollBar", kHorz, middle}, {IN_PANE, "ScrollBar", kHorz, right}},
         1, {150, 10}},
        {"left edge inclusive", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, left}, {IN_PANE, "ScrollBar", kHorz, middle}},
         1, {100, 10}},
        {"right edge inclusive", BAR_HORIZONTAL, {{IN_PANE, "ScrollBar", kHorz, right}, {IN_PANE, "ScrollBar", kHorz, left}},
         1, {100, 10}},
        {"hidden later bar does not replace", BAR_HORIZONTAL,
         {{IN_PANE, "ScrollBar", kHorz, left}, {IN_PANE, "ScrollBar", WS_CHILD, middle}}, 0, {150, 10}},
    });
}

TEST(Discovery, VerticalTieBreakPrefersTheBarNearestRightOfTheCursor) {
    const RECT upper = {280, 0, 300, 100};
    const RECT lower = {280, 100, 300, 200};
    const RECT nearRight = {150, 0, 170, 300};  // right edge 170
    const RECT farRight = {270, 0, 290, 300};   // right edge 290
    const RECT leftOfCursor = {10, 0, 30, 300};  // right edge 30
    ExpectBarCases({
        {"candidate off the cursor's y, new one on it", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, upper}, {IN_PANE, "ScrollBar", kVert, lower}}, 1, {50, 150}},
        {"a lone bar off the cursor's y is still taken", BAR_VERTICAL, {{IN_PANE, "ScrollBar", kVert, upper}}, 0, {50, 150}},
        {"neither spans: the first", BAR_VERTICAL, {{IN_PANE, "ScrollBar", kVert, upper}, {IN_PANE, "ScrollBar", kVert, lower}},
         0, {50, 250}},
        {"candidate spans, new does not", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, lower}, {IN_PANE, "ScrollBar", kVert, upper}}, 0, {50, 150}},
        {"both span, nearer right edge second", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, farRight}, {IN_PANE, "ScrollBar", kVert, nearRight}}, 1, {100, 150}},
        {"both span, nearer right edge first", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, nearRight}, {IN_PANE, "ScrollBar", kVert, farRight}}, 0, {100, 150}},
        {"candidate left of the cursor, new right of it", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, leftOfCursor}, {IN_PANE, "ScrollBar", kVert, farRight}}, 1, {100, 150}},
        {"new bar left of the cursor never replaces", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, farRight}, {IN_PANE, "ScrollBar", kVert, leftOfCursor}}, 0, {100, 150}},
        {"both left of the cursor: the first stays", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, leftOfCursor}, {IN_PANE, "ScrollBar", kVert, nearRight}}, 0, {200, 150}},
        {"candidate's right edge at the cursor stays", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, nearRight}, {IN_PANE, "ScrollBar", kVert, farRight}}, 0, {170, 150}},
        {"equal reach: the first stays", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, farRight}, {IN_PANE, "ScrollBar", kVert, {200, 0, 290, 300}}}, 0, {100, 150}},
        {"bottom edge inclusive", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, upper}, {IN_PANE, "ScrollBar", kVert, lower}}, 1, {50, 200}},
        {"top edge inclusive", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, lower}, {IN_PANE, "ScrollBar", kVert, upper}}, 1, {50, 0}},
        {"three bars in enumeration order", BAR_VERTICAL,
         {{IN_PANE, "ScrollBar", kVert, upper}, {IN_PANE, "ScrollBar", kVert, farRight}, {IN_PANE, "ScrollBar", kVert, nearRight}},
         2, {100, 150}},
    });
}

TEST(Discovery, ScrollBarSearchOfNoWindowFindsNothing) {
    // Enumerating the children of no window would walk the top-level windows.
    FakeHook h;
    h.desk.AddWindow("ScrollBar", WS_VISIBLE | SBS_VERT);
    EXPECT_EQ(FindScrollBarControl(h.ctx, nullptr, BAR_VERTICAL), nullptr);
}

// ---- The methods of each direction ----

struct MethodScene {
    FakeHook h;
    HWND frame;
    HWND pane;
    HWND vbar = nullptr;
    HWND hbar = nullptr;

    MethodScene(LONG paneStyle, const char* paneClass = "Pane", const char* frameClass = "Frame") {
        frame = h.desk.AddWindow(frameClass, WS_VISIBLE, {0, 0, 400, 400});
        pane = h.desk.AddWindow(paneClass, paneStyle, {0, 0, 300, 300}, frame);
    }
    void AddVerticalBar() { vbar = h.desk.AddWindow("ScrollBar", kVert, kTall, pane); }
    void AddHorizontalBar() { hbar = h.desk.AddWindow("ScrollBar", kHorz, kWide, pane); }
};

TEST(Discovery, FindVerticalMethod) {
    struct {
        const char* name;
        int32_t os;
        const char* paneClass;
        const char* frameClass;
        LONG style;
        bool withBar;
        uint32_t method;
        bool barReturned;
    } const cases[] = {
        {"settled by style", OS_WINXP, "Pane", "Frame", kChild | WS_VSCROLL, true, SCROLL_V_WINDOW, false},
        {"settled, horizontal only: none vertically", OS_WINXP, "Pane", "Frame", kChild | WS_HSCROLL, true, SCROLL_V_NONE,
         false},
        {"a bar control", OS_WINXP, "Pane", "Frame", kChild, true, SCROLL_V_BARCONTROL, true},
        {"nothing: the wheel", OS_WINXP, "Pane", "Frame", kChild, false, SCROLL_V_WHEEL, false},
        {"Windows 98 shell web view: keys", OS_WIN98, "Internet Explorer_Server", "SHELLDLL_DefView", kChild, false,
         SCROLL_V_KEYS, false},
        {"Windows 98 shell web view with a bar: the bar", OS_WIN98, "Internet Explorer_Server", "SHELLDLL_DefView", kChild,
         true, SCROLL_V_BARCONTROL, true},
        {"Windows 98 web view elsewhere: the wheel", OS_WIN98, "Internet Explorer_Server", "Shell Embedding", kChild,
         false, SCROLL_V_WHEEL, false},
        {"Windows 98 other window in the shell view", OS_WIN98, "Pane", "SHELLDLL_DefView", kChild, false,
         SCROLL_V_WHEEL, false},
        {"Windows 2000 shell web view: the wheel", OS_WIN2000, "Internet Explorer_Server", "SHELLDLL_DefView", kChild,
         false, SCROLL_V_WHEEL, false},
        {"Windows Me shell web view: the wheel", OS_WINME, "Internet Explorer_Server", "SHELLDLL_DefView", kChild, false,
         SCROLL_V_WHEEL, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MethodScene s(c.style, c.paneClass, c.frameClass);
        s.h.SetOs(c.os);
        if (c.withBar) s.AddVerticalBar();
        HWND bar = s.frame;
        EXPECT_EQ(FindVerticalMethod(s.h.ctx, s.pane, bar), c.method);
        EXPECT_EQ(bar, c.barReturned ? s.vbar : nullptr);
    }
}

TEST(Discovery, Windows98ShellWebViewWithoutParentIsNotKeys) {
    FakeHook h;
    h.SetOs(OS_WIN98);
    HWND view = h.desk.AddWindow("Internet Explorer_Server");
    HWND bar = view;
    EXPECT_EQ(FindVerticalMethod(h.ctx, view, bar), SCROLL_V_WHEEL);
    EXPECT_EQ(bar, nullptr);
}

TEST(Discovery, FindHorizontalMethod) {
    struct {
        const char* name;
        int32_t processKind;
        LONG style;
        bool withBar;
        uint32_t method;
        bool barReturned;
    } const cases[] = {
        {"settled by style", PROCESS_OTHER, kChild | WS_HSCROLL, true, SCROLL_H_WINDOW, false},
        {"settled, vertical only: none horizontally", PROCESS_OTHER, kChild | WS_VSCROLL, true, SCROLL_H_NONE, false},
        {"a bar control", PROCESS_OTHER, kChild, true, SCROLL_H_BARCONTROL, true},
        {"nothing: arrow keys", PROCESS_OTHER, kChild, false, SCROLL_H_KEYS, false},
        {"RUNDLL32, nothing: no method", PROCESS_RUNDLL32, kChild, false, 0, false},
        {"RUNDLL32 with a bar: the bar", PROCESS_RUNDLL32, kChild, true, SCROLL_H_BARCONTROL, true},
        {"RUNDLL32, scroll style: the window", PROCESS_RUNDLL32, kChild | WS_HSCROLL, false, SCROLL_H_WINDOW, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MethodScene s(c.style);
        s.h.process.ProcessKind = c.processKind;
        if (c.withBar) s.AddHorizontalBar();
        HWND bar = s.frame;
        EXPECT_EQ(FindHorizontalMethod(s.h.ctx, s.pane, bar), c.method);
        EXPECT_EQ(bar, c.barReturned ? s.hbar : nullptr);
    }
}

TEST(Discovery, FindScrollMethodsCombinesBothDirections) {
    struct {
        const char* name;
        int32_t processKind;
        const char* paneClass;
        LONG style;
        bool verticalBar;
        bool horizontalBar;
        uint32_t code;
        bool barsReturned;
    } const cases[] = {
        {"settled: the full code, no bars", PROCESS_OTHER, "Pane", kChild | WS_VSCROLL, true, true, 0x10002, false},
        {"list box: nothing both ways", PROCESS_OTHER, "ListBox", kChild, true, true, 0x10001, false},
        {"Excel grid: keys both ways", PROCESS_EXCEL, "EXCEL@", kChild, true, false, 0x80010, false},
        {"both bars", PROCESS_OTHER, "Pane", kChild, true, true, SCROLL_V_BARCONTROL | SCROLL_H_BARCONTROL, true},
        {"vertical bar only", PROCESS_OTHER, "Pane", kChild, true, false, SCROLL_V_BARCONTROL | SCROLL_H_KEYS, true},
        {"horizontal bar only", PROCESS_OTHER, "Pane", kChild, false, true, SCROLL_V_WHEEL | SCROLL_H_BARCONTROL, true},
        {"nothing", PROCESS_OTHER, "Pane", kChild, false, false, SCROLL_V_WHEEL | SCROLL_H_KEYS, true},
        {"nothing in RUNDLL32", PROCESS_RUNDLL32, "Pane", kChild, false, false, SCROLL_V_WHEEL, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MethodScene s(c.style, c.paneClass);
        s.h.process.ProcessKind = c.processKind;
        if (c.verticalBar) s.AddVerticalBar();
        if (c.horizontalBar) s.AddHorizontalBar();
        HWND vertical = s.frame;
        HWND horizontal = s.frame;
        EXPECT_EQ(FindScrollMethods(s.h.ctx, s.pane, vertical, horizontal), c.code);
        EXPECT_EQ(vertical, c.barsReturned ? s.vbar : nullptr);
        EXPECT_EQ(horizontal, c.barsReturned ? s.hbar : nullptr);
        EXPECT_TRUE(s.h.desk.log().empty());
    }
}

}  // namespace
