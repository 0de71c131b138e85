#include "real_platform.h"

namespace ptr {

BOOL RealPlatform::GetVersionExA(OSVERSIONINFOA* info) { return ::GetVersionExA(info); }
DWORD RealPlatform::GetModuleFileNameA(char* buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); }
UINT RealPlatform::RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }
int RealPlatform::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
UINT RealPlatform::WinExec(const char* commandLine, UINT show) { return ::WinExec(commandLine, show); }
void RealPlatform::Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }
DWORD RealPlatform::GetTickCount() { return ::GetTickCount(); }
UINT RealPlatform::GetDoubleClickTime() { return ::GetDoubleClickTime(); }
DWORD RealPlatform::GetCurrentProcessId() { return ::GetCurrentProcessId(); }
DWORD RealPlatform::GetWindowThreadProcessId(HWND window, DWORD* processId) {
    return ::GetWindowThreadProcessId(window, processId);
}
DWORD RealPlatform::CharUpperBuffA(char* text, DWORD length) { return ::CharUpperBuffA(text, length); }

HHOOK RealPlatform::SetWindowsHookExA(int idHook, HookProcId proc) {
    return ::SetWindowsHookExA(idHook, HookProcedure(proc), LibraryModule(), 0);
}

BOOL RealPlatform::UnhookWindowsHookEx(HHOOK hook) { return ::UnhookWindowsHookEx(hook); }
LRESULT RealPlatform::CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    return ::CallNextHookEx(hook, code, wParam, lParam);
}

int RealPlatform::GetClassNameA(HWND window, char* buffer, int size) { return ::GetClassNameA(window, buffer, size); }
HWND RealPlatform::GetParent(HWND window) { return ::GetParent(window); }
LONG RealPlatform::GetWindowLongA(HWND window, int index) { return ::GetWindowLongA(window, index); }
BOOL RealPlatform::GetWindowRect(HWND window, RECT* rect) { return ::GetWindowRect(window, rect); }
HWND RealPlatform::WindowFromPoint(POINT point) { return ::WindowFromPoint(point); }

namespace {
struct EnumContext {
    ChildVisitor visit;
    void* context;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM lParam) {
    EnumContext* e = reinterpret_cast<EnumContext*>(lParam);
    e->visit(child, e->context);
    return TRUE;
}
}  // namespace

void RealPlatform::EnumChildWindows(HWND parent, ChildVisitor visit, void* context) {
    EnumContext e{visit, context};
    ::EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&e));
}

BOOL RealPlatform::IsWindow(HWND window) { return ::IsWindow(window); }
BOOL RealPlatform::IsZoomed(HWND window) { return ::IsZoomed(window); }
BOOL RealPlatform::IsIconic(HWND window) { return ::IsIconic(window); }
BOOL RealPlatform::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(window, message, wParam, lParam);
}
LRESULT RealPlatform::SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                                          UINT timeout, DWORD_PTR* result) {
    return ::SendMessageTimeoutA(window, message, wParam, lParam, flags, timeout, result);
}
void RealPlatform::PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }
LRESULT RealPlatform::DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}
void RealPlatform::mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, ULONG_PTR extra) {
    ::mouse_event(flags, dx, dy, data, extra);
}
void RealPlatform::keybd_event(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extra) { ::keybd_event(vk, scan, flags, extra); }
UINT RealPlatform::MapVirtualKeyA(UINT code, UINT mapType) { return ::MapVirtualKeyA(code, mapType); }
SHORT RealPlatform::GetKeyState(int vk) { return ::GetKeyState(vk); }
void RealPlatform::BindLateFunctions(ProcLookup lookup) {
    // Windows 95's user32 has no GetGUIThreadInfo.
    getGuiThreadInfo_ = LateBound<GetGUIThreadInfoFn>(::GetModuleHandleA("user32.dll"), "GetGUIThreadInfo", lookup);
}

BOOL RealPlatform::InMenuLoop() {
    if (getGuiThreadInfo_ == nullptr) return TRUE;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!getGuiThreadInfo_(::GetCurrentThreadId(), &info)) return TRUE;
    return (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
}

HWND RealPlatform::GetFocus() { return ::GetFocus(); }
HWND RealPlatform::SetFocus(HWND window) { return ::SetFocus(window); }
HWND RealPlatform::GetForegroundWindow() { return ::GetForegroundWindow(); }
BOOL RealPlatform::SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }
HWND RealPlatform::SetCapture(HWND window) { return ::SetCapture(window); }
BOOL RealPlatform::ReleaseCapture() { return ::ReleaseCapture(); }
BOOL RealPlatform::GetCursorPos(POINT* point) { return ::GetCursorPos(point); }
BOOL RealPlatform::SetCursorPos(int x, int y) { return ::SetCursorPos(x, y); }
ATOM RealPlatform::RegisterClassExA(const WNDCLASSEXA* windowClass) { return ::RegisterClassExA(windowClass); }
HWND RealPlatform::CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    return ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, param);
}

}  // namespace ptr
