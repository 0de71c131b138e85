// A platform that does nothing: each call answers at once from a fixed
// scene, so that timing the hook logic on it measures the logic's own work.
//
// The scene: a pane with a vertical scroll bar style under the cursor (the
// routed notch), or a plain window among `siblings` siblings of which the
// last is a vertical scroll-bar control (the notch that needs the search).
#pragma once

#include "platform.h"

#include <cstring>

namespace ptr::bench {

class NoopPlatform final : public Platform {
public:
    static constexpr uintptr_t kHost = 0x100;
    static constexpr uintptr_t kPane = 0x110;    // WS_VSCROLL
    static constexpr uintptr_t kFamily = 0x200;  // the parent of the siblings
    static constexpr uintptr_t kFirstSibling = 0x10000;
    // Every window is the benchmark's own.
    static constexpr DWORD kProcess = 0x400;
    static constexpr DWORD kThread = 0x404;

    // siblings 0: the notch goes to the pane; otherwise to the first sibling,
    // a plain window, and the last sibling is the scroll bar.
    void SetSiblings(int siblings) { siblings_ = siblings; }

    BOOL GetVersionExA(OSVERSIONINFOA*) override { return FALSE; }
    DWORD GetModuleFileNameA(char*, DWORD) override { return 0; }
    UINT RegisterWindowMessageA(const char*) override { return 0; }
    int GetSystemMetrics(int) override { return 0; }
    UINT WinExec(const char*, UINT) override { return 0; }
    void Sleep(DWORD) override {}
    DWORD GetTickCount() override { return 0; }
    UINT GetDoubleClickTime() override { return 500; }
    DWORD GetCurrentProcessId() override { return kProcess; }
    DWORD GetWindowThreadProcessId(HWND, DWORD* processId) override {
        if (processId) *processId = kProcess;
        return kThread;
    }
    DWORD CharUpperBuffA(char* text, DWORD length) override {
        for (DWORD i = 0; i < length; ++i)
            if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
        return length;
    }
    HHOOK SetWindowsHookExA(int, HookProcId) override { return nullptr; }
    BOOL UnhookWindowsHookEx(HHOOK) override { return TRUE; }
    LRESULT CallNextHookEx(HHOOK, int, WPARAM, LPARAM) override { return 0; }

    int GetClassNameA(HWND window, char* buffer, int size) override {
        const char* name = ClassOf(Handle(window));
        int n = static_cast<int>(std::strlen(name));
        if (n >= size) n = size - 1;
        std::memcpy(buffer, name, static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
    HWND GetParent(HWND window) override {
        uintptr_t h = Handle(window);
        if (h == kPane) return Window(kHost);
        if (h >= kFirstSibling) return Window(kFamily);
        return nullptr;
    }
    LONG GetWindowLongA(HWND window, int) override {
        uintptr_t h = Handle(window);
        if (h == kPane) return static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_VSCROLL);
        if (h == Bar()) return static_cast<LONG>(WS_CHILD | WS_VISIBLE | SBS_VERT);
        return static_cast<LONG>(WS_CHILD | WS_VISIBLE);
    }
    BOOL GetWindowRect(HWND, RECT* rect) override {
        *rect = {0, 0, 10, 10};
        return TRUE;
    }
    HWND WindowFromPoint(POINT) override { return Window(siblings_ == 0 ? kPane : kFirstSibling); }
    void EnumChildWindows(HWND parent, ChildVisitor visit, void* context) override {
        if (Handle(parent) != kFamily) return;
        for (int i = 0; i < siblings_; ++i) visit(Window(kFirstSibling + static_cast<uintptr_t>(i) * 0x10), context);
    }
    BOOL IsWindow(HWND window) override { return window != nullptr; }
    BOOL IsZoomed(HWND) override { return FALSE; }
    BOOL IsIconic(HWND) override { return FALSE; }
    BOOL PostMessageA(HWND, UINT, WPARAM, LPARAM) override { return TRUE; }
    LRESULT SendMessageTimeoutA(HWND, UINT, WPARAM, LPARAM, UINT, UINT, DWORD_PTR*) override { return TRUE; }
    void PostQuitMessage(int) override {}
    LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    void mouse_event(DWORD, DWORD, DWORD, DWORD, ULONG_PTR) override {}
    void keybd_event(BYTE, BYTE, DWORD, ULONG_PTR) override {}
    UINT MapVirtualKeyA(UINT, UINT) override { return 0; }
    SHORT GetKeyState(int) override { return 0; }
    BOOL InMenuLoop() override { return FALSE; }
    HWND GetFocus() override { return nullptr; }
    HWND SetFocus(HWND) override { return nullptr; }
    HWND GetForegroundWindow() override { return nullptr; }
    BOOL SetForegroundWindow(HWND) override { return TRUE; }
    HWND SetCapture(HWND) override { return nullptr; }
    BOOL ReleaseCapture() override { return TRUE; }
    BOOL GetCursorPos(POINT* point) override {
        *point = {0, 0};
        return TRUE;
    }
    BOOL SetCursorPos(int, int) override { return TRUE; }
    ATOM RegisterClassExA(const WNDCLASSEXA*) override { return 0; }
    HWND CreateWindowExA(DWORD, const char*, const char*, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                         void*) override {
        return nullptr;
    }

    static HWND Window(uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

private:
    static uintptr_t Handle(HWND window) { return reinterpret_cast<uintptr_t>(window); }
    uintptr_t Bar() const { return kFirstSibling + static_cast<uintptr_t>(siblings_ - 1) * 0x10; }
    const char* ClassOf(uintptr_t h) const {
        if (h == kPane) return "PtrBenchPane";
        if (h == kHost || h == kFamily) return "PtrBenchHost";
        if (h == kFirstSibling) return "PtrBenchPlain";
        if (h == Bar()) return "ScrollBar";
        return "PtrBenchLeaf";
    }

    int siblings_ = 0;
};

}  // namespace ptr::bench
