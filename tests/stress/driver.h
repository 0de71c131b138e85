// The stress run's driver. Each step is one of: the system hands a waiting
// input message to a hooked thread; the user presses, releases, turns the
// wheel or moves; some program hands the hook a message of its own making
// (any identifier, marker, index, window and point); the low-level hooks,
// the message-filter hook, the auto-scroll exports, the legacy wheel window,
// process attach or InstallHook are called; or the desktop or the block
// change under the hooks. Every call of a hook procedure or export is
// followed by the invariants; the first one broken ends the run.
#pragma once

#include "function_codes.h"
#include "invariants.h"
#include "rng.h"
#include "world.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>

namespace ptr::stress {

struct Counters {
    uint64_t calls = 0;
    uint64_t mouseProc = 0;
    uint64_t lowLevel = 0;
    uint64_t sysMsg = 0;
    uint64_t autoScroll = 0;
    uint64_t legacy = 0;
    uint64_t install = 0;
    uint64_t attach = 0;
    uint64_t worlds = 0;
    uint64_t modeCalls[8] = {};   // calls made while each mode was active, in the order of kModes
    uint64_t modeStarts[8] = {};  // times each mode began
    uint64_t menuCalls = 0;       // calls made while a menu was open
    uint64_t buttonsJudged = 0;   // calls after which the held buttons were judged
    uint64_t programsPublished = 0;  // programs the copies of the library published in the running programs table
    int maxTabCount = 0;
    size_t maxQueue = 0;
};

constexpr uint32_t kModes[8] = {function::kDragLock,         function::kShiftLock,       function::kControlLock,
                                 function::kHorizontalWheel, function::kUniversalScroll, function::kAutoScroll,
                                 function::kUniversalZoom,   function::kTaskSwitch};

// An input event as the system takes it in, before any hook.
struct RawInput {
    enum Kind { Move, Down, Up, Wheel, Tilt } kind;
    unsigned button;   // HELD_... bit for Down and Up
    uint16_t xIndex;   // the X button's number as the mouse reports it
    int16_t delta;     // Wheel and Tilt
    ULONG_PTR extra;
    POINT pt;
    DWORD llFlags;     // as the low-level hooks see them
};

// A message the system has queued for whichever thread owns the window under the cursor.
struct QueuedInput {
    UINT message;
    ULONG_PTR extra;
    DWORD mouseData;
    POINT pt;
};

class Driver {
public:
    explicit Driver(uint64_t seed);
    // Runs until `calls` hook calls were made; returns false at the first broken invariant.
    bool Run(uint64_t calls);
    const Counters& counters() const { return counters_; }
    const std::string& failure() const { return failure_; }
    std::string RecentCalls() const;

private:
    void NewWorld();
    void NewPhase();
    void Step();
    void Chaos();
    void Quiesce();

    // The system and the user.
    void SystemInput(const RawInput& input, bool injected);
    void FeedInjections(const std::vector<fake::Injection>& injections);
    void DeliverQueued();
    void UserAction();
    void PressButton(unsigned button);
    void ReleaseButton(unsigned button);

    // The calls, each checked.
    void CallMouseProc(int process, int code, UINT message, MOUSEHOOKSTRUCTEX* data, const char* source);
    bool CallLowLevel(bool xButtonHook, WPARAM message, MSLLHOOKSTRUCT* event, int code);
    void ChaosMouseProc();
    void LowLevelOddity();
    void MenuFilter();
    void AutoScrollOperation();
    void LegacyWheelWindow();
    void Reattach();
    void Install(int32_t install);
    void RandomInstall();
    void ChangeDesktop();
    void ChangeBlock();
    void ModifierKeys();
    void WindowUnderCursor();

    void Record(const char* format, ...);
    void AfterCall();
    void Fail(const std::string& what);

    uint64_t seed_;
    Rng rng_;
    std::unique_ptr<World> world_;
    UserState user_;
    AgentView view_;
    std::deque<QueuedInput> queue_;
    POINT cursor_ = {100, 100};
    uint16_t xOtherIndex_ = 3;              // the index the mouse reports for its other X button
    std::map<unsigned, DWORD> pressFlags_;  // low-level flags of each held button's press
    uint64_t worldEnds_ = 0;
    // A phase: how often some program meddles, and what the user mostly does.
    uint64_t phaseEnds_ = 0;
    int chaosPercent_ = 10;
    int pressPercent_ = 30;
    int releasePercent_ = 30;
    int wheelPercent_ = 20;
    uint32_t lastMode_ = 0;
    bool foreignButtons_ = false;  // some program's button message since the user last held nothing
    Counters counters_;
    std::string failure_;
    bool failed_ = false;

    static constexpr int kRecent = 3000;
    std::string recent_[kRecent];
    uint64_t recordedFor_ = ~uint64_t(0);
};

}  // namespace ptr::stress
