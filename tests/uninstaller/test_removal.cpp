// The removal run over a scratch folder and scratch registry key, with a view
// that records what the wizard is asked to do and when.
#include "log_bounds.h"
#include "temp_copy.h"
#include "uninst_app.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using namespace uninst_test;

namespace {

class RecordingView : public uninst::RemovalView {
public:
    explicit RecordingView(const std::string& watched) : watched_(watched) {}
    void HideButtons() override { Note("hide"); }
    void ShowProgressLine(int line) override { Note("line" + std::to_string(line)); }
    void HandlePendingMessages() override { Note("messages"); }
    void BringToFront() override { Note("front"); }
    void ShowFinishPage() override { Note("finish"); }
    std::vector<std::string> events;

private:
    // Each event notes whether the watched file still exists, so the order of
    // the work and the wizard steps shows.
    void Note(const std::string& event) { events.push_back(event + (Exists(watched_) ? "" : "*")); }
    std::string watched_;
};

TEST(RemovalRun, StepsInOrderFilesFoldersExecutableLogAndRegistry) {
    DeleteTestKey();
    const std::string folder = ScratchFolder();
    CreateDirectoryA((folder + "\\RES").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Kept").c_str(), nullptr);
    for (const char* name : {"\\a.dll", "\\RES\\Tray.ico", "\\Kept\\mine.txt", "\\uninst.exe", "\\uninst.log"}) {
        WriteFile(folder + name, {1});
    }
    SetString(TestKey(), "Installed", "x");

    uninst::UninstallContext context;
    context.installedExecutable = folder + "\\uninst.exe";
    context.logPath = folder + "\\uninst.Log";
    context.log.Files.Add(folder + "\\RES\\Tray.ico");
    context.log.Files.Add(folder + "\\a.dll");
    context.log.Folders.Add(folder + "\\RES");
    context.log.Folders.Add(folder + "\\Kept");
    context.log.Folders.Add(folder);
    inslog::TUninsRegObject record;
    record.RootKey = kHkcu;
    ptr::FillShortString(record.KeyName, TestKey());
    ptr::FillShortString(record.ValueName, "Installed");
    record.Kind = inslog::rkValueCreated;
    context.log.RegObjects.push_back(record);

    RecordingView view(folder + "\\a.dll");
    uninst::RunRemoval(context, view);

    EXPECT_EQ(view.events, (std::vector<std::string>{"hide", "messages", "front", "line1", "messages", "line2*",
                                                     "line3*", "messages*", "line4*", "messages*", "line5*",
                                                     "messages*", "finish*"}));
    EXPECT_FALSE(Exists(context.installedExecutable));
    EXPECT_FALSE(Exists(folder + "\\uninst.log"));
    EXPECT_FALSE(Exists(folder + "\\RES"));
    // A folder holding a file of the user's stays, and so does its parent.
    EXPECT_TRUE(Exists(folder + "\\Kept\\mine.txt"));
    EXPECT_TRUE(Exists(folder));
    DWORD type;
    std::vector<unsigned char> data;
    EXPECT_FALSE(ReadValue(TestKey(), "Installed", type, data));

    DeleteFileA((folder + "\\Kept\\mine.txt").c_str());
    RemoveDirectoryA((folder + "\\Kept").c_str());
    RemoveDirectoryA(folder.c_str());
    DeleteTestKey();
}

// A log anyone who could write the installation folder may have changed: a
// removal acts only on what the suite can own, and names the rest.
TEST(RemovalBounds, WhatALogNamesOutsideTheSuitesBoundsIsTakenOutAndNamed) {
    const std::string suite = "Q:\\Users\\Ann\\Programs\\PTRHK32A";
    const uninst::SuiteBounds bounds = {suite, {"Q:\\Menu\\PTRHK32A Mouse"}};
    const struct {
        const char* path;
        bool kept;
    } files[] = {
        {"Q:\\Users\\Ann\\Programs\\PTRHK32A\\PTRHK32A.dll", true},
        {"q:\\users\\ann\\programs\\ptrhk32a\\RES\\Tray.ico", true},
        {"Q:\\Menu\\PTRHK32A Mouse\\PTRHK32A Mouse.lnk", true},
        {"Q:\\Users\\Ann\\Programs\\PTRHK32A\\..\\..\\x.dll", false},  // out again
        {"Q:\\Users\\Ann\\Programs\\PTRHK32A2\\a.dll", false},          // a sibling named alike
        {"Q:\\Windows\\System32\\user32.dll", false},
        {"user32.dll", false},  // relative: below no folder of the suite, wherever it resolves
    };
    const struct {
        const char* path;
        bool kept;
    } folders[] = {
        {"Q:\\Users\\Ann\\Programs\\PTRHK32A\\RES", true},
        {"Q:\\Users\\Ann\\Programs\\PTRHK32A", true},
        {"Q:\\Users\\Ann\\Programs", true},  // above: made by the installation, goes only when empty
        {"Q:\\Menu\\PTRHK32A Mouse", true},
        {"Q:\\Menu", false},
        {"Q:\\Users\\Bob", false},
    };
    const struct {
        std::uint32_t root;
        const char* key;
        const char* value;
        std::uint8_t kind;
        bool kept;
    } records[] = {
        {kHkcu, "Software\\PTRHK32A", "", 0, true},
        {0x80000002, "Software\\PTRHK32A\\Agent", "WheelLines", 4, true},
        {kHkcu, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PTRHK32A", "", 0, true},
        {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "PtrAgent", 1, true},
        {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "PtrAgent", 2, true},
        {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "", 6, true},
        {kHkcu, "Software", "", 6, true},
        {kHkcu, "Software\\PTRHK32A2", "", 0, false},
        {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "", 0, false},  // every program's entry
        {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Other", 1, false},
        {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "", 0, false},
        {kHkcu, "Software\\Classes", "", 6, false},
        {0x80000000, "Software\\PTRHK32A", "", 0, false},  // HKEY_CLASSES_ROOT
        {kHkcu, "", "", 0, false},
    };
    inslog::TInsLog log;
    std::vector<std::string> expected;
    for (const auto& file : files) {
        log.Files.Add(file.path);
        if (!file.kept) expected.push_back(file.path);
    }
    for (const auto& folder : folders) {
        log.Folders.Add(folder.path);
        if (!folder.kept) expected.push_back(folder.path);
    }
    for (const auto& record : records) {
        inslog::TUninsRegObject object;
        object.RootKey = record.root;
        ptr::FillShortString(object.KeyName, record.key);
        ptr::FillShortString(object.ValueName, record.value);
        object.Kind = record.kind;
        log.RegObjects.push_back(object);
        if (!record.kept) expected.push_back(inslog::DescribeRecord(object));
    }
    std::vector<std::string> refused = uninst::KeepWithinBounds(log, bounds);
    std::sort(refused.begin(), refused.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(refused, expected);
    for (const auto& file : files) EXPECT_EQ(log.Files.Contains(file.path), file.kept) << file.path;
    for (const auto& folder : folders) EXPECT_EQ(log.Folders.Contains(folder.path), folder.kept) << folder.path;
    std::size_t kept = 0;
    for (const auto& record : records) kept += record.kept ? 1 : 0;
    EXPECT_EQ(log.RegObjects.size(), kept);
}

}  // namespace
