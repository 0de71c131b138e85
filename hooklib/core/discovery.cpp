// How a window is to be scrolled: class-name and style rules, and the search
// for separate scroll-bar controls among its children or its parent's.
#include "discovery.h"

#include "actions.h"
#include "scroll.h"

#include <cstdint>

namespace ptr {
namespace {

constexpr uint32_t kKeysBothWays = SCROLL_V_KEYS | SCROLL_H_KEYS;          // 0x80010
constexpr uint32_t kNothingBothWays = SCROLL_V_NONE | SCROLL_H_NONE;       // 0x10001
constexpr uint32_t kWindowMessagesBothWays = SCROLL_V_WINDOW | SCROLL_H_WINDOW;  // 0x20002

constexpr int kClassBuffer = 40;
constexpr int kBarClassBuffer = 81;

// A window's class name; empty when there is no window or it cannot be read.
template <int Size>
struct ClassName {
    char text[Size] = {};

    ClassName(HookContext& ctx, HWND window) {
        if (window == nullptr || ctx.api.GetClassNameA(window, text, Size) <= 0) text[0] = '\0';
        text[Size - 1] = '\0';
    }

    bool Is(const char* name) const { return SameTextIgnoringCase(text, name); }
};

using WindowClass = ClassName<kClassBuffer>;

bool IsListLike(HookContext& ctx, HWND window, const WindowClass& name, bool& isDesktopIcons) {
    isDesktopIcons = false;
    if (name.Is("SysListView32")) {
        isDesktopIcons = WindowClass(ctx, TopLevelOf(ctx, window)).Is("Progman");
        return !isDesktopIcons;
    }
    return name.Is("SysTreeView32") || name.Is("MS_WINTOPIC") || name.Is("ListBox");
}

uint32_t CodeFromStyle(LONG style) {
    uint32_t vertical = (style & WS_VSCROLL) ? SCROLL_V_WINDOW : SCROLL_V_NONE;
    uint32_t horizontal = (style & WS_HSCROLL) ? SCROLL_H_WINDOW : SCROLL_H_NONE;
    return vertical | horizontal;
}

// The shell's folder view on Windows 98 shows web content that scrolls only by keys.
bool IsShellWebView(HookContext& ctx, HWND window) {
    HWND parent = ctx.api.GetParent(window);
    return parent != nullptr && WindowClass(ctx, window).Is("Internet Explorer_Server") &&
           WindowClass(ctx, parent).Is("SHELLDLL_DefView");
}

// ---- The scroll-bar search ----

// One search, on the stack of the thread that makes it: what it has seen
// and the bar it would take so far.
struct BarSearch {
    HookContext* ctx;
    HWND window;
    BarOrientation orientation;
    bool directChildrenOnly;
    bool seen;  // a bar of this orientation, even hidden or disabled
    HWND candidate;
};

bool HasOrientation(LONG style, BarOrientation orientation) {
    if (orientation == BAR_VERTICAL) return (style & SBS_VERT) != 0;
    return (style & (SBS_VERT | SBS_SIZEBOX)) == 0;
}

bool IsUsable(LONG style) { return (style & WS_VISIBLE) && !(style & WS_DISABLED); }

bool SpansY(const RECT& rect, POINT cursor) { return cursor.y >= rect.top && cursor.y <= rect.bottom; }

// The last horizontal bar that spans the cursor's x wins.
bool HorizontalBarReplaces(HookContext& ctx, HWND bar, POINT cursor) {
    RECT rect = {};
    ctx.api.GetWindowRect(bar, &rect);
    return cursor.x >= rect.left && cursor.x <= rect.right;
}

// A vertical bar beside the cursor's height wins; of two such, the one whose
// right edge lies nearest to the right of the cursor.
bool VerticalBarReplaces(HookContext& ctx, HWND candidate, HWND bar, POINT cursor) {
    RECT candidateRect = {};
    RECT barRect = {};
    ctx.api.GetWindowRect(candidate, &candidateRect);
    ctx.api.GetWindowRect(bar, &barRect);
    bool candidateSpans = SpansY(candidateRect, cursor);
    bool barSpans = SpansY(barRect, cursor);
    if (!candidateSpans) return barSpans;
    if (!barSpans) return false;
    int64_t candidateReach = static_cast<int64_t>(candidateRect.right) - cursor.x;
    int64_t barReach = static_cast<int64_t>(barRect.right) - cursor.x;
    return barReach > 0 && (candidateReach < 0 || barReach < candidateReach);
}

void ConsiderBar(HWND child, void* context) {
    BarSearch& search = *static_cast<BarSearch*>(context);
    HookContext& ctx = *search.ctx;
    if (search.directChildrenOnly && ctx.api.GetParent(child) != search.window) return;
    ClassName<kBarClassBuffer> name(ctx, child);
    if (!name.Is("ScrollBar") && !name.Is("HScrollBar")) return;
    LONG style = ctx.api.GetWindowLongA(child, GWL_STYLE);
    if (!HasOrientation(style, search.orientation)) return;

    // Seen even when hidden or disabled: the window keeps its bars itself,
    // so the wider search over the parent is not made.
    search.seen = true;
    if (!IsUsable(style)) return;

    HWND& candidate = search.candidate;
    if (candidate == nullptr) {
        candidate = child;
        return;
    }
    POINT cursor = {};
    ctx.api.GetCursorPos(&cursor);
    bool replaces = search.orientation == BAR_HORIZONTAL ? HorizontalBarReplaces(ctx, child, cursor)
                                                         : VerticalBarReplaces(ctx, candidate, child, cursor);
    if (replaces) candidate = child;
}

}  // namespace

int ClassifySpreadsheetWindow(HookContext& ctx, HWND window, uint32_t& code) {
    WindowClass own(ctx, window);
    WindowClass parent(ctx, ctx.api.GetParent(window));
    if (own.Is("EXCEL@") || parent.Is("EXCEL@") || own.Is("EXCELB") || parent.Is("EXCELB")) {
        code = kKeysBothWays;
        return 1;
    }
    if (own.Is("EXCELA") || parent.Is("EXCELA") || own.Is("EXCEL4")) {
        code = kNothingBothWays;
        return 1;
    }
    return 0;
}

int ClassifyWindow(HookContext& ctx, HWND window, uint32_t& code) {
    code = 0;
    if (ctx.process.ProcessKind == PROCESS_EXCEL && ClassifySpreadsheetWindow(ctx, window, code)) return 1;

    WindowClass name(ctx, window);
    LONG style = ctx.api.GetWindowLongA(window, GWL_STYLE);
    bool isDesktopIcons = false;
    bool listLike = IsListLike(ctx, window, name, isDesktopIcons);
    if (isDesktopIcons) {
        code = kNothingBothWays;
        return 1;
    }
    // A list without scroll bars still claims the wheel, so that nothing
    // else scrolls under it.
    if ((style & (WS_VSCROLL | WS_HSCROLL)) || listLike) code = CodeFromStyle(style);
    if (name.Is("TSCROLLBOX")) code = kWindowMessagesBothWays;
    return code != 0 ? 1 : 0;
}

HWND FindScrollBarControl(HookContext& ctx, HWND window, BarOrientation orientation) {
    // Enumerating the children of no window would walk every top-level window.
    if (window == nullptr) return nullptr;

    BarSearch search = {&ctx, window, orientation, true, false, nullptr};
    ctx.api.EnumChildWindows(window, ConsiderBar, &search);
    if (search.candidate != nullptr || search.seen) return search.candidate;

    HWND parent = ctx.api.GetParent(window);
    bool isPopup = (ctx.api.GetWindowLongA(window, GWL_STYLE) & WS_POPUP) != 0;
    if (!isPopup && parent != nullptr) {
        search = {&ctx, parent, orientation, false, false, nullptr};
        ctx.api.EnumChildWindows(parent, ConsiderBar, &search);
    }
    return search.candidate;
}

uint32_t FindVerticalMethod(HookContext& ctx, HWND window, HWND& barControl) {
    barControl = nullptr;
    uint32_t code = 0;
    if (ClassifyWindow(ctx, window, code)) return VerticalMethod(code);
    barControl = FindScrollBarControl(ctx, window, BAR_VERTICAL);
    if (barControl != nullptr) return SCROLL_V_BARCONTROL;
    if (ctx.shared.OsKind == OS_WIN98 && IsShellWebView(ctx, window)) return SCROLL_V_KEYS;
    return SCROLL_V_WHEEL;
}

uint32_t FindHorizontalMethod(HookContext& ctx, HWND window, HWND& barControl) {
    barControl = nullptr;
    uint32_t code = 0;
    if (ClassifyWindow(ctx, window, code)) return HorizontalMethod(code);
    barControl = FindScrollBarControl(ctx, window, BAR_HORIZONTAL);
    if (barControl != nullptr) return SCROLL_H_BARCONTROL;
    // Arrow keys would move the selection in RUNDLL32's control-panel dialogs.
    if (ctx.process.ProcessKind == PROCESS_RUNDLL32) return 0;
    return SCROLL_H_KEYS;
}

uint32_t FindScrollMethods(HookContext& ctx, HWND window, HWND& verticalBar, HWND& horizontalBar) {
    verticalBar = nullptr;
    horizontalBar = nullptr;
    uint32_t code = 0;
    if (ClassifyWindow(ctx, window, code)) return code;
    return FindVerticalMethod(ctx, window, verticalBar) | FindHorizontalMethod(ctx, window, horizontalBar);
}

}  // namespace ptr
