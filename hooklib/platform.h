// The narrow set of Win32 calls the hook logic makes. The DLL binds it to
// user32 and kernel32; the unit tests bind it to a recording fake desktop.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ptr {

// Which of the library's hook procedures SetWindowsHookExA installs.
enum class HookProcId { Mouse, SysMsgFilter, LowLevelWheel, LowLevelXButton };

// Child enumeration callback; enumeration always runs to the end.
using ChildVisitor = void (*)(HWND child, void* context);

class Platform {
public:
    // System and process.
    virtual BOOL GetVersionExA(OSVERSIONINFOA* info) = 0;  // honours dwOSVersionInfoSize
    virtual DWORD GetModuleFileNameA(char* buffer, DWORD size) = 0;  // the executable's path
    virtual UINT RegisterWindowMessageA(const char* name) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual UINT WinExec(const char* commandLine, UINT show) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    // Milliseconds since the system started; wraps after 49.7 days, so only
    // the unsigned difference of two readings means anything.
    virtual DWORD GetTickCount() = 0;
    virtual UINT GetDoubleClickTime() = 0;

    // Processes and the programs they run.
    virtual DWORD GetCurrentProcessId() = 0;
    // The thread that made the window (0 when it names none), and its process.
    virtual DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) = 0;
    // Upper case in the system's code page, in place.
    virtual DWORD CharUpperBuffA(char* text, DWORD length) = 0;

    // Hooks.
    virtual HHOOK SetWindowsHookExA(int idHook, HookProcId proc) = 0;
    virtual BOOL UnhookWindowsHookEx(HHOOK hook) = 0;
    virtual LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) = 0;

    // Window queries.
    virtual int GetClassNameA(HWND window, char* buffer, int size) = 0;
    virtual HWND GetParent(HWND window) = 0;
    virtual LONG GetWindowLongA(HWND window, int index) = 0;
    virtual BOOL GetWindowRect(HWND window, RECT* rect) = 0;
    virtual HWND WindowFromPoint(POINT point) = 0;
    virtual void EnumChildWindows(HWND parent, ChildVisitor visit, void* context) = 0;
    virtual BOOL IsWindow(HWND window) = 0;
    virtual BOOL IsZoomed(HWND window) = 0;
    virtual BOOL IsIconic(HWND window) = 0;

    // Messages.
    virtual BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Sends wait for the receiver: always with a bound (flags SMTO_..., timeout in ms).
    virtual LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                                        UINT timeout, DWORD_PTR* result) = 0;
    virtual void PostQuitMessage(int exitCode) = 0;
    virtual LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Input.
    virtual void mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, ULONG_PTR extra) = 0;
    virtual void keybd_event(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extra) = 0;
    virtual UINT MapVirtualKeyA(UINT code, UINT mapType) = 0;
    virtual SHORT GetKeyState(int vk) = 0;

    // Whether the calling thread runs a menu's modal loop now; TRUE where the
    // system cannot tell (Windows 95 has no GetGUIThreadInfo).
    virtual BOOL InMenuLoop() = 0;

    // Focus, foreground, capture, cursor.
    virtual HWND GetFocus() = 0;
    virtual HWND SetFocus(HWND window) = 0;
    virtual HWND GetForegroundWindow() = 0;
    virtual BOOL SetForegroundWindow(HWND window) = 0;
    virtual HWND SetCapture(HWND window) = 0;
    virtual BOOL ReleaseCapture() = 0;
    virtual BOOL GetCursorPos(POINT* point) = 0;
    virtual BOOL SetCursorPos(int x, int y) = 0;

    // The legacy wheel window.
    virtual ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) = 0;
    virtual HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title,
                                 DWORD style, int x, int y, int width, int height, HWND parent,
                                 HMENU menu, HINSTANCE instance, void* param) = 0;

protected:
    ~Platform() = default;
};

}  // namespace ptr
