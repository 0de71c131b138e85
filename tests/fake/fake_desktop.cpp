#include "fake_desktop.h"

#include "settings_fields.h"

#include <algorithm>
#include <set>
#include <cstdio>
#include <cstring>

namespace ptr::fake {

namespace {

std::string Hex(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string HandleText(HWND window) { return Hex(reinterpret_cast<uintptr_t>(window)); }

std::string MouseFlagNames(DWORD flags) {
    static const struct {
        DWORD flag;
        const char* name;
    } names[] = {{MOUSEEVENTF_MOVE, "MOVE"},         {MOUSEEVENTF_LEFTDOWN, "LEFTDOWN"},
                 {MOUSEEVENTF_LEFTUP, "LEFTUP"},     {MOUSEEVENTF_RIGHTDOWN, "RIGHTDOWN"},
                 {MOUSEEVENTF_RIGHTUP, "RIGHTUP"},   {MOUSEEVENTF_MIDDLEDOWN, "MIDDLEDOWN"},
                 {MOUSEEVENTF_MIDDLEUP, "MIDDLEUP"}, {MOUSEEVENTF_XDOWN, "XDOWN"},
                 {MOUSEEVENTF_XUP, "XUP"},           {MOUSEEVENTF_WHEEL, "WHEEL"},
                 {MOUSEEVENTF_ABSOLUTE, "ABSOLUTE"}};
    std::string text;
    DWORD rest = flags;
    for (const auto& n : names) {
        if (flags & n.flag) {
            if (!text.empty()) text += "|";
            text += n.name;
            rest &= ~n.flag;
        }
    }
    if (rest != 0 || text.empty()) {
        if (!text.empty()) text += "|";
        text += Hex(rest);
    }
    return text;
}

std::string MessageEntry(const char* verb, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return std::string(verb) + " " + HandleText(window) + " " + MessageName(message) + " wp=" +
           Hex(static_cast<uint64_t>(wParam)) + " lp=" + Hex(static_cast<uint64_t>(lParam));
}

}  // namespace

std::string MessageName(UINT message) {
    switch (message) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_VSCROLL: return "WM_VSCROLL";
    case WM_HSCROLL: return "WM_HSCROLL";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_APPCOMMAND: return "WM_APPCOMMAND";
    case UM_SETTINGSCHANGED: return "UM_SETTINGSCHANGED";
    case UM_MODESTATE: return "UM_MODESTATE";
    case UM_MODEEND: return "UM_MODEEND";
    case UM_ZOOMSTART: return "UM_ZOOMSTART";
    case UM_ZOOMEND: return "UM_ZOOMEND";
    case UM_ZOOMWHEEL: return "UM_ZOOMWHEEL";
    case UM_AUTOSCROLLSTART: return "UM_AUTOSCROLLSTART";
    case UM_AUTOSCROLLEND: return "UM_AUTOSCROLLEND";
    case UM_LAUNCHBROWSER: return "UM_LAUNCHBROWSER";
    case UM_CONNECTINTERNET: return "UM_CONNECTINTERNET";
    case UM_LAUNCHMAIL: return "UM_LAUNCHMAIL";
    default: return "msg" + Hex(message);
    }
}

std::string Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MessageEntry("post", window, message, wParam, lParam);
}

std::string Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MessageEntry("send", window, message, wParam, lParam);
}

std::string Mouse(DWORD flags, DWORD data, uint32_t extra, int dx, int dy) {
    std::string text = "mouse " + MouseFlagNames(flags);
    if (dx != 0 || dy != 0) text += " at=" + std::to_string(dx) + "," + std::to_string(dy);
    return text + " data=" + Hex(data) + " extra=" + Hex(extra);
}

std::string Key(BYTE vk, DWORD flags) {
    std::string text = "key " + Hex(vk) + ((flags & KEYEVENTF_KEYUP) ? " up" : " down");
    if (flags & KEYEVENTF_EXTENDEDKEY) text += " ext";
    DWORD rest = flags & ~(KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY);
    if (rest) text += " flags=" + Hex(rest);
    return text;
}

std::string Focus(HWND window) { return "focus " + HandleText(window); }
std::string Foreground(HWND window) { return "foreground " + HandleText(window); }
std::string Capture(HWND window) { return "capture " + HandleText(window); }
std::string ReleaseCaptureEntry() { return "releasecapture"; }
std::string CursorTo(int x, int y) { return "cursor " + std::to_string(x) + "," + std::to_string(y); }
std::string Exec(const std::string& commandLine, UINT show) {
    return "exec \"" + commandLine + "\" show=" + std::to_string(show);
}

std::string Hook(int idHook, HookProcId proc) {
    static const char* procs[] = {"MouseProc", "SysMsgHookProc", "LowLevelMouseProc", "LowLevelMouseProc5"};
    return "hook " + std::to_string(idHook) + " " + procs[static_cast<int>(proc)];
}

std::string Unhook(HHOOK hook) { return "unhook " + Hex(reinterpret_cast<uintptr_t>(hook)); }
std::string Sleep(DWORD milliseconds) { return "sleep " + std::to_string(milliseconds); }
std::string Quit(int exitCode) { return "quit " + std::to_string(exitCode); }

FakeDesktop::FakeDesktop() {
    SetVersion(VER_PLATFORM_WIN32_NT, 5, 1);
    metrics_[SM_CXSCREEN] = 1024;
    metrics_[SM_CYSCREEN] = 768;
    metrics_[SM_XVIRTUALSCREEN] = 0;
    metrics_[SM_YVIRTUALSCREEN] = 0;
    metrics_[SM_CXVIRTUALSCREEN] = 1024;
    metrics_[SM_CYVIRTUALSCREEN] = 768;
    metrics_[SM_CMOUSEBUTTONS] = 3;
}

HWND FakeDesktop::AddWindow(const std::string& className, LONG style, RECT rect, HWND parent) {
    HWND window = reinterpret_cast<HWND>(nextHandle_);
    nextHandle_ += 0x10;
    Window w;
    w.className = className;
    w.style = style;
    w.rect = rect;
    w.parent = parent;
    windows_[window] = w;
    order_.push_back(window);
    return window;
}

Window& FakeDesktop::WindowOf(HWND window) { return windows_.at(window); }

void FakeDesktop::RemoveWindow(HWND window) {
    windows_.erase(window);
    order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
}

void FakeDesktop::SetVersion(DWORD platformId, DWORD major, DWORD minor) {
    version_ = {};
    version_.dwPlatformId = platformId;
    version_.dwMajorVersion = major;
    version_.dwMinorVersion = minor;
}

BOOL FakeDesktop::GetVersionExA(OSVERSIONINFOA* info) {
    Note(__func__);
    versionSizes_.push_back(info->dwOSVersionInfoSize);
    if (failVersion_ > 0) {
        --failVersion_;
        return FALSE;
    }
    DWORD size = info->dwOSVersionInfoSize;
    *info = version_;
    info->dwOSVersionInfoSize = size;
    return TRUE;
}

DWORD FakeDesktop::GetModuleFileNameA(char* buffer, DWORD size) {
    Note(__func__);
    if (size == 0) return 0;
    DWORD n = static_cast<DWORD>(std::min<size_t>(exePath_.size(), size - 1));
    std::memcpy(buffer, exePath_.data(), n);
    buffer[n] = '\0';
    return n;
}

UINT FakeDesktop::RegisterWindowMessageA(const char* name) {
    Note(__func__);
    auto found = registered_.find(name);
    if (found != registered_.end()) return found->second;
    UINT id = 0xC000 + static_cast<UINT>(registered_.size());
    registered_[name] = id;
    return id;
}

void FakeDesktop::SetButtonsSwapped(bool swapped) { metrics_[SM_SWAPBUTTON] = swapped ? 1 : 0; }

bool FakeDesktop::ButtonsSwapped() const {
    auto found = metrics_.find(SM_SWAPBUTTON);
    return found != metrics_.end() && found->second != 0;
}

int FakeDesktop::GetSystemMetrics(int index) {
    Note(__func__);
    auto found = metrics_.find(index);
    return found == metrics_.end() ? 0 : found->second;
}

UINT FakeDesktop::WinExec(const char* commandLine, UINT show) {
    Note(__func__);
    log_.push_back(Exec(commandLine, show));
    return 33;
}

void FakeDesktop::Sleep(DWORD milliseconds) {
    Note(__func__);
    log_.push_back(fake::Sleep(milliseconds));
    tickCount_ += milliseconds;
}

HHOOK FakeDesktop::SetWindowsHookExA(int idHook, HookProcId proc) {
    Note(__func__);
    log_.push_back(Hook(idHook, proc));
    if (failHook_[idHook]) return nullptr;
    HHOOK hook = reinterpret_cast<HHOOK>(nextHook_);
    nextHook_ += 0x10;
    return hook;
}

BOOL FakeDesktop::UnhookWindowsHookEx(HHOOK hook) {
    Note(__func__);
    log_.push_back(Unhook(hook));
    return TRUE;
}

LRESULT FakeDesktop::CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    Note(__func__);
    ++callNextCount_;
    lastCallNext_ = {hook, code, wParam, lParam};
    return nextHookResult_;
}

int FakeDesktop::GetClassNameA(HWND window, char* buffer, int size) {
    Note(__func__);
    auto found = windows_.find(window);
    if (found == windows_.end() || size <= 0) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    const std::string& name = found->second.className;
    int n = std::min<int>(static_cast<int>(name.size()), size - 1);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return n;
}

HWND FakeDesktop::GetParent(HWND window) {
    Note(__func__);
    auto found = windows_.find(window);
    return found == windows_.end() ? nullptr : found->second.parent;
}

LONG FakeDesktop::GetWindowLongA(HWND window, int index) {
    Note(__func__);
    auto found = windows_.find(window);
    if (found == windows_.end() || index != GWL_STYLE) return 0;
    return found->second.style;
}

BOOL FakeDesktop::GetWindowRect(HWND window, RECT* rect) {
    Note(__func__);
    auto found = windows_.find(window);
    if (found == windows_.end()) return FALSE;
    *rect = found->second.rect;
    return TRUE;
}

int FakeDesktop::Depth(HWND window) {
    // A parent chain may loop on this desktop (the tests make one); it counts as deep.
    int depth = 0;
    for (HWND p = GetParent(window); p && depth < kMaxFakeDepth; p = GetParent(p)) ++depth;
    return depth;
}

HWND FakeDesktop::WindowFromPoint(POINT point) {
    Note(__func__);
    if (pointOverrideSet_) return pointOverride_;
    HWND best = nullptr;
    int bestDepth = -1;
    for (HWND window : order_) {
        const Window& w = windows_[window];
        if (!(w.style & WS_VISIBLE)) continue;
        if (point.x < w.rect.left || point.x >= w.rect.right || point.y < w.rect.top || point.y >= w.rect.bottom)
            continue;
        int depth = Depth(window);
        if (depth >= bestDepth) {
            best = window;
            bestDepth = depth;
        }
    }
    return best;
}

void FakeDesktop::Descendants(HWND parent, std::vector<HWND>& out) {
    std::vector<HWND> pending = {parent};
    std::set<HWND> seen = {parent};
    while (!pending.empty()) {
        HWND current = pending.back();
        pending.pop_back();
        for (HWND window : order_) {
            if (windows_[window].parent != current || !seen.insert(window).second) continue;
            out.push_back(window);
            pending.push_back(window);
        }
    }
}

void FakeDesktop::EnumChildWindows(HWND parent, ChildVisitor visit, void* context) {
    Note(__func__);
    std::vector<HWND> children;
    Descendants(parent, children);
    for (HWND child : children) visit(child, context);
}

BOOL FakeDesktop::IsWindow(HWND window) {
    Note(__func__); return windows_.count(window) ? TRUE : FALSE; }

BOOL FakeDesktop::IsZoomed(HWND window) {
    Note(__func__);
    auto found = windows_.find(window);
    return found != windows_.end() && found->second.zoomed;
}

BOOL FakeDesktop::IsIconic(HWND window) {
    Note(__func__);
    auto found = windows_.find(window);
    return found != windows_.end() && found->second.iconic;
}

void FakeDesktop::ClearLog() {
    log_.clear();
    deliveries_.clear();
    injections_.clear();
    keyEvents_.clear();
}

void FakeDesktop::RecordDelivery(const std::string& entry, const Delivery& delivery) {
    log_.push_back(entry);
    deliveries_.push_back(delivery);
    if (!windows_.count(delivery.window)) {
        ++misdirected_;
        lastMisdirected_ = entry;
    }
}

BOOL FakeDesktop::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Note(__func__);
    RecordDelivery(Post(window, message, wParam, lParam), {window, message, wParam, lParam, false, 0, 0});
    return TRUE;
}

LRESULT FakeDesktop::SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                                         UINT timeout, DWORD_PTR* result) {
    Note(__func__);
    RecordDelivery(Send(window, message, wParam, lParam), {window, message, wParam, lParam, true, flags, timeout});
    lastSendFlags_ = flags;
    lastSendTimeout_ = timeout;
    if (result) *result = static_cast<DWORD_PTR>(sendResult_);
    return TRUE;
}

void FakeDesktop::PostQuitMessage(int exitCode) {
    Note(__func__); log_.push_back(Quit(exitCode)); }

LRESULT FakeDesktop::DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    Note(__func__); return 0x0DEF; }

void FakeDesktop::TrackButtons(DWORD flags, DWORD data) {
    auto track = [this, flags](DWORD down, DWORD up, unsigned button) {
        if (flags & down) heldButtons_ |= button;
        if (flags & up) heldButtons_ &= ~button;
    };
    track(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, HELD_LEFT);
    track(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, HELD_RIGHT);
    track(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, HELD_MIDDLE);
    if (data & XBUTTON1) track(MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, HELD_X1);
    if (data & XBUTTON2) track(MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, HELD_X2);
}

void FakeDesktop::mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, ULONG_PTR extra) {
    Note(__func__);
    log_.push_back(Mouse(flags, data, static_cast<uint32_t>(extra), static_cast<int>(dx), static_cast<int>(dy)));
    injections_.push_back({flags, dx, dy, data, extra});
    TrackButtons(flags, data);
}

void FakeDesktop::keybd_event(BYTE vk, BYTE, DWORD flags, ULONG_PTR) {
    Note(__func__);
    log_.push_back(Key(vk, flags));
    keyEvents_.push_back({vk, flags});
    if (flags & KEYEVENTF_KEYUP)
        heldKeys_.erase(vk);
    else
        heldKeys_.insert(vk);
}

UINT FakeDesktop::MapVirtualKeyA(UINT code, UINT) {
    Note(__func__);
    // A stable, recognisable scan code per key: the key code plus 0x80, cut to a byte.
    return (code + 0x80) & 0xFF;
}

SHORT FakeDesktop::GetKeyState(int vk) {
    Note(__func__);
    auto found = keyState_.find(vk);
    return found == keyState_.end() ? 0 : found->second;
}

HWND FakeDesktop::GetFocus() {
    Note(__func__); return focus_; }

HWND FakeDesktop::SetFocus(HWND window) {
    Note(__func__);
    log_.push_back(Focus(window));
    HWND previous = focus_;
    focus_ = window;
    return previous;
}

HWND FakeDesktop::GetForegroundWindow() {
    Note(__func__); return foreground_; }

BOOL FakeDesktop::SetForegroundWindow(HWND window) {
    Note(__func__);
    log_.push_back(Foreground(window));
    foreground_ = window;
    return TRUE;
}

HWND FakeDesktop::SetCapture(HWND window) {
    Note(__func__);
    log_.push_back(Capture(window));
    HWND previous = capture_;
    capture_ = window;
    return previous;
}

BOOL FakeDesktop::ReleaseCapture() {
    Note(__func__);
    log_.push_back(ReleaseCaptureEntry());
    capture_ = nullptr;
    return TRUE;
}

BOOL FakeDesktop::GetCursorPos(POINT* point) {
    Note(__func__);
    *point = cursor_;
    return TRUE;
}

BOOL FakeDesktop::SetCursorPos(int x, int y) {
    Note(__func__);
    log_.push_back(CursorTo(x, y));
    cursor_ = {x, y};
    return TRUE;
}

ATOM FakeDesktop::RegisterClassExA(const WNDCLASSEXA* windowClass) {
    Note(__func__);
    std::string name = windowClass->lpszClassName;
    log_.push_back("registerclass " + name + " size=" + std::to_string(windowClass->cbSize) +
                   " style=" + std::to_string(windowClass->style));
    if (classes_[name]) return 0;
    classes_[name] = true;
    registeredProc_ = windowClass->lpfnWndProc;
    return static_cast<ATOM>(0xC100 + classes_.size());
}

HWND FakeDesktop::CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                                  int y, int width, int height, HWND parent, HMENU, HINSTANCE, void*) {
    Note(__func__);
    log_.push_back("createwindow " + std::string(className) + " \"" + title + "\" ex=" + Hex(exStyle) +
                   " style=" + Hex(style) + " " + std::to_string(x) + "," + std::to_string(y) + "," +
                   std::to_string(width) + "," + std::to_string(height) + " parent=" + HandleText(parent));
    return AddWindow(className, static_cast<LONG>(style), {0, 0, 0, 0}, parent);
}

void FakeDesktop::SetWindowOwner(HWND window, DWORD processId, DWORD threadId) {
    windows_.at(window).processId = processId;
    windows_.at(window).threadId = threadId;
}

DWORD FakeDesktop::GetWindowThreadProcessId(HWND window, DWORD* processId) {
    Note(__func__);
    auto found = windows_.find(window);
    if (found == windows_.end()) return 0;
    if (processId) *processId = found->second.processId;
    return found->second.threadId;
}

void FakeDesktop::Note(const char* function) {
    ++calls_;
    ++callsByName_[function];
}

int FakeDesktop::Calls(const std::string& function) const {
    for (const auto& entry : callsByName_)
        if (function == entry.first) return entry.second;
    return 0;
}

// As Windows-1252 does: ASCII letters, and the accented small letters from
// 0xE0 (but 0xF7, the division sign) to their capitals 0x20 below.
DWORD FakeDesktop::CharUpperBuffA(char* text, DWORD length) {
    Note(__func__);
    for (DWORD i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) text[i] = static_cast<char>(c - 0x20);
    }
    return length;
}

// The tray agent's first-run configuration for a three-button mouse.
void FakeHook::UseDefaultBlock() {
    block = SettingsBlock{};
    WriteFirstRunFields(block);
}

void FakeHook::UsePrograms() {
    programs = ProgramsBlock{};
    InitProgramsHeader(programs.Header);
    process.Programs = &programs;
    if (!running) running.reset(new RunningPrograms());
    PrepareRunningPrograms(*running);
    process.Running = running.get();
}

RunningProgramClaim FakeHook::Publish(DWORD processId, const std::string& name) {
    char upper[kProgramNameSize] = {};
    if (name.size() <= kMaxProgramNameLength) {
        std::memcpy(upper, name.data(), name.size());
        desk.CharUpperBuffA(upper, static_cast<DWORD>(name.size()));
    }
    return ClaimRunningProgram(*running, processId, upper);
}

int FakeHook::AddProgram(const std::string& name) {
    uint32_t odd = BeginProgramsChange(programs.Header);
    int index = static_cast<int>(programs.Header.Count++);
    ProgramEntry& entry = programs.Entries[index];
    entry = ProgramEntry{};
    std::snprintf(entry.Name, sizeof entry.Name, "%s", name.c_str());
    EndProgramsChange(programs.Header, odd);
    return index;
}

void FakeHook::SetProgramField(int entry, const char* field, int32_t value) {
    uint32_t odd = BeginProgramsChange(programs.Header);
    const SettingsField* row = FindSettingsField(field);
    WriteSettingsField(programs.Entries[entry].Values, *row, value);
    programs.Entries[entry].FieldMask |= FieldBit(field);
    EndProgramsChange(programs.Header, odd);
}

}  // namespace ptr::fake
