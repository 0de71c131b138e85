// The installation log's recording rule on the real registry of the test
// prefix, below a scratch key: what each change records, checked by putting
// the records back as the uninstaller does.
#include "log_recording.h"

#include "registry_restore.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace uninst_test;
using inslog::RegValue;
using inslog::TInsLog;

namespace {

class LogRecording : public ::testing::Test {
protected:
    void SetUp() override { DeleteTestKey(); }
    void TearDown() override { DeleteTestKey(); }
};

// The change as the log's primitive makes it with recording: what cannot be
// held whole is neither recorded nor changed.
void RecordThenApply(TInsLog& log, std::uint32_t root, const std::string& key, std::uint8_t kind,
                     const std::string& valueName, const RegValue& value) {
    if (setup::RecordRegChange(log, root, key, kind, valueName)) {
        inslog::ApplyRegChange(root, key, kind, valueName, value);
    }
}

TEST_F(LogRecording, AnEmptyKeyPathNeverDeletesTheWholeRoot) {
    // The root of these records is an open key handle, so a fault would only
    // take the scratch key's children.
    SetString(TestKey("Root\\Child"), "v", "x");
    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey("Root").c_str(), 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
    const auto rootValue = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(root));
    for (const char* path : {"", "\\"}) {
        TInsLog log;
        inslog::ApplyRegChange(rootValue, path, 0, "", {});
        RecordThenApply(log, rootValue, path, 0, "", {});
        EXPECT_TRUE(log.RegObjects.empty());
    }
    RegCloseKey(root);
    EXPECT_TRUE(KeyExists(TestKey("Root\\Child")));
}


TEST_F(LogRecording, RecordingANewKeyANewValueAndExistingValuesOfEachTypeThenRestoring) {
    SetString(TestKey("Old"), "Text", "old");
    SetString(TestKey("Old"), "Expand", "%old%", REG_EXPAND_SZ);
    SetDword(TestKey("Old"), "Number", 7);
    SetBinary(TestKey("Old"), "Bytes", {1, 2, 3});
    TInsLog log;
    RegValue text;
    text.text = "new";
    RegValue number;
    number.number = -5;
    RecordThenApply(log, kHkcu, TestKey("New"), 2, "v", text);
    RecordThenApply(log, kHkcu, TestKey("Old"), 2, "Added", text);
    RecordThenApply(log, kHkcu, TestKey("Old"), 2, "Text", text);
    RecordThenApply(log, kHkcu, TestKey("Old"), 3, "Expand", text);
    RecordThenApply(log, kHkcu, TestKey("Old"), 4, "Number", number);
    RecordThenApply(log, kHkcu, TestKey("Old"), 5, "Bytes", text);

    std::vector<std::pair<int, std::string>> kinds;
    for (const auto& record : log.RegObjects) kinds.emplace_back(record.Kind, inslog::ValueNameOf(record));
    EXPECT_EQ(kinds, (std::vector<std::pair<int, std::string>>{
                         {0, ""}, {1, "v"}, {1, "Added"}, {2, "Text"}, {3, "Expand"}, {4, "Number"}, {5, "Bytes"}}));
    EXPECT_EQ(inslog::DataTextOf(log.RegObjects[3]), "old");
    EXPECT_EQ(inslog::DataIntegerOf(log.RegObjects[5]), 7);
    // The changes themselves were made.
    EXPECT_EQ(ValueOf(TestKey("New"), "v").second, Bytes(std::string("new\0", 4)));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Number").second, Bytes(std::string("\xFB\xFF\xFF\xFF", 4)));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Bytes"), std::make_pair(DWORD(REG_BINARY), Bytes("new")));

    uninst::RestoreRegistry(log);
    EXPECT_FALSE(KeyExists(TestKey("New")));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Added").first, DWORD(REG_NONE));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Text"), std::make_pair(DWORD(REG_SZ), Bytes(std::string("old\0", 4))));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Expand"), std::make_pair(DWORD(REG_EXPAND_SZ), Bytes(std::string("%old%\0", 6))));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Number"), std::make_pair(DWORD(REG_DWORD), Bytes(std::string("\7\0\0\0", 4))));
    EXPECT_EQ(ValueOf(TestKey("Old"), "Bytes"), std::make_pair(DWORD(REG_BINARY), std::vector<unsigned char>{1, 2, 3}));
}

TEST_F(LogRecording, DeletingATreeRecordsEveryValueSubkeysFirstAndRestoringRebuildsIt) {
    SetDword(TestKey("Tree"), "a", 1);
    SetString(TestKey("Tree\\Sub"), "b", "x");
    SetString(TestKey("Tree"), "c", "gone with the value");
    TInsLog log;
    RecordThenApply(log, kHkcu, TestKey("Tree"), 1, "c", {});
    RecordThenApply(log, kHkcu, TestKey("Tree"), 0, "", {});
    EXPECT_FALSE(KeyExists(TestKey("Tree")));
    ASSERT_EQ(log.RegObjects.size(), 3u);
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[0]), TestKey("Tree"));
    EXPECT_EQ(inslog::ValueNameOf(log.RegObjects[0]), "c");
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[1]), TestKey("Tree\\Sub"));
    EXPECT_EQ(inslog::ValueNameOf(log.RegObjects[2]), "a");

    uninst::RestoreRegistry(log);
    EXPECT_EQ(ValueOf(TestKey("Tree"), "a").second, Bytes(std::string("\1\0\0\0", 4)));
    EXPECT_EQ(ValueOf(TestKey("Tree\\Sub"), "b").second, Bytes(std::string("x\0", 2)));
    EXPECT_EQ(ValueOf(TestKey("Tree"), "c").first, DWORD(REG_SZ));
}

// Recorded cut or as created, such a value would come back changed, or not
// at all: it is not changed, and a tree holding one is not deleted.
TEST_F(LogRecording, AValueTheLogCannotHoldWholeIsLeftAlone) {
    const std::string list("one\0two\0\0", 9);
    const std::string longText(300, 't');
    const std::vector<unsigned char> longBytes(300, 0xB5);
    SetString(TestKey("Old"), "List", list, REG_MULTI_SZ);
    SetString(TestKey("Old"), "Long", longText);
    SetBinary(TestKey("Old"), "Big", longBytes);
    SetString(TestKey("Old"), "Text", "old");
    SetString(TestKey("Tree\\Sub"), "List", list, REG_MULTI_SZ);
    SetDword(TestKey("Tree"), "a", 1);
    const auto before = std::make_tuple(ValueOf(TestKey("Old"), "List"), ValueOf(TestKey("Old"), "Long"),
                                        ValueOf(TestKey("Old"), "Big"), ValueOf(TestKey("Tree\\Sub"), "List"));
    TInsLog log;
    RegValue text;
    text.text = "new";
    RecordThenApply(log, kHkcu, TestKey("Old"), 2, "List", text);
    RecordThenApply(log, kHkcu, TestKey("Old"), 1, "Long", {});
    RecordThenApply(log, kHkcu, TestKey("Old"), 5, "Big", text);
    RecordThenApply(log, kHkcu, TestKey("Tree"), 0, "", {});
    EXPECT_TRUE(log.RegObjects.empty());
    EXPECT_EQ(std::make_tuple(ValueOf(TestKey("Old"), "List"), ValueOf(TestKey("Old"), "Long"),
                              ValueOf(TestKey("Old"), "Big"), ValueOf(TestKey("Tree\\Sub"), "List")),
              before);
    EXPECT_EQ(ValueOf(TestKey("Tree"), "a").second, Bytes(std::string("\1\0\0\0", 4)));
    EXPECT_FALSE(setup::RecordValueState(log, kHkcu, TestKey("Old"), "List"));
    // A value that fits is recorded and changed beside them.
    RecordThenApply(log, kHkcu, TestKey("Old"), 2, "Text", text);
    ASSERT_EQ(log.RegObjects.size(), 1u);
    EXPECT_EQ(inslog::DataTextOf(log.RegObjects[0]), "old");
}

TEST_F(LogRecording, MissingParentKeysAreRecordedFromTheOutermostAndLongNamesAreRefused) {
    SetString(TestKey(), "anchor", "x");
    TInsLog log;
    RegValue text;
    text.text = "v";
    setup::RecordMissingKeys(log, kHkcu, TestKey("A\\B\\C"));
    RecordThenApply(log, kHkcu, TestKey("A\\B\\C"), 2, "v", text);
    ASSERT_EQ(log.RegObjects.size(), 3u);
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[0]), TestKey("A"));
    EXPECT_EQ(log.RegObjects[0].Kind, 0);
    uninst::RestoreRegistry(log);
    EXPECT_FALSE(KeyExists(TestKey("A")));

    const std::string longName(300, 'n');
    EXPECT_THROW(RecordThenApply(log, kHkcu, TestKey(), 2, longName, text), inslog::EInsLogError);
    EXPECT_EQ(ValueOf(TestKey(), longName).first, DWORD(REG_NONE));
}

}  // namespace
