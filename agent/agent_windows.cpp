// The two windows the hooks drive: the auto-scroll window, which takes the
// mouse capture while auto scroll runs, and the Universal Zoom magnifier.
#include "agent.h"
#include "agent_logic.h"
#include "markers.h"
#include "win32_error.h"

namespace agent {

namespace {

constexpr char kAutoScrollClass[] = "PtrHkAutoScroll";
constexpr char kZoomClass[] = "PtrHkZoom";
constexpr int kAutoScrollSize = 32;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 30;

// Lines per tick along each axis, as the exports take them.
void ScrollTowardsCursor() {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    const int down = AutoScrollLines(cursor.y - g_agent.autoScrollAnchor.y);
    const int right = AutoScrollLines(cursor.x - g_agent.autoScrollAnchor.x);
    if (down > 0) g_agent.library.DoAutoDown(down);
    if (down < 0) g_agent.library.DoAutoUp(-down);
    if (right > 0) g_agent.library.DoAutoRight(right);
    if (right < 0) g_agent.library.DoAutoLeft(-right);
}

void DrawTriangle(HDC dc, POINT a, POINT b, POINT c) {
    POINT points[3] = {a, b, c};
    Polygon(dc, points, 3);
}

// Four arrowheads round a dot: the usual auto-scroll marker.
void PaintAutoScrollGlyph(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    const int c = kAutoScrollSize / 2;
    DrawTriangle(dc, {c, 2}, {c - 5, 8}, {c + 5, 8});
    DrawTriangle(dc, {c, kAutoScrollSize - 3}, {c - 5, kAutoScrollSize - 9}, {c + 5, kAutoScrollSize - 9});
    DrawTriangle(dc, {2, c}, {8, c - 5}, {8, c + 5});
    DrawTriangle(dc, {kAutoScrollSize - 3, c}, {kAutoScrollSize - 9, c - 5}, {kAutoScrollSize - 9, c + 5});
    Ellipse(dc, c - 2, c - 2, c + 3, c + 3);
    SelectObject(dc, oldBrush);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EndPaint(window, &paint);
}

// The hooks' auto scroll goes on until a button message comes to another
// window than the auto-scroll window, and it holds the middle button down
// once the user's release has come over that window. A middle release,
// which comes to the window under the cursor now that the auto-scroll
// window is hidden, lets the button go and ends it; the hooks swallow it.
// It is marked as the suite's own, so that the hooks never take it for the
// user's release of the click that started auto scroll.
void EndHooksAutoScroll() { mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ptr::ExtraInfo(ptr::MARK_SELF)); }

// The hooks' zoom goes on until a button press, which they swallow. A middle
// click marked as the suite's own ends it: the press ends zoom and is
// swallowed, and with no mode left the marked release is swallowed too.
void EndHooksZoom() {
    mouse_event(MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, ptr::ExtraInfo(ptr::MARK_SELF));
    mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ptr::ExtraInfo(ptr::MARK_SELF));
}

bool g_escapeTaken = false;

// Esc ends auto scroll and zoom wherever the keyboard focus is.
void TakeEscape() {
    if (g_escapeTaken) return;
    g_escapeTaken = RegisterHotKey(g_agent.mainWindow, kEscapeHotKey, 0, VK_ESCAPE) != FALSE;
    if (!g_escapeTaken)
        Say("PtrAgent: Esc is taken by another program (%s)", ptr::Win32ErrorText(GetLastError()).c_str());
}

void GiveBackEscape() {
    if (!g_escapeTaken || g_agent.autoScrollRunning || g_agent.zoomRunning) return;
    UnregisterHotKey(g_agent.mainWindow, kEscapeHotKey);
    g_escapeTaken = false;
}

LRESULT CALLBACK AutoScrollWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kTickTimer) return 0;
        // Without the hooks no click would ever end it.
        if (!HooksStillIn()) {
            EndAutoScrollHere("the hooks are gone");
            return 0;
        }
        // The window holds the capture from the start (see StartAutoScroll);
        // the hook takes it again at the user's release over it.
        if (GetCapture() == window) ScrollTowardsCursor();
        return 0;
    case WM_CAPTURECHANGED:
        // Without the capture the clicks that end auto scroll go elsewhere.
        if (reinterpret_cast<HWND>(lParam) != window) EndAutoScrollHere("the capture is lost");
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) EndAutoScrollHere("Esc");
        return 0;
    case WM_PAINT:
        PaintAutoScrollGlyph(window);
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
        return TRUE;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

SIZE MagnifierSize() {
    return {g_agent.block->ZoomTargetWidth, g_agent.block->ZoomTargetHeight};
}

Rect ScreenRect() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Moves the magnifier beside the cursor, at its current target size.
void PlaceMagnifier(HWND window) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    const SIZE size = MagnifierSize();
    const Point origin = MagnifierOrigin({cursor.x, cursor.y}, g_agent.block->ZoomSourceWidth,
                                         g_agent.block->ZoomSourceHeight, size.cx, size.cy, ScreenRect());
    SetWindowPos(window, HWND_TOPMOST, origin.x, origin.y, size.cx, size.cy, SWP_NOACTIVATE);
}

// Copies the screen round the cursor, scaled, into the magnifier.
void DrawMagnified(HWND window, HDC target) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    const int sourceWidth = g_agent.block->ZoomSourceWidth;
    const int sourceHeight = g_agent.block->ZoomSourceHeight;
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, client.right, client.bottom, screen, cursor.x - sourceWidth / 2,
               cursor.y - sourceHeight / 2, sourceWidth, sourceHeight, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

void RefreshMagnifier(HWND window) {
    PlaceMagnifier(window);
    HDC dc = GetDC(window);
    DrawMagnified(window, dc);
    ReleaseDC(window, dc);
}

void ChangeZoomFactor(int32_t wheelDelta) {
    const int factor = SteppedZoomFactor(ZoomFactor(*g_agent.block), wheelDelta);
    SetZoomFactor(*g_agent.block, factor);
}

LRESULT CALLBACK ZoomWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ptr::UM_ZOOMWHEEL) {
        // Not while the magnifier is hidden (after Esc): the factor would change unseen.
        if (g_agent.zoomRunning) ChangeZoomFactor(static_cast<int32_t>(lParam));
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam != kTickTimer) return 0;
        if (!HooksStillIn()) {
            EndZoomHere("the hooks are gone");
            return 0;
        }
        RefreshMagnifier(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        DrawMagnified(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterWindowClass(const char* name, WNDPROC procedure, LPCSTR cursor) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = g_agent.instance;
    windowClass.hCursor = LoadCursor(nullptr, cursor);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateTopmostPopup(const char* className, DWORD extraStyle) {
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | extraStyle, className, "", WS_POPUP, 0, 0, 1, 1,
                           nullptr, nullptr, g_agent.instance, nullptr);
}

}  // namespace

bool RegisterHelperClasses() {
    return RegisterWindowClass(kAutoScrollClass, AutoScrollWindowProc, IDC_SIZEALL) &&
           RegisterWindowClass(kZoomClass, ZoomWindowProc, IDC_ARROW);
}

HWND CreateAutoScrollWindow() { return CreateTopmostPopup(kAutoScrollClass, 0); }

HWND CreateZoomWindow() { return CreateTopmostPopup(kZoomClass, WS_EX_NOACTIVATE); }

void StartAutoScroll() {
    GetCursorPos(&g_agent.autoScrollAnchor);
    // Centred under the cursor: the user's release must land on this window.
    SetWindowPos(g_agent.autoScrollWindow, HWND_TOPMOST, g_agent.autoScrollAnchor.x - kAutoScrollSize / 2,
                 g_agent.autoScrollAnchor.y - kAutoScrollSize / 2, kAutoScrollSize, kAutoScrollSize,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // The capture from the start: when the user's release was handled before
    // this start (a fast click or a tap), no release will come over this
    // window for the hook to hand it the capture, and the timer would never
    // scroll. A release that does come over it finds the capture here already.
    SetCapture(g_agent.autoScrollWindow);
    g_agent.autoScrollRunning = true;
    SetTimer(g_agent.autoScrollWindow, kTickTimer, kTickMilliseconds, nullptr);
    TakeEscape();
}

void EndAutoScroll() {
    // First, so that the capture released below does not end it a second time.
    g_agent.autoScrollRunning = false;
    GiveBackEscape();
    if (!g_agent.autoScrollWindow) return;
    KillTimer(g_agent.autoScrollWindow, kTickTimer);
    // A wheel notch or a message for another window ends auto scroll without
    // releasing the capture; a hidden window must not keep it.
    if (GetCapture() == g_agent.autoScrollWindow) ReleaseCapture();
    ShowWindow(g_agent.autoScrollWindow, SW_HIDE);
}

void EndAutoScrollHere(const char* why) {
    if (!g_agent.autoScrollRunning) return;
    EndAutoScroll();
    // Hooks that are gone let go of the middle button as they went.
    if (HooksStillIn()) EndHooksAutoScroll();
    Say("PtrAgent: auto scroll ended here: %s", why);
}

void StartZoom() {
    PlaceMagnifier(g_agent.zoomWindow);
    ShowWindow(g_agent.zoomWindow, SW_SHOWNA);
    g_agent.zoomRunning = true;
    SetTimer(g_agent.zoomWindow, kTickTimer, kTickMilliseconds, nullptr);
    TakeEscape();
}

void EndZoom() {
    g_agent.zoomRunning = false;
    GiveBackEscape();
    if (!g_agent.zoomWindow) return;
    KillTimer(g_agent.zoomWindow, kTickTimer);
    ShowWindow(g_agent.zoomWindow, SW_HIDE);
}

void EndZoomHere(const char* why) {
    if (!g_agent.zoomRunning) return;
    EndZoom();
    if (HooksStillIn()) EndHooksZoom();
    Say("PtrAgent: zoom ended here: %s", why);
}

bool HooksStillIn() {
    if (!g_agent.hooksInstalled || !g_agent.library.GetHookStatus) return false;
    return (g_agent.library.GetHookStatus() & g_agent.requiredHooks) == g_agent.requiredHooks;
}

}  // namespace agent
