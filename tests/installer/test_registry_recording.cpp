// How the installer records its registry changes, on the real registry below
// a scratch key: keys other programs share are never recorded as created,
// and what the records restore leaves other programs' values alone; an
// update's log still puts back how things were before the first installation.
#include "registry_recording.h"

#include "reg_key.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using inslog::TUninsRegObject;
using setup::RegistryRecorder;
using uninst::RegValue;
using uninst::TInsLog;

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
         {"0 Uninstall\\PTRHK32A", "1 Uninstall\\PTRHK32A:PtrAgent"},
         {"6 Uninstall"}},
        {"the own key below an existing parent",
         {"Uninstall"},
         "Uninstall\\PTRHK32A",
         "Uninstall\\PTRHK32A",
         {"0 Uninstall\\PTRHK32A", "1 Uninstall\\PTRHK32A:PtrAgent"},
         {}},
        {"a missing key below the existing own key",
         {"Own"},
         "Own",
         "Own\\Deeper\\Still",
         {"0 Own\\Deeper", "1 Own\\Deeper\\Still:PtrAgent"},
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
        removal.RestoreRegistry();
        removal.RestoreRegistry();
        const bool ownKeyGoes = *c.ownKey != 0;
        EXPECT_EQ(Text(Key(c.key), "Later"), ownKeyGoes ? "(none)" : "another program's") << c.name;
        EXPECT_EQ(Text(Key(c.key), "PtrAgent"), "(none)") << c.name;
        for (const std::string& key : c.existing) EXPECT_EQ(Text(Key(key), "Other"), "theirs") << c.name;
        // Nothing left of what the suite alone made: with the other value gone
        // too, the shared keys the installation made go as well.
        if (!ownKeyGoes) {
            ptr::RegKey opened;
            ASSERT_TRUE(opened.Open(HKEY_CURRENT_USER, Key(c.key), KEY_ALL_ACCESS));
            opened.DeleteValue("Later");
            opened.Close();
            removal.RestoreRegistry();
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
    SetText(Key("Suite"), "v", "x");
    TInsLog again;
    RegistryRecorder(again).RecordOwnKey(kHkcu, Key("Suite"));
    EXPECT_TRUE(again.RegObjects.empty());
    // A key named as the own key must lie above the value's key.
    EXPECT_THROW(recorder.Write(kHkcu, Key("Elsewhere"), Key("Run"), "v", inslog::rkString, TextValue("x")),
                 uninst::EUninstError);
}

TEST_F(RegistryRecording, UndoPutsBackWhatThisRunChanged) {
    SetText(Key("Own"), "Kept", "before");
    TInsLog log;
    RegistryRecorder recorder(log);
    recorder.Write(kHkcu, Key("Own"), Key("Own"), "Kept", inslog::rkString, TextValue("changed"));
    recorder.Write(kHkcu, "", Key("Run"), "PtrAgent", inslog::rkString, TextValue("new"));
    recorder.Undo();
    EXPECT_EQ(Text(Key("Own"), "Kept"), "before");
    EXPECT_FALSE(KeyExists(Key("Run")));
}

// Installs twice through the recorder, as a first installation and an update
// whose log is assembled from the first one's, then restores the update's log.
TEST_F(RegistryRecording, AnUpdatesLogRestoresTheStateBeforeTheFirstInstallation) {
    SetText(Key("Run"), "PtrAgent", "an older start");  // there before the suite
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

    EXPECT_EQ(Describe(update.RegObjects),
              (std::vector<std::string>{"0 Suite", "1 Suite:Version", "2 Run:PtrAgent", "0 Uninstall\\Suite",
                                        "1 Uninstall\\Suite:DisplayVersion", "1 Run:Helper", "6 Uninstall"}));
    EXPECT_EQ(inslog::DataTextOf(update.RegObjects[2]), "an older start");

    TInsLog removal;
    removal.RegObjects = update.RegObjects;
    removal.RestoreRegistry();
    EXPECT_FALSE(KeyExists(Key("Suite")));
    EXPECT_FALSE(KeyExists(Key("Uninstall")));
    EXPECT_EQ(Text(Key("Run"), "PtrAgent"), "an older start");
    EXPECT_EQ(Text(Key("Run"), "Helper"), "(none)");
}

TEST(RegistryRecords, WhatAnEarlierRecordAlreadyCovers) {
    auto record = [](std::uint32_t root, const char* key, const char* value, std::uint8_t kind) {
        TInsLog log;
        log.RecordKey(root, key, kind);
        TUninsRegObject object = log.RegObjects.front();
        inslog::WriteShortString(object.ValueName, value);
        return object;
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
