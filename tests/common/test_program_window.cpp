// Closing a program through its window, with a recording stand-in for the
// system so that every way through runs (a process that cannot be opened, a
// window that stays); and what is arranged to go at the next restart, on
// both families of Windows, on the real system.
#include "elevation.h"
#include "file_checks.h"
#include "program_window.h"
#include "restart_removal.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct FakeSystem {
    bool windowThere = true;
    bool processOpens = true;
    bool endsOnQuit = true;        // the program ends when its window gets WM_QUIT
    DWORD pollsUntilGone = 3;      // without a process handle: how long the window takes to go
    DWORD now = 0;
    std::vector<std::string> calls;

    ptr::WindowCloseOps Ops() {
        ptr::WindowCloseOps ops;
        const HWND window = reinterpret_cast<HWND>(0x1234);
        const HANDLE process = reinterpret_cast<HANDLE>(0x88);
        ops.find = [=](const std::string& cls, const std::string& title) {
            calls.push_back("find " + cls + "/" + title);
            return windowThere ? window : nullptr;
        };
        ops.openProcess = [=](HWND) {
            calls.push_back("open");
            return processOpens ? process : nullptr;
        };
        ops.postQuit = [this](HWND) { calls.push_back("post WM_QUIT"); };
        ops.waitForEnd = [this](HANDLE, DWORD wait) {
            calls.push_back("wait " + std::to_string(wait));
            return endsOnQuit;
        };
        ops.windowExists = [this](HWND) {
            calls.push_back("window?");
            return !endsOnQuit || pollsUntilGone-- > 0;
        };
        ops.sleep = [this](DWORD milliseconds) {
            now += milliseconds;
            if (milliseconds) calls.push_back("sleep");
        };
        ops.tickCount = [this] { return now; };
        ops.closeHandle = [this](HANDLE) { calls.push_back("close"); };
        return ops;
    }
};

TEST(ProgramWindow, WmQuitIsPostedWhetherOrNotTheProcessCanBeWatched) {
    const std::vector<std::string> polled = {"window?", "sleep", "window?", "sleep", "window?", "sleep", "window?"};
    const struct {
        const char* name;
        bool windowThere, processOpens, endsOnQuit;
        ptr::CloseOutcome outcome;
        std::vector<std::string> calls;  // after find
    } cases[] = {
        {"no such window", false, true, true, ptr::CloseOutcome::NotRunning, {}},
        {"ends on the message", true, true, true, ptr::CloseOutcome::Ended, {"open", "post WM_QUIT", "wait 5000", "close"}},
        {"does not end", true, true, false, ptr::CloseOutcome::StillRunning,
         {"open", "post WM_QUIT", "wait 5000", "close"}},
        {"its process cannot be opened, the window goes", true, false, true, ptr::CloseOutcome::WindowGone, {}},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.windowThere = c.windowThere;
        system.processOpens = c.processOpens;
        system.endsOnQuit = c.endsOnQuit;
        EXPECT_EQ(ptr::QuitProgramWindow("PtrHkTrayAgent", "PTRHK32A Tray Agent", 5000, system.Ops()), c.outcome)
            << c.name;
        std::vector<std::string> expected = {"find PtrHkTrayAgent/PTRHK32A Tray Agent"};
        if (c.processOpens) {
            expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        } else {
            expected.insert(expected.end(), {"open", "post WM_QUIT"});
            expected.insert(expected.end(), polled.begin(), polled.end());
        }
        EXPECT_EQ(system.calls, expected) << c.name;
    }
    // A window that stays while its process cannot be watched: polled until the time is up.
    FakeSystem stays;
    stays.processOpens = false;
    stays.endsOnQuit = false;
    EXPECT_EQ(ptr::QuitProgramWindow("C", "T", 5000, stays.Ops()), ptr::CloseOutcome::StillRunning);
    EXPECT_EQ(std::count(stays.calls.begin(), stays.calls.end(), "post WM_QUIT"), 1);
    EXPECT_GE(stays.now, 5000u);
    EXPECT_LT(stays.now, 5100u);
    // An empty class names nothing to close.
    FakeSystem none;
    EXPECT_EQ(ptr::QuitProgramWindow("", "", 5000, none.Ops()), ptr::CloseOutcome::NotRunning);
    EXPECT_TRUE(none.calls.empty());
}

std::string Scratch(const char* name) {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name + std::to_string(GetCurrentProcessId());
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ShortName(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

TEST(RestartRemoval, Windows9xGetsOneNulLineAFileInWininitAndKeepsTheLinesThere) {
    const std::string wininit = Scratch("ptr-wininit-") + ".ini";
    const std::string folder = Scratch("ptr restart folder ");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string first = folder + "\\a long file name.dll";
    const std::string second = folder + "\\b.exe";
    std::ofstream(first) << "x";
    std::ofstream(second) << "x";
    std::ofstream(wininit) << "[rename]\r\nC:\\NEW.DLL=C:\\TEMP\\NEW.DLL\r\n[other]\r\nkept=1\r\n";

    EXPECT_TRUE(ptr::RemoveAtRestart(first, false, wininit));
    EXPECT_TRUE(ptr::RemoveAtRestart(second, false, wininit));
    // Folders are not removed by Windows 9x at its start.
    EXPECT_FALSE(ptr::RemoveAtRestart(folder, false, wininit));
    const std::vector<std::string> lines = Lines(wininit);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "NUL=" + ShortName(first)), 1) << ShortName(first);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "NUL=" + ShortName(second)), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "C:\\NEW.DLL=C:\\TEMP\\NEW.DLL"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "kept=1"), 1);
    EXPECT_EQ(ShortName(first).find(' '), std::string::npos);

    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
    RemoveDirectoryA(folder.c_str());
    DeleteFileA(wininit.c_str());
}

TEST(RestartRemoval, NtListsTheFileInTheSessionManagersPendingOperations) {
    const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
    HKEY manager = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &manager), ERROR_SUCCESS);
    DWORD size = 0;
    const bool hadValue =
        RegQueryValueExA(manager, "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    const std::string file = Scratch("ptr-restart-") + ".dll";
    std::ofstream(file) << "x";

    EXPECT_TRUE(ptr::RemoveAtRestart(file, true, ""));
    std::vector<char> data(64 * 1024, 0);
    size = static_cast<DWORD>(data.size());
    ASSERT_EQ(RegQueryValueExA(manager, "PendingFileRenameOperations", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(data.data()), &size),
              ERROR_SUCCESS);
    const std::string operations(data.data(), size);
    EXPECT_NE(operations.find(file.substr(2)), std::string::npos);
    if (!hadValue) RegDeleteValueA(manager, "PendingFileRenameOperations");
    RegCloseKey(manager);
    DeleteFileA(file.c_str());
}

FARPROC WINAPI FindNothing(HMODULE, LPCSTR) { return nullptr; }

TEST(Rights, WhereFilesCanBeMadeAndWhetherTheProcessIsElevated) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const struct {
        std::string folder;
        bool can;
    } cases[] = {
        {temp, true},
        {std::string(temp) + "ptr-not-there\\below", true},  // made where the nearest folder is
        {"Z:\\sys", false},                                 // the kernel's own: nobody writes there
        {"Z:\\sys\\ptr-not-there", false},
        {"Q:\\PTRHK32A", false},                           // a drive that is not there: no folder to walk up to
        {"Q:", false},
        {"\\\\nowhere\\share\\PTRHK32A", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ptr::CanCreateFilesIn(c.folder), c.can) << c.folder;
    EXPECT_EQ(ptr::PathRoot("C:\\Program Files\\X"), "C:\\");
    EXPECT_EQ(ptr::PathRoot("\\\\server\\share\\X"), "\\\\server\\share\\");
    EXPECT_EQ(ptr::PathRoot("relative\\X"), "");
    EXPECT_FALSE(ptr::FolderExists(std::string(temp) + "ptr-not-there"));
    // Without the token functions the process counts as not elevated.
    EXPECT_FALSE(ptr::ProcessIsElevated(FindNothing));
}

}  // namespace
