#include "scroll_box.h"

#include "form_ids.h"

namespace setting {

namespace {

constexpr int kLineStep = 8;

HWND Content(HWND box) { return GetWindow(box, GW_CHILD); }

SIZE ContentSize(HWND box) {
    SIZE size = {0, 0};
    RECT rect;
    if (HWND child = Content(box); child && GetWindowRect(child, &rect)) {
        size.cx = rect.right - rect.left;
        size.cy = rect.bottom - rect.top;
    }
    return size;
}

void SetBar(HWND box, int bar, int content, int page) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = content > 0 ? content - 1 : 0;
    info.nPage = static_cast<UINT>(page > 0 ? page : 0);
    info.nPos = 0;
    SetScrollInfo(box, bar, &info, TRUE);
}

void PlaceContent(HWND box) {
    if (HWND child = Content(box))
        SetWindowPos(child, nullptr, -GetScrollPos(box, SB_HORZ), -GetScrollPos(box, SB_VERT), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int NewPosition(HWND box, int bar, WORD request) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(box, bar, &info);
    int pos = info.nPos;
    switch (request) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: break;
    }
    const int last = info.nMax - static_cast<int>(info.nPage) + 1;
    if (pos > last) pos = last;
    if (pos < info.nMin) pos = info.nMin;
    return pos;
}

void Scroll(HWND box, int bar, WORD request) {
    const int pos = NewPosition(box, bar, request);
    if (pos == GetScrollPos(box, bar)) return;
    SetScrollPos(box, bar, pos, TRUE);
    PlaceContent(box);
}

void UpdateBars(HWND box) {
    RECT client;
    GetClientRect(box, &client);
    const SIZE content = ContentSize(box);
    SetBar(box, SB_HORZ, content.cx, client.right);
    SetBar(box, SB_VERT, content.cy, client.bottom);
    PlaceContent(box);
}

LRESULT CALLBACK ScrollBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HSCROLL: Scroll(box, SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: Scroll(box, SB_VERT, LOWORD(wParam)); return 0;
    case WM_SIZE: UpdateBars(box); return 0;
    default: return DefWindowProcA(box, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterScrollBoxClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = ScrollBoxProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = SCROLL_BOX_CLASS;
    return RegisterClassA(&windowClass) != 0;
}

void ScrollBoxContentChanged(HWND box) {
    SetScrollPos(box, SB_HORZ, 0, FALSE);
    SetScrollPos(box, SB_VERT, 0, FALSE);
    UpdateBars(box);
}

}  // namespace setting
