// How the installer records its registry changes, on the real registry below
// a scratch key: the suite's own keys go whole whatever they held before,
// keys other programs share are never recorded as created, and what the
// records restore leaves other programs' values alone; a failed run puts back
// exactly what it replaced.
#include "registry_recording.h"

#include "reg_key.h"
#include "registry_restore.h"
#include "setup_error.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using inslog::TUninsRegObject;
using setup::RegistryRecorder;
using inslog::RegValue;
using inslog::TInsLog;

constexpr std::uint32_t kHkcu = 0x80000001;
constexpr char kScratch[] = "Software\\PtrSetupUnitTest";

std::string Key(const std::string& below) { return std::string(kScratch) + "\\" + below; }

bool KeyExists(const std::string& key) {
    ptr::RegKey opened;
    return opened.Open(HKEY_CURRENT_USER, key, KEY_READ);
}

void SetText(const std::string& key, const std::string& name, const std::string& text) {
    ptr::RegKey made;
    ASSERT_TRUE(made.Create(HKEY_CURRENT_USER, key, KEY_WRITE));
    ASSERT_TRUE(made.WriteString(name, text));
}

std::string Text(const std::string& key, const std::string& name) {
    ptr::RegKey opened;
    std::string text = "(none)";
    if (opened.Open(HKEY_CURRENT_USER, key, KEY_READ)) opened.ReadString(name, text, 1024);
    return text;
}

void DeleteTree(const std::string& key) {
    ptr::RegKey opened;
    if (!opened.Open(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS)) return;
    for (const std::string& sub : opened.SubkeyNames()) DeleteTree(key + "\\" + sub);
    opened.Close();
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

RegValue TextValue(const std::string& text) {
    RegValue value;
    value.text = text;
    return value;
}

// "kind key[:value]" of each record, relative to the scratch key.
std::vector<std::string> Describe(const std::vector<TUninsRegObject>& records) {
    std::vector<std::string> described;
    for (const TUninsRegObject& record : records) {
        std::string key = inslog::KeyNameOf(record).substr(std::string(kScratch).size() + 1);
        const std::string value = inslog::ValueNameOf(record);
        described.push_back(std::to_string(record.Kind) + " " + key + (value.empty() ? "" : ":" + value));
    }
    return described;
}

class RegistryRecording : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(kScratch);
        SetText(kScratch, "anchor", "x");
    }
    void TearDown() override { DeleteTree(kScratch); }
};

TEST_F(RegistryRecording, SharedKeysAreNeverRecordedAsCreatedAndGoOnlyWhenEmpty) {
    const struct {
        const char* name;
        std::vector<std::string> existing;  // keys there before, each with a value of another program's
        const char* ownKey;                 // "" for a value in a shared key only
        const char* key;
        std::vector<std::string> records;   // this run's records, then the shared keys
        std::vector<std::string> shared;
    } cases[] = {
        {"a value in a missing Run key", {}, "", "Run", {"1 Run:PtrAgent"}, {"6 Run"}},
        {"a value in an existing Run key", {"Run"}, "", "Run", {"1 Run:PtrAgent"}, {}},
        {"the own key below a missing parent",
         {},
         "Uninstall\\PTRHK32A",
         "Uninstall\\PTRHK32A",
         {"0 Uninstall\\PTRHK32A"},
         {"6 Uninstall"}},
        {"the own key below an existing parent",
         {"Uninstall"},
         "Uninstall\\PTRHK32A",
         "Uninstall\\PTRHK32A",
         {"0 Uninstall\\PTRHK32A"},
         {}},
        // An own key that is there already (an installation whose folder
        // was deleted by hand left it) is the suite's all the same.
        {"a missing key below the existing own key",
         {"Uninstall", "Uninstall\\PTRHK32A"},
         "Uninstall\\PTRHK32A",
         "Uninstall\\PTRHK32A\\Deeper\\Still",
         {"0 Uninstall\\PTRHK32A"},
         {}},
        {"two missing shared levels, innermost first", {}, "", "Microsoft\\Run", {"1 Microsoft\\Run:PtrAgent"},
         {"6 Microsoft\\Run", "6 Microsoft"}},
    };
    for (const auto& c : cases) {
        SetUp();
        for (const std::string& key : c.existing) SetText(Key(key), "Other", "theirs");
        TInsLog log;
        RegistryRecorder recorder(log);
        recorder.Write(kHkcu, *c.ownKey ? Key(c.ownKey) : "", Key(c.key), "PtrAgent", inslog::rkString,
                       TextValue("ours"));
        EXPECT_EQ(Describe(log.RegObjects), c.records) << c.name;
        EXPECT_EQ(Describe(recorder.SharedKeys()), c.shared) << c.name;
        EXPECT_EQ(Text(Key(c.key), "PtrAgent"), "ours") << c.name;

        // Another program adds its value to the key the suite wrote into; the
        // removal takes only the suite's part.
        SetText(Key(c.key), "Later", "another program's");
        const TInsLog assembled = setup::AssembleLog(nullptr, log, recorder.SharedKeys());
        TInsLog removal;
        removal.RegObjects = assembled.RegObjects;
        uninst::RestoreRegistry(removal);
        uninst::RestoreRegistry(removal);
        const bool ownKeyGoes = *c.ownKey != 0;
        EXPECT_EQ(Text(Key(c.key), "Later"), ownKeyGoes ? "(none)" : "another program's") << c.name;
        EXPECT_EQ(Text(Key(c.key), "PtrAgent"), "(none)") << c.name;
        if (ownKeyGoes) {
            EXPECT_FALSE(KeyExists(Key(c.ownKey))) << c.name;
        }
        for (const std::string& key : c.existing) {
            const bool suites = ownKeyGoes && Key(key).rfind(Key(c.ownKey), 0) == 0;
            EXPECT_EQ(Text(Key(key), "Other"), suites ? "(none)" : "theirs") << c.name;
        }
        // Nothing left of what the suite alone made: with the other value gone
        // too, the shared keys the installation made go as well.
        if (!ownKeyGoes) {
            ptr::RegKey opened;
            ASSERT_TRUE(opened.Open(HKEY_CURRENT_USER, Key(c.key), KEY_ALL_ACCESS));
            opened.DeleteValue("Later");
            opened.Close();
            uninst::RestoreRegistry(removal);
        }
        for (const std::string& shared : c.shared) {
            EXPECT_FALSE(KeyExists(Key(shared.substr(2)))) << c.name << ": " << shared;
        }
        TearDown();
    }
}

TEST_F(RegistryRecording, TheOwnKeyOfAllUsersIsRecordedWithoutBeingWritten) {
    TInsLog log;
    RegistryRecorder recorder(log);
    recorder.RecordOwnKey(kHkcu, Key("Suite"));
    EXPECT_EQ(Describe(log.RegObjects), std::vector<std::string>{"0 Suite"});
    EXPECT_FALSE(KeyExists(Key("Suite")));
    // There already, it is the suite's as well: its removal takes it.
    SetText(Key("Suite"), "v", "x");
    TInsLog again;
    RegistryRecorder(again).RecordOwnKey(kHkcu, Key("Suite"));
    EXPECT_EQ(Describe(again.RegObjects), std::vector<std::string>{"0 Suite"});
    // A key named as the own key must lie above the value's key.
    EXPECT_THROW(recorder.Write(kHkcu, Key("Elsewhere"), Key("Run"), "v", inslog::rkString, TextValue("x")),
                 setup::ESetupError);
}

TEST_F(RegistryRecording, UndoPutsBackExactlyWhatThisRunChanged) {
    SetText(Key("Own"), "Kept", "before");
    // Values the log could not hold whole: another type, a text longer than 255.
    const std::string list("one\0two\0\0", 9);
    const std::string longText(300, 'x');
    {
        ptr::RegKey own;
        ASSERT_TRUE(own.Create(HKEY_CURRENT_USER, Key("Own"), KEY_WRITE));
        ASSERT_TRUE(own.WriteRaw("List", REG_MULTI_SZ, std::vector<BYTE>(list.begin(), list.end())));
        ASSERT_TRUE(own.WriteString("Long", longText));
    }
    TInsLog log;
    std::vector<std::size_t> saved;
    RegistryRecorder recorder(log, [&log, &saved](const std::string&) { saved.push_back(log.RegObjects.size()); });
    for (const char* name : {"Kept", "List", "Long"}) {
        recorder.Write(kHkcu, Key("Own"), Key("Own"), name, inslog::rkString, TextValue("changed"));
    }
    recorder.Write(kHkcu, "", Key("Run"), "PtrAgent", inslog::rkString, TextValue("new"));
    // The log held each change's record before the change was made.
    EXPECT_EQ(saved, (std::vector<std::size_t>{1, 1, 1, 2}));
    recorder.Undo();
    EXPECT_EQ(Text(Key("Own"), "Kept"), "before");
    EXPECT_EQ(Text(Key("Own"), "Long"), longText);
    ptr::RegKey own;
    ASSERT_TRUE(own.Open(HKEY_CURRENT_USER, Key("Own"), KEY_READ));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(own.ReadRaw("List", type, data));
    EXPECT_EQ(type, DWORD(REG_MULTI_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), list);
    EXPECT_FALSE(KeyExists(Key("Run")));
}

// Installs twice through the recorder, as a first installation and an update
// whose log is assembled from the first one's, then restores the update's
// log: everything the suite ever put there goes, the suite's own value that
// was there before it too, and the keys the first installation had to make.
TEST_F(RegistryRecording, AnUpdatesLogTakesAllTheSuiteEverPutThere) {
    SetText(Key("Run"), "PtrAgent", "a start of a deleted installation");  // the suite's own value, left behind
    auto install = [](const TInsLog* earlier, const std::string& version, bool newValue) {
        TInsLog fresh;
        RegistryRecorder recorder(fresh);
        recorder.Write(kHkcu, Key("Suite"), Key("Suite"), "Version", inslog::rkString, TextValue(version));
        recorder.Write(kHkcu, "", Key("Run"), "PtrAgent", inslog::rkString, TextValue("agent " + version));
        recorder.Write(kHkcu, Key("Uninstall\\Suite"), Key("Uninstall\\Suite"), "DisplayVersion", inslog::rkString,
                       TextValue(version));
        if (newValue) recorder.Write(kHkcu, "", Key("Run"), "Helper", inslog::rkString, TextValue("helper"));
        return setup::AssembleLog(earlier, fresh, recorder.SharedKeys());
    };
    const TInsLog first = install(nullptr, "1", false);
    SetText(Key("Suite\\Agent"), "WheelLines", "7");  // the agent keeps its settings
    const TInsLog update = install(&first, "2", true);
    EXPECT_EQ(Text(Key("Suite\\Agent"), "WheelLines"), "7");

    EXPECT_EQ(Describe(update.RegObjects), (std::vector<std::string>{"0 Suite", "1 Run:PtrAgent", "0 Uninstall\\Suite",
                                                                     "1 Run:Helper", "6 Uninstall"}));

    TInsLog removal;
    removal.RegObjects = update.RegObjects;
    uninst::RestoreRegistry(removal);
    EXPECT_FALSE(KeyExists(Key("Suite")));
    EXPECT_FALSE(KeyExists(Key("Uninstall")));
    EXPECT_EQ(Text(Key("Run"), "PtrAgent"), "(none)");
    EXPECT_EQ(Text(Key("Run"), "Helper"), "(none)");
}

TEST(RegistryRecords, WhatAnEarlierRecordAlreadyCovers) {
    auto record = [](std::uint32_t root, const char* key, const char* value, std::uint8_t kind) {
        return inslog::MakeRecord(root, key, kind, value);
    };
    const struct {
        TUninsRegObject earlier, later;
        bool covered;
    } cases[] = {
        {record(kHkcu, "S\\K", "", 0), record(kHkcu, "S\\K\\Sub", "v", 1), true},
        {record(kHkcu, "S\\K", "", 0), record(kHkcu, "s\\k", "v", 2), true},
        {record(kHkcu, "S\\K", "", 0), record(kHkcu, "S\\Key", "v", 1), false},  // a sibling whose name starts alike
        {record(kHkcu, "S\\K", "", 0), record(0x80000002, "S\\K", "v", 1), false},
        {record(kHkcu, "S\\K", "v", 1), record(kHkcu, "S\\K", "v", 2), true},
        {record(kHkcu, "S\\K", "v", 1), record(kHkcu, "S\\K", "w", 1), false},
        {record(kHkcu, "S\\K", "v", 2), record(kHkcu, "S\\K", "", 0), false},
        {record(kHkcu, "S\\K", "", 6), record(kHkcu, "S\\K", "", 6), true},
        {record(kHkcu, "S\\K", "", 6), record(kHkcu, "S\\K", "v", 1), false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(setup::Covers(cases[i].earlier, cases[i].later), cases[i].covered) << "case " << i;
    }
}

}  // namespace
