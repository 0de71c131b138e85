// The installer's payload reader, its file placement with backups and
// rollback on real files, its look at a target folder, and a shell link
// made and read back through the shell.
#include "file_placement.h"
#include "install_log.h"
#include "payload.h"
#include "setup_error.h"
#include "setup_system.h"
#include "shell_links.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Blob(const std::string& magic, std::uint32_t size, const std::string& path, const std::string& data) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string stream(length, '\0');
    compress(reinterpret_cast<Bytef*>(&stream[0]), &length, reinterpret_cast<const Bytef*>(data.data()),
             static_cast<uLong>(data.size()));
    stream.resize(length);
    std::string blob = magic;
    for (int i = 0; i < 4; ++i) blob += static_cast<char>(size >> (8 * i));
    blob += static_cast<char>(path.size());
    return blob + path + stream;
}

TEST(Payload, OnlyAWholeSoundFileIsUnpacked) {
    const std::string data(5000, 'x');
    const std::string good = Blob("PTRZ", 5000, "RES\\Tray.ico", data);
    const struct {
        const char* name;
        std::string blob;
        const char* error;  // nullptr: unpacked
    } cases[] = {
        {"whole", good, nullptr},
        {"with bytes after the stream", good + "tail", nullptr},
        {"another magic", Blob("PTRX", 5000, "a", data), "not a file of the suite"},
        {"shorter than its header", good.substr(0, 8), "not a file of the suite"},
        {"a path longer than what is left", good.substr(0, 12), "cut short"},
        {"no path", Blob("PTRZ", 5000, "", data), "cut short"},
        {"a size above the cap", Blob("PTRZ", 0x7FFFFFFF, "a", data), "too large"},
        {"a size smaller than the stream holds", Blob("PTRZ", 4999, "a", data), "damaged"},
        {"a size larger than the stream holds", Blob("PTRZ", 5001, "a", data), "damaged"},
        {"a cut stream", good.substr(0, good.size() - 6), "damaged"},
    };
    for (const auto& c : cases) {
        setup::PayloadFile file;
        std::string error;
        const bool ok = setup::UnpackPayloadFile(reinterpret_cast<const unsigned char*>(c.blob.data()),
                                                 c.blob.size(), file, error);
        EXPECT_EQ(ok, c.error == nullptr) << c.name;
        if (c.error) {
            EXPECT_EQ(error, c.error) << c.name;
        } else {
            EXPECT_EQ(file.path, "RES\\Tray.ico") << c.name;
            EXPECT_EQ(file.bytes, data) << c.name;
        }
    }
}

std::string Scratch() {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "ptr-setup-files-" + std::to_string(GetCurrentProcessId());
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "(none)";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + "\\" + name);
            } else {
                DeleteFileA((folder + "\\" + name).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(root_);
        CreateDirectoryA(root_.c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(root_); }
    const std::string root_ = Scratch();
};

TEST_F(ScratchFolder, PlacedFilesAndFoldersAreTakenBackWholeOrCommitted) {
    const std::string target = root_ + "\\Programs\\PTRHK32A";
    for (const bool commit : {false, true}) {
        SetUp();
        CreateDirectoryA((root_ + "\\Programs").c_str(), nullptr);
        CreateDirectoryA(target.c_str(), nullptr);
        Write(target + "\\old.dll", "old");
        inslog::TInsLog log;
        setup::FilePlacement files;
        files.CreateFolders(target + "\\RES\\Deep", log.Folders);
        EXPECT_EQ(log.Folders.Items(), (std::vector<std::string>{target + "\\RES", target + "\\RES\\Deep"}));
        files.Place(target + "\\old.dll", "new");
        files.Place(target + "\\RES\\Deep\\new.ico", "icon");
        EXPECT_EQ(Read(target + "\\old.dll"), "new");
        EXPECT_TRUE(Exists(setup::BackupName(target + "\\old.dll", 0)));
        // A writer that fails leaves nothing behind either.
        EXPECT_THROW(files.PlaceWith(target + "\\broken.lnk",
                                     [](const std::string& path) {
                                         Write(path, "half");
                                         throw setup::ESetupError("cannot");
                                     }),
                     setup::ESetupError);
        if (commit) {
            std::vector<std::string> arranged;
            const std::vector<std::string> left =
                files.Commit([&arranged](const std::string& path) { arranged.push_back(path); return true; });
            EXPECT_TRUE(left.empty());
            EXPECT_TRUE(arranged.empty());
            EXPECT_EQ(Read(target + "\\old.dll"), "new");
            EXPECT_FALSE(Exists(setup::BackupName(target + "\\old.dll", 0)));
            EXPECT_EQ(Read(target + "\\RES\\Deep\\new.ico"), "icon");
        } else {
            files.Rollback();
            EXPECT_EQ(Read(target + "\\old.dll"), "old");
            EXPECT_FALSE(Exists(setup::BackupName(target + "\\old.dll", 0)));
            EXPECT_FALSE(Exists(target + "\\RES"));
            EXPECT_FALSE(Exists(target + "\\broken.lnk"));
            EXPECT_TRUE(Exists(target));  // it was there before
        }
        TearDown();
    }
}

TEST_F(ScratchFolder, AFileHeldOpenIsNotReplacedAndABackupStillInUseGoesLater) {
    const std::string held = root_ + "\\held.dll";
    Write(held, "old");
    {
        HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        setup::FilePlacement files;
        try {
            files.Place(held, "new");
            ADD_FAILURE() << "a held file was replaced";
        } catch (const setup::ESetupError& error) {
            EXPECT_NE(std::string(error.what()).find("Cannot replace " + held), std::string::npos) << error.what();
        }
        files.Rollback();
        CloseHandle(file);
        EXPECT_EQ(Read(held), "old");
    }
    // The backup is held once the new file is in place (as a library still
    // loaded somewhere would be): it is handed on to go at the next restart.
    setup::FilePlacement files;
    files.Place(held, "new");
    const std::string backup = setup::BackupName(held, 0);
    HANDLE file = CreateFileA(backup.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<std::string> arranged;
    const std::vector<std::string> left =
        files.Commit([&arranged](const std::string& path) { arranged.push_back(path); return true; });
    CloseHandle(file);
    EXPECT_EQ(left, std::vector<std::string>{backup});
    EXPECT_EQ(arranged, std::vector<std::string>{backup});
    EXPECT_EQ(Read(held), "new");
}

TEST_F(ScratchFolder, WhatATargetFolderHolds) {
    inslog::TInsLog ours = setup::NewInstallLog();
    inslog::TInsLog theirs;
    theirs.ProductName = "Another Mouse";
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;  // relative path, content ("/" ends a folder)
        setup::TargetState state;
        std::vector<std::string> named;
    } cases[] = {
        {"missing", {}, setup::TargetState::Missing, {}},
        {"empty folders only", {{"T/", ""}, {"T\\Sub/", ""}}, setup::TargetState::Empty, {}},
        {"the suite's own installation", {{"T/", ""}, {"T\\uninst.log", "ours"}, {"T\\notes.txt", "mine"}},
         setup::TargetState::OwnInstallation, {}},
        {"another program's log", {{"T/", ""}, {"T\\uninst.log", "theirs"}}, setup::TargetState::Foreign,
         {"uninst.log"}},
        {"files of another program", {{"T/", ""}, {"T\\Sub/", ""}, {"T\\Sub\\a.txt", "x"}},
         setup::TargetState::Foreign, {"Sub\\a.txt"}},
    };
    for (const auto& c : cases) {
        SetUp();
        for (const auto& [path, content] : c.files) {
            const std::string full = root_ + "\\" + path;
            if (full.back() == '/') {
                CreateDirectoryA(full.substr(0, full.size() - 1).c_str(), nullptr);
            } else if (content == "ours") {
                ours.SaveToFile(full);
            } else if (content == "theirs") {
                theirs.SaveToFile(full);
            } else {
                Write(full, content);
            }
        }
        inslog::TInsLog earlier;
        const setup::TargetCheck check = setup::CheckTarget(root_ + "\\T", earlier);
        EXPECT_EQ(check.state, c.state) << c.name;
        EXPECT_EQ(check.foreignFiles, c.named) << c.name;
        if (c.state == setup::TargetState::OwnInstallation) {
            EXPECT_EQ(earlier.ProductName, "PTRHK32A Mouse");
        }
        TearDown();
    }
}

TEST_F(ScratchFolder, AShellLinkStartsItsTarget) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const std::string link = root_ + "\\Settings.lnk";
    const std::string target = root_ + "\\Setting.exe";
    Write(target, "program");
    setup::CreateShellLink(link, target, "Changes the settings");
    EXPECT_TRUE(Exists(link));
    EXPECT_EQ(setup::ShellLinkTarget(link), target);
    EXPECT_THROW(setup::CreateShellLink(root_ + "\\No Such Folder\\x.lnk", target, ""), setup::ESetupError);
    CoUninitialize();
}

}  // namespace
