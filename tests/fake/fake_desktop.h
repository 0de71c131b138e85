// A recording fake desktop for the hook logic: windows with class, style,
// rectangle and parent; cursor, focus, foreground, key states; and one
// ordered log of everything posted, sent, injected, focused, raised and started.
#pragma once

#include "hook_context.h"
#include "platform.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ptr::fake {

using Log = std::vector<std::string>;

// Log entry builders, shared by the fake and by the tables of expected entries.
std::string Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::string Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::string Mouse(DWORD flags, DWORD data, uint32_t extra, int dx = 0, int dy = 0);
std::string Key(BYTE vk, DWORD flags = 0);
inline std::string KeyDown(BYTE vk) { return Key(vk, 0); }
inline std::string KeyUp(BYTE vk) { return Key(vk, KEYEVENTF_KEYUP); }
std::string Focus(HWND window);
std::string Foreground(HWND window);
std::string Capture(HWND window);
std::string ReleaseCaptureEntry();
std::string CursorTo(int x, int y);
std::string Exec(const std::string& commandLine, UINT show);
std::string Hook(int idHook, HookProcId proc);
std::string Unhook(HHOOK hook);
std::string Sleep(DWORD milliseconds);
std::string Quit(int exitCode);
std::string MessageName(UINT message);

// The arguments of one CallNextHookEx call.
struct NextHookCall {
    HHOOK hook = nullptr;
    int code = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The process and thread every window belongs to unless a test says otherwise.
constexpr DWORD kFakeOwnProcess = 0x100;
constexpr DWORD kFakeOwnThread = 0x104;

struct Window {
    std::string className;
    LONG style = WS_VISIBLE;
    RECT rect = {0, 0, 100, 100};
    HWND parent = nullptr;
    bool zoomed = false;
    bool iconic = false;
    DWORD processId = kFakeOwnProcess;
    DWORD threadId = kFakeOwnThread;
};

constexpr int kMaxFakeDepth = 1000;

// What the stress run checks after every call, kept beside the log (whose
// entries do not change): every message posted or sent, every injected
// mouse and key event, and what the injected input holds down.
struct Delivery {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool sent;
    UINT flags;    // of a send
    UINT timeout;  // of a send
};

struct Injection {
    DWORD flags;
    DWORD dx;
    DWORD dy;
    DWORD data;
    ULONG_PTR extra;
};

struct KeyEvent {
    BYTE vk;
    DWORD flags;
};

// Physical mouse buttons (before any swap), as held down by injected input.
enum HeldButton : unsigned {
    HELD_LEFT = 1,
    HELD_RIGHT = 2,
    HELD_MIDDLE = 4,
    HELD_X1 = 8,
    HELD_X2 = 16,
};

class FakeDesktop final : public Platform {
public:
    FakeDesktop();

    // Desktop set-up.
    HWND AddWindow(const std::string& className, LONG style = WS_VISIBLE, RECT rect = {0, 0, 100, 100},
                   HWND parent = nullptr);
    Window& WindowOf(HWND window);
    // The window is gone; its children stay, with a parent that no longer exists.
    void RemoveWindow(HWND window);
    void SetVersion(DWORD platformId, DWORD major, DWORD minor);
    void SetExePath(const std::string& path) { exePath_ = path; }
    void SetKeyDown(int vk, bool down) { keyState_[vk] = down ? static_cast<SHORT>(0xFF80) : 0; }
    // The raw GetKeyState word, e.g. 0x0001 for a key that is up but toggled.
    void SetKeyState(int vk, SHORT state) { keyState_[vk] = state; }
    void SetCursor(int x, int y) { cursor_ = {x, y}; }
    void SetMetric(int index, int value) { metrics_[index] = value; }
    void SetFocusWindow(HWND window) { focus_ = window; }
    void SetForegroundWindowState(HWND window) { foreground_ = window; }
    // WindowFromPoint answers this window when set, else the deepest visible window under the point.
    void SetWindowUnderCursor(HWND window) { pointOverride_ = window; pointOverrideSet_ = true; }
    // The swap as GetSystemMetrics(SM_SWAPBUTTON) reports it.
    void SetButtonsSwapped(bool swapped);
    void SetInMenuLoop(bool inMenuLoop) { inMenuLoop_ = inMenuLoop ? TRUE : FALSE; }
    bool ButtonsSwapped() const;
    void FailHook(int idHook, bool fail = true) { failHook_[idHook] = fail; }
    // Number of GetVersionExA calls to fail before succeeding (0 none, 1 the extended call, 2 both).
    void FailVersionQueries(int count) { failVersion_ = count; }
    void SetSendResult(LRESULT result) { sendResult_ = result; }
    // Flags and timeout of the last send.
    UINT LastSendFlags() const { return lastSendFlags_; }
    UINT LastSendTimeout() const { return lastSendTimeout_; }
    void SetNextHookResult(LRESULT result) { nextHookResult_ = result; }
    // The clock stands still unless moved (Sleep moves it too); it starts
    // shortly before GetTickCount wraps, so that waits measured across the
    // wrap are measured in every test.
    void AdvanceClock(DWORD milliseconds) { tickCount_ += milliseconds; }
    void SetDoubleClickTime(UINT milliseconds) { doubleClickTime_ = milliseconds; }
    // Processes: the process that calls, the owner of a window.
    void SetCurrentProcess(DWORD processId) { currentProcess_ = processId; }
    void SetWindowOwner(HWND window, DWORD processId, DWORD threadId);
    // Calls of the platform since the desktop was made: all of them, or of
    // one function by its name.
    int Calls() const { return calls_; }
    int Calls(const std::string& function) const;

    const Log& log() const { return log_; }
    // Clears the log and the records of deliveries, injections and keys.
    void ClearLog();

    // Records since the last ClearLog.
    const std::vector<Delivery>& Deliveries() const { return deliveries_; }
    const std::vector<Injection>& Injections() const { return injections_; }
    const std::vector<KeyEvent>& KeyEvents() const { return keyEvents_; }
    // Posts and sends to null or to a handle that names no window of this
    // desktop, since the desktop was made; the last one as a log entry.
    int MisdirectedCount() const { return misdirected_; }
    const std::string& LastMisdirected() const { return lastMisdirected_; }
    // Keys that keybd_event put down and did not let up again.
    const std::set<BYTE>& HeldKeys() const { return heldKeys_; }
    // Buttons that mouse_event put down (HELD_... bits) and nothing let up again.
    unsigned HeldButtons() const { return heldButtons_; }
    // An up of these buttons reached the system from elsewhere (the user).
    void ButtonsWentUp(unsigned buttons) { heldButtons_ &= ~buttons; }
    void ClearWindowUnderCursor() { pointOverride_ = nullptr; pointOverrideSet_ = false; }
    const std::vector<HWND>& Windows() const { return order_; }
    bool HasWindow(HWND window) const { return windows_.count(window) != 0; }
    int CallNextCount() const { return callNextCount_; }
    const NextHookCall& LastCallNext() const { return lastCallNext_; }
    const std::vector<DWORD>& VersionQuerySizes() const { return versionSizes_; }
    POINT Cursor() const { return cursor_; }
    HWND FocusWindow() const { return focus_; }
    HWND ForegroundWindowState() const { return foreground_; }
    HWND CaptureWindow() const { return capture_; }
    std::map<std::string, UINT> RegisteredMessages() const { return registered_; }

    // Platform.
    BOOL GetVersionExA(OSVERSIONINFOA* info) override;
    DWORD GetModuleFileNameA(char* buffer, DWORD size) override;
    UINT RegisterWindowMessageA(const char* name) override;
    int GetSystemMetrics(int index) override;
    UINT WinExec(const char* commandLine, UINT show) override;
    void Sleep(DWORD milliseconds) override;
    DWORD GetTickCount() override { return Note(__func__), tickCount_; }
    UINT GetDoubleClickTime() override { return Note(__func__), doubleClickTime_; }
    DWORD GetCurrentProcessId() override { return Note(__func__), currentProcess_; }
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
    BOOL InMenuLoop() override { return Note(__func__), inMenuLoop_; }
    HWND GetFocus() override;
    HWND SetFocus(HWND window) override;
    HWND GetForegroundWindow() override;
    BOOL SetForegroundWindow(HWND window) override;
    HWND SetCapture(HWND window) override;
    BOOL ReleaseCapture() override;
    BOOL GetCursorPos(POINT* point) override;
    BOOL SetCursorPos(int x, int y) override;
    ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) override;
    HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                         int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                         void* param) override;

    // The window procedure and class of the last RegisterClassExA, for the legacy wheel window.
    WNDPROC RegisteredWindowProc() const { return registeredProc_; }

private:
    int Depth(HWND window);
    void Descendants(HWND parent, std::vector<HWND>& out);
    void RecordDelivery(const std::string& entry, const Delivery& delivery);
    void TrackButtons(DWORD flags, DWORD data);
    void Note(const char* function);

    Log log_;
    std::vector<Delivery> deliveries_;
    std::vector<Injection> injections_;
    std::vector<KeyEvent> keyEvents_;
    int misdirected_ = 0;
    std::string lastMisdirected_;
    std::set<BYTE> heldKeys_;
    unsigned heldButtons_ = 0;
    std::map<HWND, Window> windows_;
    std::vector<HWND> order_;  // creation order
    uintptr_t nextHandle_ = 0x1000;
    OSVERSIONINFOA version_{};
    int failVersion_ = 0;
    std::vector<DWORD> versionSizes_;
    std::string exePath_ = "C:\\PROGRAM FILES\\APP\\APP.EXE";
    std::map<int, SHORT> keyState_;
    std::map<int, int> metrics_;
    std::map<int, bool> failHook_;
    std::map<std::string, UINT> registered_;
    std::map<std::string, bool> classes_;
    WNDPROC registeredProc_ = nullptr;
    uintptr_t nextHook_ = 0x5000;
    POINT cursor_ = {0, 0};
    HWND focus_ = nullptr;
    HWND foreground_ = nullptr;
    HWND capture_ = nullptr;
    HWND pointOverride_ = nullptr;
    bool pointOverrideSet_ = false;
    BOOL inMenuLoop_ = FALSE;
    LRESULT sendResult_ = 0;
    UINT lastSendFlags_ = 0;
    UINT lastSendTimeout_ = 0;
    LRESULT nextHookResult_ = 0;
    int callNextCount_ = 0;
    NextHookCall lastCallNext_;
    DWORD tickCount_ = 0xFFFFFF00u;
    UINT doubleClickTime_ = 500;
    DWORD currentProcess_ = kFakeOwnProcess;
    int calls_ = 0;
    std::map<const char*, int> callsByName_;  // by the function's own name string
};

// A complete, clean hook environment for one test.
struct FakeHook {
    FakeDesktop desk;
    SettingsBlock block{};
    HookSharedState shared = kInitialSharedState;
    ProcessState process;
    HookContext ctx{desk, block, shared, process};

    // A block as the tray agent fills it by default: 3 buttons, one wheel, enhanced, 3 lines.
    void UseDefaultBlock();
    void SetOs(int32_t osKind) { shared.OsKind = osKind; }

    // The programs block, empty and of this layout, mapped for this process,
    // and the running programs table, empty unless a test made it before.
    ProgramsBlock programs{};
    std::unique_ptr<RunningPrograms> running;
    void UsePrograms();
    // Another process's copy of the library publishes its program, as at attach.
    RunningProgramClaim Publish(DWORD processId, const std::string& name);
    // An entry for a program, as a writer makes it: a new generation.
    // Returns its index.
    int AddProgram(const std::string& name);
    void SetProgramField(int entry, const char* field, int32_t value);
};

}  // namespace ptr::fake
