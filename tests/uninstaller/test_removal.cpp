// The removal run over a scratch folder and scratch registry key, with a view
// that records what the wizard is asked to do and when.
#include "ainsutils.h"
#include "uninst_app.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

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
    inslog::WriteShortString(record.KeyName, TestKey());
    inslog::WriteShortString(record.ValueName, "Installed");
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

}  // namespace
