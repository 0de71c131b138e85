// Putting registry state back from the records of an installation log,
// through the real advapi32 registry of the test prefix, below a scratch key.
#include "registry_restore.h"

#include "uninst_test_support.h"

#include <gtest/gtest.h>

using namespace uninst_test;
using inslog::TInsLog;

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
        uninst::RestoreRegistry(log);
    }
};

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
    EXPECT_EQ(ValueOf(TestKey(), "Text"), std::make_pair(DWORD(REG_SZ), Bytes(std::string("old text\0", 9))));
    EXPECT_EQ(ValueOf(TestKey(), "Expand"), std::make_pair(DWORD(REG_EXPAND_SZ), Bytes(std::string("%WINDIR%\\x\0", 11))));
    EXPECT_EQ(ValueOf(TestKey(), "Number"), std::make_pair(DWORD(REG_DWORD), Bytes(std::string("\x2A\0\0\0", 4))));
    EXPECT_EQ(ValueOf(TestKey(), "Empty"), std::make_pair(DWORD(REG_BINARY), std::vector<unsigned char>{}));
    EXPECT_EQ(ValueOf(TestKey(), "Bytes"), std::make_pair(DWORD(REG_BINARY), Bytes(std::string("\0\1\xFF", 3))));
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
    EXPECT_EQ(ValueOf(TestKey("Kept"), "made").first, DWORD(REG_NONE));
    EXPECT_EQ(ValueOf(TestKey("Kept"), "other").first, DWORD(REG_SZ));
    EXPECT_FALSE(KeyExists(TestKey("Absent")));
}

TEST_F(RegistryTest, ALeadingBackslashNamesTheSameKeyAndUnknownKindsAreSkipped) {
    LogBytes records;
    records.Record(kHkcu, "\\" + TestKey("Lead"), "v", 2, ShortData("lead"));
    records.Record(kHkcu, TestKey("Nine"), "v", 9, ShortData("nine"));
    records.Record(kHkcu, TestKey("After"), "v", 2, ShortData("first"));
    records.Record(kHkcu, TestKey("After"), "v", 2, ShortData("last wins"));
    Restore(records, 4);
    EXPECT_EQ(ValueOf(TestKey("Lead"), "v").second, Bytes(std::string("lead\0", 5)));
    EXPECT_FALSE(KeyExists(TestKey("Nine")));
    EXPECT_EQ(ValueOf(TestKey("After"), "v").second, Bytes(std::string("last wins\0", 10)));
}

}  // namespace
