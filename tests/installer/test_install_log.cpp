// What the installer puts into the log before it installs anything, read
// back as the uninstaller reads it: the uninstaller closes the running tray
// agent through the window class and title the log names.
#include "install_log.h"

#include "suite_names.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string ScratchLogPath() {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "ptr-install-log-" + std::to_string(GetCurrentProcessId()) + ".log";
}

// A hidden top-level window made as the tray agent makes its main window.
class StandInAgentWindow {
public:
    StandInAgentWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = ptr::kAgentWindowClass;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, ptr::kAgentWindowClass, ptr::kAgentWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 10,
                                  10, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~StandInAgentWindow() {
        DestroyWindow(window_);
        UnregisterClassA(ptr::kAgentWindowClass, GetModuleHandleA(nullptr));
    }
    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

TEST(InstallLog, TheUninstallerFindsTheRunningAgentThroughTheLog) {
    StandInAgentWindow agent;
    ASSERT_NE(agent.Handle(), nullptr);
    const std::string path = ScratchLogPath();
    setup::NewInstallLog().SaveToFile(path);
    inslog::TInsLog read;
    read.LoadFromFile(path);
    DeleteFileA(path.c_str());

    EXPECT_EQ(read.AppWindowClass, "PtrHkTrayAgent");
    EXPECT_EQ(read.AppWindowTitle, "PTRHK32A Tray Agent");
    EXPECT_EQ(read.ProductName, "PTRHK32A Mouse");
    EXPECT_EQ(read.FontName, "Tahoma");
    EXPECT_EQ(FindWindowA(read.AppWindowClass.c_str(), read.AppWindowTitle.c_str()), agent.Handle());
    // Nothing is listed before the installation has done anything.
    EXPECT_EQ(read.Files.Count(), 0u);
    EXPECT_EQ(read.Folders.Count(), 0u);
    EXPECT_TRUE(read.RegObjects.empty());
}

TEST(InstallLog, RegistryValuesNameTheInstalledFiles) {
    const std::string target = "C:\\Program Files\\PTRHK32A";
    const struct {
        const char* valueName;
        const char* text;
    } cases[] = {
        {"InstallFolder", "C:\\Program Files\\PTRHK32A"},
        {"PtrAgent", "\"C:\\Program Files\\PTRHK32A\\PtrAgent.exe\""},
        {"DisplayName", "PTRHK32A Mouse"},
        {"UninstallString", "\"C:\\Program Files\\PTRHK32A\\uninst.exe\""},
        {"InstallLocation", "C:\\Program Files\\PTRHK32A"},
        {"DisplayIcon", "\"C:\\Program Files\\PTRHK32A\\PtrAgent.exe\""},
    };
    for (const auto& c : cases) {
        const setup::RegistryEntry* found = nullptr;
        for (const setup::RegistryEntry& entry : setup::kRegistryEntries)
            if (std::string(entry.valueName) == c.valueName) found = &entry;
        ASSERT_NE(found, nullptr) << c.valueName;
        EXPECT_EQ(setup::RegistryValueText(*found, target), c.text) << c.valueName;
    }
}

// The tray agent keeps its configuration below the suite's key, which the
// installer records as created: removing the suite removes the kept settings.
TEST(InstallLog, TheAgentsKeptSettingsLieBelowTheKeyTheInstallerCreates) {
    const setup::RegistryEntry* suite = nullptr;
    for (const setup::RegistryEntry& entry : setup::kRegistryEntries)
        if (std::string(entry.valueName) == "InstallFolder") suite = &entry;
    ASSERT_NE(suite, nullptr);
    EXPECT_EQ(suite->root, 0x80000001u);
    EXPECT_EQ(std::string(ptr::kAgentConfigKey).rfind(std::string(suite->key) + "\\", 0), 0u);
}

}  // namespace
