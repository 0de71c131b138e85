// What a removal could not do: the records whose state does not hold, the
// removal run's report with a file held open and a program that does not
// close, and what goes at the next restart; shared keys that go only once empty.
#include "registry_restore.h"
#include "temp_copy.h"
#include "uninst_app.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace uninst_test;

namespace {

inslog::TUninsRegObject Record(const std::string& key, const std::string& value, std::uint8_t kind,
                               const std::string& data = "") {
    inslog::TUninsRegObject record;
    record.RootKey = kHkcu;
    ptr::FillShortString(record.KeyName, key);
    ptr::FillShortString(record.ValueName, value);
    record.Kind = kind;
    if (kind == inslog::rkInteger) {
        inslog::SetDataInteger(record, std::stoi(data));
    } else {
        ptr::FillShortString(record.Data, data);
    }
    return record;
}

class Leftovers : public ::testing::Test {
protected:
    void SetUp() override { DeleteTestKey(); }
    void TearDown() override { DeleteTestKey(); }
};

TEST_F(Leftovers, WhetherTheStateARecordDescribesHolds) {
    SetString(TestKey("K"), "Text", "old");
    SetDword(TestKey("K"), "Number", 7);
    SetBinary(TestKey("K"), "Bytes", {1, 2});
    SetString(TestKey("K"), "Expand", "%x%", REG_EXPAND_SZ);
    const struct {
        inslog::TUninsRegObject record;
        bool holds;
        const char* described;
    } cases[] = {
        {Record(TestKey("K"), "", 0), false, "HKCU\\Software\\PtrUninstUnitTest\\K"},
        {Record(TestKey("Gone"), "", 0), true, "HKCU\\Software\\PtrUninstUnitTest\\Gone"},
        {Record(TestKey("K"), "Text", 1), false, "HKCU\\Software\\PtrUninstUnitTest\\K\\Text"},
        {Record(TestKey("K"), "Other", 1), true, "HKCU\\Software\\PtrUninstUnitTest\\K\\Other"},
        {Record(TestKey("K"), "Text", 2, "old"), true, "HKCU\\Software\\PtrUninstUnitTest\\K\\Text"},
        {Record(TestKey("K"), "Text", 2, "new"), false, "HKCU\\Software\\PtrUninstUnitTest\\K\\Text"},
        {Record(TestKey("K"), "Text", 3, "old"), false, "HKCU\\Software\\PtrUninstUnitTest\\K\\Text"},  // type differs
        {Record(TestKey("K"), "Expand", 3, "%x%"), true, "HKCU\\Software\\PtrUninstUnitTest\\K\\Expand"},
        {Record(TestKey("K"), "Number", 4, "7"), true, "HKCU\\Software\\PtrUninstUnitTest\\K\\Number"},
        {Record(TestKey("K"), "Number", 4, "8"), false, "HKCU\\Software\\PtrUninstUnitTest\\K\\Number"},
        {Record(TestKey("K"), "Bytes", 5, std::string("\1\2", 2)), true, "HKCU\\Software\\PtrUninstUnitTest\\K\\Bytes"},
        {Record(TestKey("K"), "Bytes", 5, std::string("\1", 1)), false, "HKCU\\Software\\PtrUninstUnitTest\\K\\Bytes"},
        {Record(TestKey("K"), "", 2, "x"), false, "HKCU\\Software\\PtrUninstUnitTest\\K\\(Default)"},
        {Record(TestKey("K"), "", 6), true, "HKCU\\Software\\PtrUninstUnitTest\\K"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(uninst::RecordHolds(cases[i].record), cases[i].holds) << "case " << i;
        EXPECT_EQ(inslog::DescribeRecord(cases[i].record), cases[i].described) << "case " << i;
    }
}

TEST_F(Leftovers, ASharedKeyGoesOnlyWhenNothingIsLeftInIt) {
    SetString(TestKey("Run"), "Other", "theirs");
    SetString(TestKey("Parent\\Child"), "v", "x");
    SetString(TestKey("Empty"), "v", "x");
    inslog::TInsLog log;
    log.RegObjects = {Record(TestKey("Empty"), "v", 1), Record(TestKey("Run"), "", 6), Record(TestKey("Parent"), "", 6),
                      Record(TestKey("Empty"), "", 6)};
    std::vector<std::string> notRestored;
    uninst::RestoreRegistry(log, &notRestored);
    EXPECT_TRUE(KeyExists(TestKey("Run")));
    EXPECT_TRUE(KeyExists(TestKey("Parent\\Child")));
    EXPECT_FALSE(KeyExists(TestKey("Empty")));
    EXPECT_TRUE(notRestored.empty());
}

class RecordingView : public uninst::RemovalView {
public:
    void HideButtons() override { events.push_back("hide"); }
    void ShowProgressLine(int line) override { events.push_back("line" + std::to_string(line)); }
    void ShowFailedLine(int line) override { events.push_back("failed" + std::to_string(line)); }
    void HandlePendingMessages() override {}
    void BringToFront() override {}
    void ShowFinishPage() override { events.push_back("finish"); }
    void ShowLeftovers(const uninst::RemovalReport&) override { events.push_back("leftovers"); }
    std::vector<std::string> events;
};

// A program whose window stays and whose process cannot be opened.
ptr::WindowCloseOps StubbornProgram(int& posted, DWORD& now) {
    ptr::WindowCloseOps ops;
    ops.find = [](const std::string&, const std::string&) { return reinterpret_cast<HWND>(0x42); };
    ops.openProcess = [](HWND) -> HANDLE { return nullptr; };
    ops.postQuit = [&posted](HWND) { ++posted; };
    ops.waitForEnd = [](HANDLE, DWORD) { return false; };
    ops.windowExists = [](HWND) { return true; };
    ops.sleep = [&now](DWORD milliseconds) { now += milliseconds; };
    ops.tickCount = [&now] { return now; };
    ops.closeHandle = [](HANDLE) {};
    return ops;
}

TEST_F(Leftovers, AHeldFileAndAProgramThatStaysAreReportedAndGoAtTheNextRestart) {
    const std::string folder = ScratchFolder();
    CreateDirectoryA((folder + "\\Sub").c_str(), nullptr);
    for (const char* name : {"\\held.dll", "\\Sub\\free.ico", "\\uninst.exe", "\\uninst.log"}) WriteFile(folder + name, {1});
    SetString(TestKey(), "Installed", "x");

    uninst::UninstallContext context;
    context.installedExecutable = folder + "\\uninst.exe";
    context.logPath = folder + "\\uninst.log";
    context.log.AppWindowClass = "PtrHkTrayAgent";
    context.log.Files.Add(folder + "\\held.dll");
    context.log.Files.Add(folder + "\\Sub\\free.ico");
    context.log.Folders.Add(folder);
    context.log.Folders.Add(folder + "\\Sub");
    context.log.RegObjects.push_back(Record(TestKey(), "Installed", 1));
    std::vector<std::string> arranged;
    context.removeAtRestart = [&arranged](const std::string& path) {
        arranged.push_back(path);
        return true;
    };
    int posted = 0;
    DWORD now = 0;
    context.closeOps = StubbornProgram(posted, now);

    HANDLE held = CreateFileA((folder + "\\held.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    RecordingView view;
    const uninst::RemovalReport report = uninst::RunRemoval(context, view);
    CloseHandle(held);

    EXPECT_EQ(posted, 1);
    EXPECT_EQ(view.events, (std::vector<std::string>{"hide", "failed1", "failed2", "failed3", "line4", "line5",
                                                     "leftovers", "finish"}));
    EXPECT_TRUE(report.programLeftRunning);
    EXPECT_EQ(report.filesLeft, std::vector<std::string>{folder + "\\held.dll"});
    // The folder that held only the removed icon went; its parent holds the held file.
    EXPECT_EQ(report.foldersLeft, std::vector<std::string>{folder});
    EXPECT_TRUE(report.registryLeft.empty());
    EXPECT_FALSE(report.Complete());
    // The file first, then the folder that will be empty once it has gone.
    EXPECT_EQ(arranged, (std::vector<std::string>{folder + "\\held.dll", folder}));
    EXPECT_EQ(report.atRestart, arranged);
    EXPECT_FALSE(Exists(folder + "\\Sub"));
    EXPECT_FALSE(Exists(context.installedExecutable));

    DeleteFileA((folder + "\\held.dll").c_str());
    RemoveDirectoryA(folder.c_str());
}

// The agent ends its 64-bit host as it ends; a host that outlived it (an
// agent killed a moment ago) is closed before the files go.
TEST_F(Leftovers, AHostThatOutlivedItsAgentIsClosedBeforeTheFilesGo) {
    const std::string folder = ScratchFolder();
    for (const char* name : {"\\PtrAgent64.exe", "\\uninst.exe", "\\uninst.log"}) WriteFile(folder + name, {1});
    uninst::UninstallContext context;
    context.installedExecutable = folder + "\\uninst.exe";
    context.logPath = folder + "\\uninst.log";
    context.log.AppWindowClass = "PtrHkTrayAgent";
    context.log.Files.Add(folder + "\\PtrAgent64.exe");
    context.log.Folders.Add(folder);
    std::vector<std::string> asked;
    int posted = 0;
    DWORD now = 0;
    context.closeOps = StubbornProgram(posted, now);
    context.closeOps.find = [&asked](const std::string& windowClass, const std::string&) {
        asked.push_back(windowClass);
        return windowClass == "PtrHkAgent64" ? reinterpret_cast<HWND>(0x42) : nullptr;
    };
    context.closeOps.openProcess = [](HWND) { return reinterpret_cast<HANDLE>(0x99); };
    context.closeOps.postQuit = [&asked](HWND) { asked.push_back("WM_QUIT"); };
    context.closeOps.waitForEnd = [&asked, folder](HANDLE, DWORD) {
        asked.push_back(Exists(folder + "\\PtrAgent64.exe") ? "ended, its file still there" : "ended, too late");
        return true;
    };
    RecordingView view;
    const uninst::RemovalReport report = uninst::RunRemoval(context, view);
    EXPECT_EQ(asked, (std::vector<std::string>{"PtrHkTrayAgent", "PtrHkAgent64", "WM_QUIT", "ended, its file still there"}));
    EXPECT_TRUE(report.Complete());
    EXPECT_FALSE(Exists(folder + "\\PtrAgent64.exe"));
    RemoveDirectoryA(folder.c_str());
}

TEST_F(Leftovers, AFolderKeptForAFileOfTheUsersIsNotALeftover) {
    const std::string folder = ScratchFolder();
    for (const char* name : {"\\a.dll", "\\mine.txt", "\\uninst.exe", "\\uninst.log"}) WriteFile(folder + name, {1});
    uninst::UninstallContext context;
    context.installedExecutable = folder + "\\uninst.exe";
    context.logPath = folder + "\\uninst.log";
    context.log.Files.Add(folder + "\\a.dll");
    context.log.Folders.Add(folder);
    context.removeAtRestart = [](const std::string&) {
        ADD_FAILURE() << "nothing is left to go at the restart";
        return false;
    };
    RecordingView view;
    const uninst::RemovalReport report = uninst::RunRemoval(context, view);
    EXPECT_TRUE(report.Complete());
    EXPECT_EQ(view.events, (std::vector<std::string>{"hide", "line1", "line2", "line3", "line4", "line5", "finish"}));
    EXPECT_TRUE(Exists(folder + "\\mine.txt"));
    DeleteFileA((folder + "\\mine.txt").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
