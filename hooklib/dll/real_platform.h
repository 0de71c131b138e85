// The hook logic's platform bound to the real user32 and kernel32.
#pragma once

#include "late_bound.h"
#include "platform.h"

namespace ptr {

class RealPlatform final : public Platform {
public:
    // Looks up what newer systems add; where a lookup fails the call it
    // serves takes its fallback (InMenuLoop: TRUE, as on Windows 95).
    void BindLateFunctions(ProcLookup lookup = ::GetProcAddress);

    BOOL GetVersionExA(OSVERSIONINFOA* info) override;
    DWORD GetModuleFileNameA(char* buffer, DWORD size) override;
    UINT RegisterWindowMessageA(const char* name) override;
    int GetSystemMetrics(int index) override;
    UINT WinExec(const char* commandLine, UINT show) override;
    void Sleep(DWORD milliseconds) override;
    DWORD GetTickCount() override;
    UINT GetDoubleClickTime() override;
    DWORD GetCurrentProcessId() override;
    DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) override;
    DWORD CharUpperBuffA(char* text, DWORD length) override;
    HHOOK SetWindowsHookExA(int idHook, HookProcId proc) override;
    BOOL UnhookWindowsHookEx(HHOOK hook) override;
    LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) override;
    int GetClassNameA(HWND window, char* buffer, int size) override;
    HWND GetParent(HWND window) override;
    LONG GetWindowLongA(HWND window, int index) override;
    BOOL GetWindowRect(HWND window, RECT* rect) override;
    HWND WindowFromPoint(POINT point) override;
    void EnumChildWindows(HWND parent, ChildVisitor visit, void* context) override;
    BOOL IsWindow(HWND window) override;
    BOOL IsZoomed(HWND window) override;
    BOOL IsIconic(HWND window) override;
    BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                                DWORD_PTR* result) override;
    void PostQuitMessage(int exitCode) override;
    LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, ULONG_PTR extra) override;
    void keybd_event(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extra) override;
    UINT MapVirtualKeyA(UINT code, UINT mapType) override;
    SHORT GetKeyState(int vk) override;
    BOOL InMenuLoop() override;
    HWND GetFocus() override;
    HWND SetFocus(HWND window) override;
    HWND GetForegroundWindow() override;
    BOOL SetForegroundWindow(HWND window) override;
    HWND SetCapture(HWND window) override;
    BOOL ReleaseCapture() override;
    BOOL GetCursorPos(POINT* point) override;
    BOOL SetCursorPos(int x, int y) override;
    ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) override;
    HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) override;

private:
    using GetGUIThreadInfoFn = BOOL(WINAPI*)(DWORD, GUITHREADINFO*);
    GetGUIThreadInfoFn getGuiThreadInfo_ = nullptr;
};

// The library's module handle and hook procedures, for SetWindowsHookExA.
HMODULE LibraryModule();
HOOKPROC HookProcedure(HookProcId proc);

}  // namespace ptr
