#include "driver.h"

#include "auto_scroll.h"
#include "function_codes.h"
#include "lifecycle.h"
#include "markers.h"
#include "mouse_proc.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace ptr::stress {
namespace {

constexpr unsigned kXButtons = fake::HELD_X1 | fake::HELD_X2 | HELD_XOTHER;
constexpr size_t kMaxQueue = 256;

// Windows XP and 2000 (and the later systems served as XP) most often.
VersionRow PickVersion(Rng& rng) {
    int r = rng.Range(0, 99);
    if (r < 30) return {VER_PLATFORM_WIN32_NT, 5, 1};
    if (r < 45) return {VER_PLATFORM_WIN32_NT, 5, 0};
    if (r < 53) return {VER_PLATFORM_WIN32_NT, 10, 0};
    if (r < 62) return {VER_PLATFORM_WIN32_WINDOWS, 4, 0};
    if (r < 70) return {VER_PLATFORM_WIN32_WINDOWS, 4, 10};
    if (r < 77) return {VER_PLATFORM_WIN32_WINDOWS, 4, 90};
    if (r < 90) return {VER_PLATFORM_WIN32_NT, 4, 0};
    return {VER_PLATFORM_WIN32_WINDOWS, 5, 0};
}

bool IsX(unsigned button) { return (button & kXButtons) != 0; }

// The message of a physical button's press or release, after the swap.
UINT ButtonMessage(unsigned button, bool down, bool swapped) {
    if (button == fake::HELD_LEFT || button == fake::HELD_RIGHT) {
        bool primary = (button == fake::HELD_LEFT) != swapped;
        if (primary) return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    }
    if (button == fake::HELD_MIDDLE) return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
}

// The low-level hooks see physical buttons, before the swap.
WPARAM LowLevelMessage(const RawInput& input) {
    switch (input.kind) {
    case RawInput::Move: return WM_MOUSEMOVE;
    case RawInput::Wheel: return WM_MOUSEWHEEL;
    case RawInput::Tilt: return WM_MOUSEHWHEEL;
    default: return ButtonMessage(input.button, input.kind == RawInput::Down, false);
    }
}

bool IsButtonMessage(UINT message) {
    return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
           (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) ||
           (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK) ||
           (message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK);
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

// A press within the double-click time and distance of the one before.
UINT DoubleClickOf(UINT message) { return message + 2; }

UINT NonClientOf(UINT message) {
    if (message == WM_MOUSEMOVE) return WM_NCMOUSEMOVE;
    if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) return message - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
    if (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) return message - WM_XBUTTONDOWN + WM_NCXBUTTONDOWN;
    return message;
}

// The physical button whose release a message reports, if it reports one.
unsigned ReleasedButton(UINT message, DWORD mouseData, bool swapped) {
    switch (message) {
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: return swapped ? fake::HELD_RIGHT : fake::HELD_LEFT;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP: return swapped ? fake::HELD_LEFT : fake::HELD_RIGHT;
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP: return fake::HELD_MIDDLE;
    case WM_XBUTTONUP:
    case WM_NCXBUTTONUP:
        return ((HIWORD(mouseData) & XBUTTON1) ? fake::HELD_X1 : 0u) | ((HIWORD(mouseData) & XBUTTON2) ? fake::HELD_X2 : 0u);
    default: return 0;
    }
}

int16_t PickDelta(Rng& rng) {
    int r = rng.Range(0, 99);
    if (r < 55) return rng.Pick<int16_t>({120, -120});
    if (r < 70) return static_cast<int16_t>(120 * rng.Range(-5, 5));
    if (r < 82) return rng.Pick<int16_t>({840, -840});
    if (r < 90) return rng.Pick<int16_t>({0, 60, -60, 1, -1});
    if (r < 95) return rng.Pick<int16_t>({32767, -32768, 32760, -32760});
    return static_cast<int16_t>(rng.Bits32());
}

// A small move that stays a coordinate, also from the far edges.
LONG Nudge(LONG value, int step) {
    int64_t moved = static_cast<int64_t>(value) + step;
    return static_cast<LONG>(std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, moved)));
}

LRESULT CALLBACK UnusedWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

uint16_t XIndexOf(unsigned button, uint16_t other) {
    if (button == fake::HELD_X1) return XBUTTON1;
    if (button == fake::HELD_X2) return XBUTTON2;
    return other;
}

}  // namespace

Driver::Driver(uint64_t seed) : seed_(seed), rng_(seed) { NewWorld(); }

void Driver::NewWorld() {
    world_ = std::make_unique<World>();
    BuildWorld(*world_, rng_, PickVersion(rng_));
    user_ = UserState{};
    view_ = AgentView{world_->block.AgentWindow};
    queue_.clear();
    cursor_ = PickPoint(*world_, rng_);
    world_->desk.SetCursor(cursor_.x, cursor_.y);
    worldEnds_ = counters_.calls + static_cast<uint64_t>(rng_.Range(2000, 20000));
    ++counters_.worlds;
    Install(1);
}

bool Driver::Run(uint64_t calls) {
    while (counters_.calls < calls && !failed_) {
        if (counters_.calls >= worldEnds_) {
            counters_.programsPublished += world_->running.Header.Clock;
            Quiesce();
            if (!failed_) NewWorld();
        }
        Step();
    }
    if (!failed_) Quiesce();
    return !failed_;
}

void Driver::NewPhase() {
    phaseEnds_ = counters_.calls + static_cast<uint64_t>(rng_.Range(50, 3000));
    chaosPercent_ = rng_.Pick({0, 2, 10, 25, 60});
    pressPercent_ = rng_.Pick({5, 15, 30, 50});
    // Now and then the user keeps a button down for long: a task switch through many windows.
    releasePercent_ = rng_.Pick({1, 5, 15, 40});
    wheelPercent_ = rng_.Pick({10, 30, 70, 95});
}

void Driver::Step() {
    if (counters_.calls >= phaseEnds_) NewPhase();
    if (user_.held == 0 && queue_.empty()) foreignButtons_ = false;
    if (!queue_.empty() && rng_.Percent(55)) return DeliverQueued();
    // While its auto scroll runs, the tray agent keeps calling the exports.
    if (view_.autoScrolling && rng_.Percent(30)) return AutoScrollOperation();
    if (rng_.Percent(chaosPercent_)) return Chaos();
    int r = rng_.Range(0, 99);
    if (r < 70) return UserAction();
    if (r < 78) return AutoScrollOperation();
    if (r < 81) return MenuFilter();
    if (r < 85) return WindowUnderCursor();
    if (r < 88) return ModifierKeys();
    if (r < 89) return Reattach();
    if (r < 91) return user_.held == 0 && queue_.empty() ? RandomInstall() : UserAction();
    if (r < 96) return ChangeDesktop();
    if (r < 98) return ChangeBlock();
    LegacyWheelWindow();
}

// Some program, or the desktop, does something the user did not.
void Driver::Chaos() {
    int r = rng_.Range(0, 99);
    if (r < 60) return ChaosMouseProc();
    if (r < 70) return LowLevelOddity();
    if (r < 78) return MenuFilter();
    if (r < 83) return LegacyWheelWindow();
    if (r < 93) return ChangeDesktop();
    ChangeBlock();
}

// The user lets go of everything, the system hands out what waits, and the
// tray agent exits: InstallHook(0) must leave nothing held.
void Driver::Quiesce() {
    for (unsigned button = 1; button <= HELD_XOTHER && !failed_; button <<= 1)
        if (user_.held & button) ReleaseButton(button);
    for (int guard = 0; !queue_.empty() && !failed_ && guard < 4096; ++guard) DeliverQueued();
    if (!queue_.empty()) Fail("the input queue never drains");
    if (failed_) return;
    Install(0);
    if (!failed_ && (!world_->desk.HeldKeys().empty() || world_->desk.HeldButtons() != 0))
        Fail("InstallHook(0) left input held down");
}

// ---- The system and the user ----

void Driver::SystemInput(const RawInput& input, bool injected) {
    World& w = *world_;
    bool swallowed = false;
    if (w.hooks.XButtonHook != 0 || w.hooks.Nt4WheelHook != 0) {
        MSLLHOOKSTRUCT event = {};
        event.pt = input.pt;
        event.flags = injected ? LLMHF_INJECTED : input.llFlags;
        event.dwExtraInfo = input.extra;
        if (input.kind == RawInput::Wheel || input.kind == RawInput::Tilt)
            event.mouseData = static_cast<DWORD>(static_cast<uint16_t>(input.delta)) << 16;
        if (IsX(input.button)) event.mouseData = static_cast<DWORD>(input.xIndex) << 16;
        WPARAM message = LowLevelMessage(input);
        if (w.hooks.XButtonHook != 0) swallowed = CallLowLevel(true, message, &event, HC_ACTION);
        if (!swallowed && !failed_ && w.hooks.Nt4WheelHook != 0)
            swallowed = CallLowLevel(false, message, &event, HC_ACTION);
    }
    if (swallowed || failed_) return;

    QueuedInput queued = {WM_MOUSEMOVE, input.extra, 0, input.pt};
    switch (input.kind) {
    case RawInput::Move: break;
    case RawInput::Down:
    case RawInput::Up:
        if (!injected && input.kind == RawInput::Up) w.desk.ButtonsWentUp(input.button);
        queued.message = ButtonMessage(input.button, input.kind == RawInput::Down, w.primaryIsRight);
        if (IsX(input.button)) queued.mouseData = static_cast<DWORD>(input.xIndex) << 16;
        break;
    case RawInput::Wheel: {
        uint16_t raw = static_cast<uint16_t>(input.delta);
        queued.message = WM_MOUSEWHEEL;
        queued.mouseData = static_cast<DWORD>(raw) << 16;
        if (!injected && w.shared.OsKind == OS_WIN95) {
            // The Windows 95 wheel arrives as a marked middle release.
            queued.message = WM_MBUTTONUP;
            queued.extra = ExtraInfo(MARK_WHEEL, raw);
            w.desk.ButtonsWentUp(fake::HELD_MIDDLE);
        } else if (!injected && w.shared.OsKind != OS_WIN2000 && w.shared.OsKind != OS_WINXP) {
            queued.extra = raw;  // where the mouse driver of these systems puts the delta
        }
        break;
    }
    case RawInput::Tilt:
        queued.message = WM_MOUSEHWHEEL;
        queued.mouseData = static_cast<DWORD>(static_cast<uint16_t>(input.delta)) << 16;
        break;
    }
    queue_.push_back(queued);
    if (queue_.size() > counters_.maxQueue) counters_.maxQueue = queue_.size();
}

void Driver::FeedInjections(const std::vector<fake::Injection>& injections) {
    static const struct {
        DWORD flag;
        RawInput::Kind kind;
        unsigned button;
    } kButtonFlags[] = {
        {MOUSEEVENTF_LEFTDOWN, RawInput::Down, fake::HELD_LEFT},     {MOUSEEVENTF_LEFTUP, RawInput::Up, fake::HELD_LEFT},
        {MOUSEEVENTF_RIGHTDOWN, RawInput::Down, fake::HELD_RIGHT},   {MOUSEEVENTF_RIGHTUP, RawInput::Up, fake::HELD_RIGHT},
        {MOUSEEVENTF_MIDDLEDOWN, RawInput::Down, fake::HELD_MIDDLE}, {MOUSEEVENTF_MIDDLEUP, RawInput::Up, fake::HELD_MIDDLE},
    };
    for (const fake::Injection& injection : injections) {
        if (failed_) return;
        RawInput input = {RawInput::Move, 0, 0, 0, injection.extra, cursor_, LLMHF_INJECTED};
        if (injection.flags & MOUSEEVENTF_MOVE) SystemInput(input, true);
        for (const auto& b : kButtonFlags) {
            if (!(injection.flags & b.flag)) continue;
            input.kind = b.kind;
            input.button = b.button;
            SystemInput(input, true);
        }
        for (DWORD xFlag : {DWORD(MOUSEEVENTF_XDOWN), DWORD(MOUSEEVENTF_XUP)}) {
            if (!(injection.flags & xFlag)) continue;
            input.kind = xFlag == MOUSEEVENTF_XDOWN ? RawInput::Down : RawInput::Up;
            for (uint16_t index : {uint16_t(XBUTTON1), uint16_t(XBUTTON2)}) {
                if (!(injection.data & index)) continue;
                input.button = index == XBUTTON1 ? fake::HELD_X1 : fake::HELD_X2;
                input.xIndex = index;
                SystemInput(input, true);
            }
        }
        if (injection.flags & MOUSEEVENTF_WHEEL) {
            input.kind = RawInput::Wheel;
            input.button = 0;
            input.delta = static_cast<int16_t>(injection.data);
            SystemInput(input, true);
        }
    }
}

void Driver::DeliverQueued() {
    World& w = *world_;
    size_t index = 0;
    // Each thread takes its own messages: another one may come first.
    if (queue_.size() > 1 && rng_.Percent(12)) index = rng_.Below(static_cast<uint32_t>(queue_.size()));
    QueuedInput input = queue_[index];
    queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(index));

    UINT message = input.message;
    if (IsButtonDown(message) && rng_.Percent(10)) message = DoubleClickOf(message);
    if (rng_.Percent(12)) message = NonClientOf(message);
    HWND capture = w.desk.CaptureWindow();
    HWND window = capture != nullptr && w.desk.HasWindow(capture) ? capture : w.desk.WindowFromPoint(input.pt);
    int process = window != nullptr ? w.OwnerOf(window) : rng_.Range(1, kProcesses - 1);

    MOUSEHOOKSTRUCTEX data = {};
    data.pt = input.pt;
    data.hwnd = window;
    data.wHitTestCode = HTCLIENT;
    data.dwExtraInfo = input.extra;
    data.mouseData = input.mouseData;
    // A program that peeks first sees the message once without removing it.
    if (rng_.Percent(4)) CallMouseProc(process, HC_NOREMOVE, message, &data, "peeked");
    if (!failed_) CallMouseProc(process, HC_ACTION, message, &data, "queued");
}

void Driver::UserAction() {
    unsigned all = fake::HELD_LEFT | fake::HELD_RIGHT | fake::HELD_MIDDLE | kXButtons;
    unsigned free = all & ~user_.held;
    if (rng_.Percent(pressPercent_) && free != 0) {
        static const struct {
            unsigned button;
            int weight;
        } kWeights[] = {{fake::HELD_MIDDLE, 40}, {fake::HELD_X1, 17},    {fake::HELD_X2, 13},
                        {fake::HELD_LEFT, 15},   {fake::HELD_RIGHT, 10}, {HELD_XOTHER, 5}};
        int total = 0;
        for (const auto& w : kWeights)
            if (free & w.button) total += w.weight;
        int pick = rng_.Range(0, total - 1);
        for (const auto& w : kWeights) {
            if (!(free & w.button)) continue;
            if (pick < w.weight) return PressButton(w.button);
            pick -= w.weight;
        }
    }
    if (rng_.Percent(releasePercent_) && user_.held != 0) {
        unsigned button = 1;
        do button = 1u << rng_.Range(0, 5);
        while (!(user_.held & button));
        return ReleaseButton(button);
    }
    if (rng_.Percent(wheelPercent_)) {
        // A tilt (or a touchpad's sideways swipe) now and then, where the system sends them.
        bool tilt = rng_.Percent(world_->shared.OsKind == OS_WINXP ? 20 : 2);
        RawInput wheel = {tilt ? RawInput::Tilt : RawInput::Wheel, 0, 0, PickDelta(rng_), 0, cursor_, 0};
        Record("user %s the wheel %d", tilt ? "tilts" : "turns", wheel.delta);
        return SystemInput(wheel, false);
    }
    if (rng_.Percent(70))
        cursor_ = {Nudge(cursor_.x, rng_.Range(-40, 40)), Nudge(cursor_.y, rng_.Range(-40, 40))};
    else
        cursor_ = PickPoint(*world_, rng_);
    world_->desk.SetCursor(cursor_.x, cursor_.y);
    SystemInput({RawInput::Move, 0, 0, 0, 0, cursor_, 0}, false);
}

void Driver::PressButton(unsigned button) {
    World& w = *world_;
    user_.held |= button;
    // The settings program changes the button's function now and then, live.
    if ((button == fake::HELD_MIDDLE || IsX(button)) && rng_.Percent(25)) {
        int slot = button == fake::HELD_MIDDLE ? 0 : button == fake::HELD_X1 ? 1 : button == fake::HELD_X2 ? 2 : rng_.Range(0, 4);
        w.block.ButtonFunction[slot] = PickFunction(rng_);
    }
    if (button == HELD_XOTHER) xOtherIndex_ = rng_.Pick<uint16_t>({0, 3, 4, 0x40, 0xFFFF});
    // The X-button hook takes the press, unless it was made by a program of the same level.
    DWORD flags = IsX(button) && rng_.Percent(10) ? (LLMHF_INJECTED | LLMHF_LOWER_IL_INJECTED) : 0;
    bool translates = IsX(button) && w.hooks.XButtonHook != 0;
    if (translates) user_.translated |= button;
    Record("user presses 0x%x", button);
    RawInput input = {RawInput::Down, button, XIndexOf(button, xOtherIndex_), 0, 0, cursor_, flags};
    SystemInput(input, false);
    pressFlags_[button] = flags;
}

void Driver::ReleaseButton(unsigned button) {
    Record("user releases 0x%x", button);
    RawInput input = {RawInput::Up, button, XIndexOf(button, xOtherIndex_), 0, 0, cursor_, pressFlags_[button]};
    SystemInput(input, false);
    user_.held &= ~button;
    user_.translated &= ~button;
}

// ---- The calls ----

void Driver::CallMouseProc(int process, int code, UINT message, MOUSEHOOKSTRUCTEX* data, const char* source) {
    World& w = *world_;
    // A menu flag is honoured only while a menu loop really runs; one left by
    // a menu that has closed is cleared and the message handled.
    bool inMenu = w.shared.MenuActive != 0 && w.desk.InMenuLoop();
    // In the thread that installed the hooks, Windows calls them also for the
    // programs of the other bitness, which their own library serves.
    bool otherBitness = data != nullptr && w.process[process].HookThread != 0 &&
                        !(w.desk.HasWindow(data->hwnd) && w.desk.WindowOf(data->hwnd).processId == ProcessIdOf(process));
    bool gated = code < 0 || code == HC_NOREMOVE || inMenu || data == nullptr || otherBitness ||
                 ((message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) && w.shared.Mode != function::kUniversalScroll);
    if (data != nullptr)
        Record("%s MouseProc p%d code %d msg 0x%x hwnd %p pt %ld,%ld extra 0x%llx data 0x%lx (Mode %u, release %d, "
               "held 0x%x)",
               source, process, code, message, static_cast<void*>(data->hwnd), data->pt.x, data->pt.y,
               static_cast<unsigned long long>(data->dwExtraInfo), data->mouseData, w.shared.Mode,
               w.shared.ReleaseAction, w.desk.HeldButtons());
    else
        Record("%s MouseProc p%d code %d msg 0x%x without a structure", source, process, code, message);
    MOUSEHOOKSTRUCTEX before = data != nullptr ? *data : MOUSEHOOKSTRUCTEX{};
    HookContext ctx = w.Context(process);
    w.desk.ClearLog();
    int passesBefore = w.desk.CallNextCount();
    LRESULT result = MouseHook(ctx, code, message, reinterpret_cast<LPARAM>(data));
    int passes = w.desk.CallNextCount() - passesBefore;
    ++counters_.mouseProc;
    if (data != nullptr && std::memcmp(&before, data, sizeof before) != 0) Fail("MouseProc changed the structure");
    if (!((passes == 1 && result == 0) || (passes == 0 && result == 1)))
        Fail("MouseProc answered " + std::to_string(result) + " after " + std::to_string(passes) + " passes");
    if (gated && (passes != 1 || !w.desk.log().empty())) Fail("MouseProc acted on a message it must only pass on");
    AfterCall();
}

bool Driver::CallLowLevel(bool xButtonHook, WPARAM message, MSLLHOOKSTRUCT* event, int code) {
    World& w = *world_;
    if (event != nullptr)
        Record("%s code %d msg 0x%llx flags %lu data 0x%lx extra 0x%llx", xButtonHook ? "LowLevelMouseProc5" : "LowLevelMouseProc",
               code, static_cast<unsigned long long>(message), event->flags, event->mouseData,
               static_cast<unsigned long long>(event->dwExtraInfo));
    else
        Record("%s code %d msg 0x%llx without a structure", xButtonHook ? "LowLevelMouseProc5" : "LowLevelMouseProc", code,
               static_cast<unsigned long long>(message));
    HookContext ctx = w.Context(kAgentProcess);
    w.desk.ClearLog();
    int passesBefore = w.desk.CallNextCount();
    LPARAM lParam = reinterpret_cast<LPARAM>(event);
    LRESULT result = xButtonHook ? LowLevelXButton(ctx, code, message, lParam) : LowLevelWheel(ctx, code, message, lParam);
    int passes = w.desk.CallNextCount() - passesBefore;
    ++counters_.lowLevel;
    bool swallowed = passes == 0 && result == 1;
    if (!swallowed && !(passes == 1 && result == 0))
        Fail("a low-level hook answered " + std::to_string(result) + " after " + std::to_string(passes) + " passes");
    // What it swallows it makes again, once, marked so that it is not caught twice.
    if (w.desk.Injections().size() != (swallowed ? 1u : 0u)) Fail("a low-level hook swallowed without making the event again");
    AfterCall();
    return swallowed;
}

void Driver::ChaosMouseProc() {
    World& w = *world_;
    static const UINT kMessages[] = {
        WM_MOUSEMOVE,     WM_LBUTTONDOWN,   WM_LBUTTONUP,     WM_LBUTTONDBLCLK,   WM_RBUTTONDOWN,   WM_RBUTTONUP,
        WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,   WM_MBUTTONUP,     WM_MBUTTONDBLCLK,   WM_MOUSEWHEEL,    WM_XBUTTONDOWN,
        WM_XBUTTONUP,     WM_XBUTTONDBLCLK, 0x020E,           WM_NCMOUSEMOVE,     WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,
        WM_NCLBUTTONDBLCLK, WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_NCRBUTTONDBLCLK, WM_NCMBUTTONDOWN, WM_NCMBUTTONUP,
        WM_NCMBUTTONDBLCLK, WM_NCXBUTTONDOWN, WM_NCXBUTTONUP, WM_NCXBUTTONDBLCLK,
    };
    int r = rng_.Range(0, 99);
    UINT message = r < 85 ? kMessages[rng_.Below(sizeof kMessages / sizeof kMessages[0])]
                          : (r < 95 ? static_cast<UINT>(rng_.Range(0, 0x400)) : rng_.Bits32());
    int c = rng_.Range(0, 99);
    int code = c < 85 ? HC_ACTION : c < 90 ? HC_NOREMOVE : c < 95 ? rng_.Pick({-1, INT_MIN}) : static_cast<int>(rng_.Bits32());

    MOUSEHOOKSTRUCTEX data = {};
    data.pt = PickPoint(w, rng_);
    data.hwnd = PickHandle(w, rng_);
    data.wHitTestCode = rng_.Pick<UINT>({HTCLIENT, HTCAPTION, HTVSCROLL, HTNOWHERE});
    uint16_t marker = rng_.Percent(90) ? rng_.Pick<uint16_t>({MARK_NONE, MARK_NONE, MARK_RUN, MARK_PASS, MARK_SELF, MARK_WHEEL})
                                       : static_cast<uint16_t>(rng_.Bits32());
    uint16_t low = rng_.Percent(85) ? rng_.Pick<uint16_t>({0, 1, 2, 3, 4, 5, 7, 0xFFFF}) : static_cast<uint16_t>(rng_.Bits32());
    data.dwExtraInfo = ExtraInfo(marker, low);
    if (sizeof(ULONG_PTR) > 4 && rng_.Percent(10)) data.dwExtraInfo |= static_cast<ULONG_PTR>(rng_.Next()) & ~ULONG_PTR(0xFFFFFFFF);
    data.mouseData = (static_cast<DWORD>(static_cast<uint16_t>(PickDelta(rng_))) << 16) |
                     (rng_.Percent(20) ? (rng_.Bits32() & 0xFFFF) : 0);
    bool withoutStructure = rng_.Percent(1);
    // What reaches a hooked thread went through the system first: a release there lets its button go.
    if (!withoutStructure && code >= 0) {
        w.desk.ButtonsWentUp(ReleasedButton(message, data.mouseData, w.primaryIsRight));
        if (IsButtonMessage(message) || HIWORD(data.dwExtraInfo) == MARK_WHEEL) foreignButtons_ = true;
    }
    CallMouseProc(rng_.Range(0, kProcesses - 1), code, message, withoutStructure ? nullptr : &data, "program");
}

// Low-level input that must pass: a negative code, events that were
// injected, messages that are no X button, or a missing structure. A wheel
// event the NT 4 hook takes is made again marked, like the user's.
void Driver::LowLevelOddity() {
    World& w = *world_;
    MSLLHOOKSTRUCT event = {};
    event.pt = PickPoint(w, rng_);
    event.mouseData = rng_.Bits32();
    event.flags = LLMHF_INJECTED;
    event.dwExtraInfo = rng_.Percent(50) ? ExtraInfo(MARK_WHEEL, static_cast<uint16_t>(rng_.Bits32())) : rng_.Bits32();
    if (event.dwExtraInfo >> 16 == 0) event.dwExtraInfo |= 0x10000;
    int r = rng_.Range(0, 99);
    bool xButtonHook = rng_.Percent(50);
    if (r < 30) {
        CallLowLevel(xButtonHook, rng_.Pick<WPARAM>({WM_XBUTTONDOWN, WM_XBUTTONUP, WM_MOUSEWHEEL}), &event,
                     rng_.Pick({-1, -3, INT_MIN}));
    } else if (r < 60) {
        CallLowLevel(true, rng_.Pick<WPARAM>({WM_XBUTTONDOWN, WM_XBUTTONUP}), &event, HC_ACTION);
    } else if (r < 80) {
        event.flags = rng_.Bits32() & 3;
        CallLowLevel(xButtonHook, rng_.Pick<WPARAM>({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL}), &event,
                     HC_ACTION);
    } else if (r < 90) {
        CallLowLevel(xButtonHook, rng_.Pick<WPARAM>({WM_XBUTTONDOWN, WM_MOUSEWHEEL}), nullptr, HC_ACTION);
    } else {
        event.flags = rng_.Bits32() & 3;
        event.dwExtraInfo = rng_.Bits32() & 0xFFFF;
        event.mouseData = static_cast<DWORD>(static_cast<uint16_t>(PickDelta(rng_))) << 16;
        CallLowLevel(false, WM_MOUSEWHEEL, &event, HC_ACTION);
    }
}

void Driver::MenuFilter() {
    World& w = *world_;
    MSG msg = {};
    int code = rng_.Percent(50) ? MSGF_MENU : rng_.Pick({MSGF_DIALOGBOX, MSGF_SCROLLBAR, -1, static_cast<int>(rng_.Bits32())});
    if (code == MSGF_MENU)
        msg.message = rng_.Percent(85) ? WM_MENUSELECT : rng_.Pick<UINT>({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_KEYDOWN, 0});
    else
        msg.message = rng_.Bits32() & 0xFFFF;
    msg.hwnd = PickHandle(w, rng_);
    bool withoutMessage = rng_.Percent(2);
    int process = rng_.Range(0, kProcesses - 1);
    // The filter runs inside a modal loop; a menu's loop may end at any time
    // after, without the filter seeing it end.
    w.desk.SetInMenuLoop(code == MSGF_MENU && rng_.Percent(70));
    Record("SysMsgHookProc p%d code %d msg 0x%x%s", process, code, msg.message, withoutMessage ? " without a MSG" : "");
    HookContext ctx = w.Context(process);
    w.desk.ClearLog();
    int passesBefore = w.desk.CallNextCount();
    LRESULT result = SysMsgFilter(ctx, code, rng_.Bits32(), withoutMessage ? 0 : reinterpret_cast<LPARAM>(&msg));
    ++counters_.sysMsg;
    if (w.desk.CallNextCount() != passesBefore + 1 || result != 0) Fail("SysMsgHookProc did not pass the call on");
    if (!w.desk.log().empty()) Fail("SysMsgHookProc acted");
    AfterCall();
}

void Driver::AutoScrollOperation() {
    World& w = *world_;
    int count = rng_.Percent(70) ? rng_.Range(-3, 40)
                                 : rng_.Pick<int>({272, 273, 274, 1000, 100000, INT_MAX, INT_MIN, -273});
    int which = rng_.Range(0, 3);
    static const char* const kNames[] = {"DoAutoUp", "DoAutoDown", "DoAutoLeft", "DoAutoRight"};
    static int (*const kOperations[])(HookContext&, int) = {AutoUp, AutoDown, AutoLeft, AutoRight};
    Record("%s(%d) target 0x%x kind 0x%x", kNames[which], count, w.shared.ScrollTarget, w.shared.ScrollKind);
    HookContext ctx = w.Context(kAgentProcess);
    w.desk.ClearLog();
    int result = kOperations[which](ctx, count);
    ++counters_.autoScroll;
    if (result != 1) Fail(std::string(kNames[which]) + " answered " + std::to_string(result));
    AfterCall();
}

void Driver::LegacyWheelWindow() {
    World& w = *world_;
    HookContext ctx = w.Context(kAgentProcess);
    ProcessState& agent = w.process[kAgentProcess];
    if (rng_.Percent(3)) {
        HWND parent = PickHandle(w, rng_);
        Record("CreateWheelWindow(parent %p) on OsKind %d", static_cast<void*>(parent), w.shared.OsKind);
        w.desk.ClearLog();
        HWND made = CreateLegacyWheelWindow(ctx, nullptr, parent, UnusedWindowProc);
        ++counters_.legacy;
        if (made != nullptr) w.owner[made] = kAgentProcess;
        if (made != nullptr && w.shared.OsKind != OS_WIN95) Fail("a legacy wheel window outside Windows 95");
        AfterCall();
        return;
    }
    UINT message = rng_.Pick<UINT>({agent.WheelSupportMessage, agent.ScrollLinesMessage, WM_CLOSE, WM_PAINT, 0,
                                    rng_.Bits32() & 0xFFFF});
    HWND window = PickHandle(w, rng_);
    Record("WheelWndProc(%p, 0x%x)", static_cast<void*>(window), message);
    w.desk.ClearLog();
    LRESULT result = LegacyWheelWindowProc(ctx, window, message, rng_.Bits32(), rng_.Bits32());
    ++counters_.legacy;
    LRESULT expected = 0x0DEF;  // the fake's DefWindowProcA
    if (agent.WheelSupportMessage != 0 && message == agent.WheelSupportMessage) expected = 1;
    else if (agent.ScrollLinesMessage != 0 && message == agent.ScrollLinesMessage) expected = w.block.WheelPageScroll ? -1 : 1;
    else if (message == WM_CLOSE) expected = 0;
    if (result != expected) Fail("WheelWndProc answered " + std::to_string(result));
    AfterCall();
}

// Another program starts and loads the library in the place of an old one.
void Driver::Reattach() {
    World& w = *world_;
    int process = rng_.Range(1, kProcesses - 1);
    static const char* const kPaths[] = {"C:\\APPS\\WINWORD.EXE", "C:\\APPS\\EXCEL.EXE", "C:\\APPS\\NETSCP6.EXE",
                                         "C:\\WINDOWS\\RUNDLL32.EXE", "C:\\APPS\\VIEWER.EXE"};
    const char* path = kPaths[rng_.Below(5)];
    Record("process %d attaches as %s", process, path);
    w.desk.ClearLog();
    AttachAs(w, rng_, process, path);
    ++counters_.attach;
    AfterCall();
}

// The tray agent starts or exits; only while the user holds nothing and no
// input waits, as an agent starts or is closed from its menu.
void Driver::RandomInstall() { Install(rng_.Pick<int32_t>({1, 1, 1, 0, 7, -1})); }

void Driver::Install(int32_t install) {
    World& w = *world_;
    Record("InstallHook(%d)", install);
    HookContext ctx = w.Context(kAgentProcess);
    w.desk.ClearLog();
    InstallHooks(ctx, install);
    ++counters_.install;
    if (install == 0) view_ = AgentView{w.block.AgentWindow};  // the agent that exits shows nothing more
    bool anyHook = w.hooks.MouseHook || w.hooks.MsgFilterHook || w.hooks.Nt4WheelHook || w.hooks.XButtonHook;
    if (install == 0 && anyHook) Fail("InstallHook(0) left a hook");
    if (install != 0 && (w.hooks.MouseHook == 0 || w.hooks.MsgFilterHook == 0)) Fail("InstallHook did not install");
    AfterCall();
}

void Driver::ChangeDesktop() {
    Record("the desktop changes");
    MutateDesktop(*world_, rng_);
}

void Driver::ChangeBlock() {
    Record("the block changes");
    MutateBlock(*world_, rng_);
}

void Driver::ModifierKeys() {
    int vk = rng_.Pick({VK_CONTROL, VK_SHIFT});
    world_->desk.SetKeyState(vk, rng_.Pick<SHORT>({0, 0, static_cast<SHORT>(0xFF80), 0x0001, static_cast<SHORT>(0x8000)}));
}

void Driver::WindowUnderCursor() {
    if (rng_.Percent(55))
        world_->desk.ClearWindowUnderCursor();
    else
        world_->desk.SetWindowUnderCursor(PickHandle(*world_, rng_));
}

// ---- After every call ----

void Driver::Record(const char* format, ...) {
    char text[224];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // Everything that leads up to one call is kept with it.
    std::string& slot = recent_[counters_.calls % kRecent];
    if (recordedFor_ == counters_.calls)
        slot += std::string(" | ") + text;
    else
        slot = std::to_string(counters_.calls + 1) + ": " + text;
    recordedFor_ = counters_.calls;
}

void Driver::AfterCall() {
    World& w = *world_;
    ++counters_.calls;
    for (int i = 0; i < 8; ++i) {
        if (w.shared.Mode != kModes[i]) continue;
        ++counters_.modeCalls[i];
        if (lastMode_ != kModes[i]) ++counters_.modeStarts[i];
    }
    lastMode_ = w.shared.Mode;
    if (w.shared.MenuActive) ++counters_.menuCalls;
    if (w.shared.TabCount > counters_.maxTabCount) counters_.maxTabCount = w.shared.TabCount;

    UpdateAgentView(view_, w);
    std::vector<fake::Injection> injections = w.desk.Injections();
    if (!failed_) {
        std::string found = CheckDeliveries(w);
        if (found.empty()) found = CheckHeldInput(w, user_, !foreignButtons_);
        if (!foreignButtons_) ++counters_.buttonsJudged;
        if (found.empty()) found = CheckSharedState(w, view_);
        if (found.empty() && queue_.size() > kMaxQueue) found = "input the hooks made keeps making more input";
        if (!found.empty()) Fail(found);
    }
    // The tray agent answers: it shows its auto-scroll window under the
    // cursor at the start and lets the capture go at the end.
    for (const fake::Delivery& d : w.desk.Deliveries()) {
        if (d.window != w.agent || !w.desk.HasWindow(w.agent)) continue;
        if (d.message == UM_AUTOSCROLLSTART && w.desk.HasWindow(w.autoScroll)) {
            w.desk.WindowOf(w.autoScroll).rect = {Nudge(cursor_.x, -12), Nudge(cursor_.y, -12), Nudge(cursor_.x, 12),
                                                  Nudge(cursor_.y, 12)};
            if (rng_.Percent(70)) w.desk.SetWindowUnderCursor(w.autoScroll);
        }
        if (d.message == UM_AUTOSCROLLEND) w.desk.ReleaseCapture();
    }
    if (!failed_) FeedInjections(injections);
}

void Driver::Fail(const std::string& what) {
    if (failed_) return;
    failed_ = true;
    failure_ = "after call " + std::to_string(counters_.calls) + ": " + what;
}

std::string Driver::RecentCalls() const {
    std::string text;
    uint64_t first = counters_.calls + 1 >= kRecent ? counters_.calls + 2 - kRecent : 1;
    for (uint64_t call = first; call <= counters_.calls + 1; ++call) {
        const std::string& line = recent_[(call - 1) % kRecent];
        if (!line.empty()) text += "  " + line + "\n";
    }
    return text;
}

}  // namespace ptr::stress
