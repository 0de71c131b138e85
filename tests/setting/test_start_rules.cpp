// Whether the settings program may start: the tray agent's window looked at
// for real (a crashed agent's handle, another window under the number), one
// program at a time with the named mutex, and the form letting go of its
// place in the block.
#include "peer_windows.h"
#include "single_instance.h"
#include "start_rules.h"

#include "suite_names.h"
#include "window_handles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using namespace setting;

namespace {

HWND MakeWindow(const char* className) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA agentClass = {};
        agentClass.lpfnWndProc = DefWindowProcA;
        agentClass.hInstance = GetModuleHandleA(nullptr);
        agentClass.lpszClassName = ptr::kAgentWindowClass;
        RegisterClassA(&agentClass);
        registered = true;
    }
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

struct OwnedWindow {
    HWND window;
    explicit OwnedWindow(const char* className) : window(MakeWindow(className)) {}
    ~OwnedWindow() {
        if (IsWindow(window)) DestroyWindow(window);
    }
    uint32_t Value() const { return ptr::FromHwnd(window); }
};

uint32_t GoneWindow(const char* className) {
    HWND window = MakeWindow(className);
    DestroyWindow(window);
    return ptr::FromHwnd(window);
}

}  // namespace

TEST(StartRules, OnlyALiveWindowOfTheAgentsClassCountsAsTheTrayAgent) {
    OwnedWindow agent(ptr::kAgentWindowClass);
    OwnedWindow other("STATIC");
    ASSERT_NE(agent.window, nullptr);
    struct Case {
        const char* what;
        uint32_t agentWindow;
        StartDecision decision;
    };
    const Case cases[] = {
        {"the agent's window", agent.Value(), StartDecision::Run},
        {"no agent", 0, StartDecision::NoAgent},
        {"a crashed agent's window", GoneWindow(ptr::kAgentWindowClass), StartDecision::NoAgent},
        {"another program's window", other.Value(), StartDecision::NoAgent},
        {"a number that never was a window", 0x7FFF1234u, StartDecision::NoAgent},
    };
    for (const Case& c : cases) {
        ptr::SettingsBlock block = {};
        block.AgentWindow = c.agentWindow;
        EXPECT_EQ(IsTrayAgentWindow(c.agentWindow), c.decision == StartDecision::Run) << c.what;
        EXPECT_EQ(DecideStart(block, IsTrayAgentWindow, IsOpenSettingsForm), c.decision) << c.what;
        EXPECT_EQ(TellTrayAgent(c.agentWindow), c.decision == StartDecision::Run) << c.what;
    }
}

TEST(StartRules, AnOpenDialogInSettingsWindowKeepsAStartOutAndAGoneOneDoesNot) {
    OwnedWindow agent(ptr::kAgentWindowClass);
    OwnedWindow dialog("#32770");
    OwnedWindow other("STATIC");
    struct Case {
        const char* what;
        uint32_t settingsWindow;
        StartDecision decision;
    };
    const Case cases[] = {
        {"none", 0, StartDecision::Run},
        {"an open form", dialog.Value(), StartDecision::FormOpen},
        {"a form that is gone", GoneWindow("#32770"), StartDecision::Run},
        {"a window that is no form", other.Value(), StartDecision::Run},
    };
    for (const Case& c : cases) {
        ptr::SettingsBlock block = {};
        block.AgentWindow = agent.Value();
        block.SettingsWindow = c.settingsWindow;
        EXPECT_EQ(DecideStart(block, IsTrayAgentWindow, IsOpenSettingsForm), c.decision) << c.what;
    }
    EXPECT_FALSE(IsShownSettingsForm(dialog.Value())) << "not shown yet";
    ShowWindow(dialog.window, SW_SHOWNA);
    EXPECT_TRUE(IsShownSettingsForm(dialog.Value()));
}

TEST(StartRules, AClosingFormClearsSettingsWindowOnlyWhileItIsItsOwn) {
    ptr::SettingsBlock block = {};
    block.SettingsWindow = 0x1234;
    ClearOwnSettingsWindow(block, 0x5678);
    EXPECT_EQ(block.SettingsWindow, 0x1234u) << "another form's";
    ClearOwnSettingsWindow(block, 0);
    EXPECT_EQ(block.SettingsWindow, 0x1234u);
    ClearOwnSettingsWindow(block, 0x1234);
    EXPECT_EQ(block.SettingsWindow, 0u);
}

namespace {

// Another program holding the mutex: a thread that takes it, waits for its
// release event (or for holdMs), then lets go (or ends without letting go).
struct Holder {
    std::string name;
    HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD holdMs = INFINITE;
    bool letGo = true;
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* parameter) {
        Holder* holder = static_cast<Holder*>(parameter);
        HANDLE mutex = CreateMutexA(nullptr, FALSE, holder->name.c_str());
        const DWORD got = WaitForSingleObject(mutex, 5000);
        if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
            SetEvent(holder->taken);
            WaitForSingleObject(holder->release, holder->holdMs);
            if (holder->letGo) ReleaseMutex(mutex);
        }
        CloseHandle(mutex);
        return 0;
    }

    // True once the thread holds the mutex.
    bool Start() {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        return WaitForSingleObject(taken, 10000) == WAIT_OBJECT_0;
    }

    ~Holder() {
        SetEvent(release);
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        CloseHandle(taken);
        CloseHandle(release);
    }
};

std::string MutexName(const char* what) {
    return std::string("PtrHkSettingsInstanceTest_") + what + "_" + std::to_string(GetCurrentProcessId());
}

}  // namespace

TEST(SingleInstance, OneProgramHoldsTheMutexAndASecondFindsItsFormOrWaitsItsTurn) {
    using Outcome = TSingleInstance::Outcome;
    struct Case {
        const char* what;
        bool held;
        DWORD holdMs;  // INFINITE: until the case ends
        bool letGo;
        int formAfterPolls;  // -1: no form shows
        Outcome outcome;
    };
    const Case cases[] = {
        {"nobody holds it", false, 0, true, -1, Outcome::Owner},
        {"the holder's form shows", true, INFINITE, true, 3, Outcome::OtherForm},
        {"the holder shows no form in time", true, INFINITE, true, -1, Outcome::Busy},
        {"the holder ends its run", true, 150, true, -1, Outcome::Owner},
        {"the holder ends without letting go", true, 150, false, -1, Outcome::Owner},
    };
    int number = 0;
    for (const Case& c : cases) {
        const std::string name = MutexName(std::to_string(++number).c_str());
        Holder holder;
        holder.name = name;
        holder.holdMs = c.holdMs;
        holder.letGo = c.letGo;
        if (c.held) {
            ASSERT_TRUE(holder.Start()) << c.what;
        }
        int polls = 0;
        const auto formOpen = [&] { return c.formAfterPolls >= 0 && ++polls > c.formAfterPolls; };
        TSingleInstance instance(name.c_str());
        EXPECT_EQ(instance.Claim(formOpen, 600), c.outcome) << c.what;
        EXPECT_EQ(instance.Owned(), c.outcome == Outcome::Owner) << c.what;
    }
}

TEST(SingleInstance, TheOwnerLetsGoWhenItEnds) {
    const std::string name = MutexName("ends");
    // Another handle keeps the mutex itself alive after the program's is closed.
    HANDLE kept = CreateMutexA(nullptr, FALSE, name.c_str());
    {
        TSingleInstance first(name.c_str());
        ASSERT_EQ(first.Claim([] { return false; }, 0), TSingleInstance::Outcome::Owner);
    }
    Holder later;
    later.name = name;
    later.holdMs = 0;
    EXPECT_TRUE(later.Start()) << "another thread takes it: the first let go";
    CloseHandle(kept);
}
