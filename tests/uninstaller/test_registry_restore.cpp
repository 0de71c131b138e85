// Restoring and recording registry state through the real advapi32 registry
// of the test prefix, below a scratch key.
#include "inslog.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace uninst_test;
using uninst::RegValue;
using uninst::TInsLog;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteTestKey(); }
    void TearDown() override { DeleteTestKey(); }

    // Loads records (given as log bytes) and restores them.
    static void Restore(LogBytes records, int count) {
        const std::vector<unsigned char> raw = records.Count(0x50A, count).Bytes();
        inslog::LogContents contents;
        ASSERT_EQ(inslog::ParseLog(raw.data(), raw.size(), contents), inslog::ParseResult::Ok);
        TInsLog log;
        log.RegObjects = contents.RegObjects;
        log.RestoreRegistry();
    }

    static std::pair<DWORD, std::vector<unsigned char>> Value(const std::string& key, const std::string& name) {
        DWORD type = 0;
        std::vector<unsigned char> data;
        if (!ReadValue(key, name, type, data)) return {REG_NONE, {0xEE}};
        return {type, data};
    }
};

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(RegistryTest, EachKindRestoresItsValue) {
    std::vector<unsigned char> dword = {0x2A, 0, 0, 0};
    dword.resize(256, 0x99);  // the 252 bytes after the number do not matter
    LogBytes records;
    records.Record(kHkcu, TestKey(), "Text", 2, ShortData("old text"));
    records.Record(kHkcu, TestKey(), "Expand", 3, ShortData("%WINDIR%\\x"));
    records.Record(kHkcu, TestKey(), "Number", 4, dword);
    records.Record(kHkcu, TestKey(), "Empty", 5, ShortData(""));
    records.Record(kHkcu, TestKey(), "Bytes", 5, ShortData(std::string("\0\1\xFF", 3)));
    Restore(records, 5);
    EXPECT_EQ(Value(TestKey(), "Text"), std::make_pair(DWORD(REG_SZ), Bytes(std::string("old text\0", 9))));
    EXPECT_EQ(Value(TestKey(), "Expand"), std::make_pair(DWORD(REG_EXPAND_SZ), Bytes(std::string("%WINDIR%\\x\0", 11))));
    EXPECT_EQ(Value(TestKey(), "Number"), std::make_pair(DWORD(REG_DWORD), Bytes(std::string("\x2A\0\0\0", 4))));
    EXPECT_EQ(Value(TestKey(), "Empty"), std::make_pair(DWORD(REG_BINARY), std::vector<unsigned char>{}));
    EXPECT_EQ(Value(TestKey(), "Bytes"), std::make_pair(DWORD(REG_BINARY), Bytes(std::string("\0\1\xFF", 3))));
}

TEST_F(RegistryTest, CreatedKeysAndValuesAreRemovedAndGoneOnesLeftAlone) {
    SetString(TestKey("Made\\Deep"), "v", "x");
    SetString(TestKey("Kept"), "made", "x");
    SetString(TestKey("Kept"), "other", "y");
    LogBytes records;
    records.Record(kHkcu, TestKey("Made"), "", 0, {});
    records.Record(kHkcu, TestKey("Gone"), "", 0, {});          // a key already gone
    records.Record(kHkcu, TestKey("Kept"), "made", 1, {});
    records.Record(kHkcu, TestKey("Absent"), "made", 1, {});    // not created by a value deletion
    Restore(records, 4);
    EXPECT_FALSE(KeyExists(TestKey("Made")));
    EXPECT_EQ(Value(TestKey("Kept"), "made").first, DWORD(REG_NONE));
    EXPECT_EQ(Value(TestKey("Kept"), "other").first, DWORD(REG_SZ));
    EXPECT_FALSE(KeyExists(TestKey("Absent")));
}

TEST_F(RegistryTest, ALeadingBackslashNamesTheSameKeyAndUnknownKindsAreSkipped) {
    LogBytes records;
    records.Record(kHkcu, "\\" + TestKey("Lead"), "v", 2, ShortData("lead"));
    records.Record(kHkcu, TestKey("Nine"), "v", 9, ShortData("nine"));
    records.Record(kHkcu, TestKey("After"), "v", 2, ShortData("first"));
    records.Record(kHkcu, TestKey("After"), "v", 2, ShortData("last wins"));
    Restore(records, 4);
    EXPECT_EQ(Value(TestKey("Lead"), "v").second, Bytes(std::string("lead\0", 5)));
    EXPECT_FALSE(KeyExists(TestKey("Nine")));
    EXPECT_EQ(Value(TestKey("After"), "v").second, Bytes(std::string("last wins\0", 10)));
}

TEST_F(RegistryTest, AnEmptyKeyPathNeverDeletesTheWholeRoot) {
    // The root of these records is an open key handle, so a fault would only
    // take the scratch key's children.
    SetString(TestKey("Root\\Child"), "v", "x");
    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey("Root").c_str(), 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
    const auto rootValue = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(root));
    for (const char* path : {"", "\\"}) {
        TInsLog log;
        log.ApplyRegChange(rootValue, path, 0, "", {}, false);
        log.ApplyRegChange(rootValue, path, 0, "", {}, true);
        EXPECT_TRUE(log.RegObjects.empty());
    }
    RegCloseKey(root);
    EXPECT_TRUE(KeyExists(TestKey("Root\\Child")));
}

TEST_F(RegistryTest, RecordingANewKeyANewValueAndExistingValuesOfEachTypeThenRestoring) {
    SetString(TestKey("Old"), "Text", "old");
    SetString(TestKey("Old"), "Expand", "%old%", REG_EXPAND_SZ);
    SetDword(TestKey("Old"), "Number", 7);
    SetBinary(TestKey("Old"), "Bytes", {1, 2, 3});
    TInsLog log;
    RegValue text;
    text.text = "new";
    RegValue number;
    number.number = -5;
    log.ApplyRegChange(kHkcu, TestKey("New"), 2, "v", text, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 2, "Added", text, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 2, "Text", text, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 3, "Expand", text, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 4, "Number", number, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 5, "Bytes", text, true);

    std::vector<std::pair<int, std::string>> kinds;
    for (const auto& record : log.RegObjects) kinds.emplace_back(record.Kind, inslog::ValueNameOf(record));
    EXPECT_EQ(kinds, (std::vector<std::pair<int, std::string>>{
                         {0, ""}, {1, "v"}, {1, "Added"}, {2, "Text"}, {3, "Expand"}, {4, "Number"}, {5, "Bytes"}}));
    EXPECT_EQ(inslog::DataTextOf(log.RegObjects[3]), "old");
    EXPECT_EQ(inslog::DataIntegerOf(log.RegObjects[5]), 7);
    // The changes themselves were made.
    EXPECT_EQ(Value(TestKey("New"), "v").second, Bytes(std::string("new\0", 4)));
    EXPECT_EQ(Value(TestKey("Old"), "Number").second, Bytes(std::string("\xFB\xFF\xFF\xFF", 4)));
    EXPECT_EQ(Value(TestKey("Old"), "Bytes"), std::make_pair(DWORD(REG_BINARY), Bytes("new")));

    log.RestoreRegistry();
    EXPECT_FALSE(KeyExists(TestKey("New")));
    EXPECT_EQ(Value(TestKey("Old"), "Added").first, DWORD(REG_NONE));
    EXPECT_EQ(Value(TestKey("Old"), "Text"), std::make_pair(DWORD(REG_SZ), Bytes(std::string("old\0", 4))));
    EXPECT_EQ(Value(TestKey("Old"), "Expand"), std::make_pair(DWORD(REG_EXPAND_SZ), Bytes(std::string("%old%\0", 6))));
    EXPECT_EQ(Value(TestKey("Old"), "Number"), std::make_pair(DWORD(REG_DWORD), Bytes(std::string("\7\0\0\0", 4))));
    EXPECT_EQ(Value(TestKey("Old"), "Bytes"), std::make_pair(DWORD(REG_BINARY), std::vector<unsigned char>{1, 2, 3}));
}

TEST_F(RegistryTest, DeletingATreeRecordsEveryValueSubkeysFirstAndRestoringRebuildsIt) {
    SetDword(TestKey("Tree"), "a", 1);
    SetString(TestKey("Tree\\Sub"), "b", "x");
    SetString(TestKey("Tree"), "c", "gone with the value");
    TInsLog log;
    log.ApplyRegChange(kHkcu, TestKey("Tree"), 1, "c", {}, true);
    log.ApplyRegChange(kHkcu, TestKey("Tree"), 0, "", {}, true);
    EXPECT_FALSE(KeyExists(TestKey("Tree")));
    ASSERT_EQ(log.RegObjects.size(), 3u);
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[0]), TestKey("Tree"));
    EXPECT_EQ(inslog::ValueNameOf(log.RegObjects[0]), "c");
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[1]), TestKey("Tree\\Sub"));
    EXPECT_EQ(inslog::ValueNameOf(log.RegObjects[2]), "a");

    log.RestoreRegistry();
    EXPECT_EQ(Value(TestKey("Tree"), "a").second, Bytes(std::string("\1\0\0\0", 4)));
    EXPECT_EQ(Value(TestKey("Tree\\Sub"), "b").second, Bytes(std::string("x\0", 2)));
    EXPECT_EQ(Value(TestKey("Tree"), "c").first, DWORD(REG_SZ));
}

// Recorded cut or as created, such a value would come back changed, or not
// at all: it is not changed, and a tree holding one is not deleted.
TEST_F(RegistryTest, AValueTheLogCannotHoldWholeIsLeftAlone) {
    const std::string list("one\0two\0\0", 9);
    const std::string longText(300, 't');
    const std::vector<unsigned char> longBytes(300, 0xB5);
    SetString(TestKey("Old"), "List", list, REG_MULTI_SZ);
    SetString(TestKey("Old"), "Long", longText);
    SetBinary(TestKey("Old"), "Big", longBytes);
    SetString(TestKey("Old"), "Text", "old");
    SetString(TestKey("Tree\\Sub"), "List", list, REG_MULTI_SZ);
    SetDword(TestKey("Tree"), "a", 1);
    const auto before = std::make_tuple(Value(TestKey("Old"), "List"), Value(TestKey("Old"), "Long"),
                                        Value(TestKey("Old"), "Big"), Value(TestKey("Tree\\Sub"), "List"));
    TInsLog log;
    RegValue text;
    text.text = "new";
    log.ApplyRegChange(kHkcu, TestKey("Old"), 2, "List", text, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 1, "Long", {}, true);
    log.ApplyRegChange(kHkcu, TestKey("Old"), 5, "Big", text, true);
    log.ApplyRegChange(kHkcu, TestKey("Tree"), 0, "", {}, true);
    EXPECT_TRUE(log.RegObjects.empty());
    EXPECT_EQ(std::make_tuple(Value(TestKey("Old"), "List"), Value(TestKey("Old"), "Long"),
                              Value(TestKey("Old"), "Big"), Value(TestKey("Tree\\Sub"), "List")),
              before);
    EXPECT_EQ(Value(TestKey("Tree"), "a").second, Bytes(std::string("\1\0\0\0", 4)));
    EXPECT_FALSE(log.RecordValueState(kHkcu, TestKey("Old"), "List"));
    // A value that fits is recorded and changed beside them.
    log.ApplyRegChange(kHkcu, TestKey("Old"), 2, "Text", text, true);
    ASSERT_EQ(log.RegObjects.size(), 1u);
    EXPECT_EQ(inslog::DataTextOf(log.RegObjects[0]), "old");
}

TEST_F(RegistryTest, MissingParentKeysAreRecordedFromTheOutermostAndLongNamesAreRefused) {
    SetString(TestKey(), "anchor", "x");
    TInsLog log;
    RegValue text;
    text.text = "v";
    log.RecordMissingKeys(kHkcu, TestKey("A\\B\\C"));
    log.ApplyRegChange(kHkcu, TestKey("A\\B\\C"), 2, "v", text, true);
    ASSERT_EQ(log.RegObjects.size(), 3u);
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[0]), TestKey("A"));
    EXPECT_EQ(log.RegObjects[0].Kind, 0);
    log.RestoreRegistry();
    EXPECT_FALSE(KeyExists(TestKey("A")));

    const std::string longName(300, 'n');
    EXPECT_THROW(log.ApplyRegChange(kHkcu, TestKey(), 2, longName, text, true), uninst::EUninstError);
    EXPECT_EQ(Value(TestKey(), longName).first, DWORD(REG_NONE));
}

}  // namespace
