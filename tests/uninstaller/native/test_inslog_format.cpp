// The installation log's bytes on Linux, under AddressSanitizer and
// UndefinedBehaviorSanitizer: what is written reads back, every truncation,
// counts beyond the input, and the sorted list's rules.
#include "inslog_format.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

inslog::LogContents Sample() {
    inslog::LogContents log;
    log.ReservedText = "r";
    log.ProductName = "PTRHK32A Mouse";
    log.FontName = "Tahoma";
    log.AppWindowClass = "PtrHkTrayAgent";
    log.AppWindowTitle = "PTRHK32A Tray Agent";
    log.ReservedFlag1 = 1;
    log.ReservedFlag2 = 2;
    log.Files = {"C:\\P\\a.dll", std::string(300, 'x')};  // the long one is cut at 255
    log.Folders = {"C:\\P"};
    inslog::TUninsRegObject record;
    record.RootKey = 0x80000002;
    ptr::FillShortString(record.KeyName, "Software\\X");
    ptr::FillShortString(record.ValueName, "NoModify");
    record.Kind = inslog::rkInteger;
    inslog::SetDataInteger(record, -2);
    log.RegObjects = {record};
    return log;
}

TEST(InsLogFormat, WrittenThenReadIsTheSame) {
    const std::vector<unsigned char> bytes = inslog::SerializeLog(Sample());
    inslog::LogContents read;
    ASSERT_EQ(inslog::ParseLog(bytes.data(), bytes.size(), read), inslog::ParseResult::Ok);
    inslog::LogContents expected = Sample();
    expected.Files[1].resize(255);
    EXPECT_EQ(read.ProductName, expected.ProductName);
    EXPECT_EQ(read.Files, expected.Files);
    EXPECT_EQ(read.Folders, expected.Folders);
    ASSERT_EQ(read.RegObjects.size(), 1u);
    EXPECT_EQ(inslog::DataIntegerOf(read.RegObjects[0]), -2);
    EXPECT_EQ(inslog::ValueNameOf(read.RegObjects[0]), "NoModify");
}

TEST(InsLogFormat, EveryTruncationIsAShortReadThatKeepsWhatWasRead) {
    const std::vector<unsigned char> bytes = inslog::SerializeLog(Sample());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        // A copy of exactly `length` bytes, so the sanitizer sees any read past it.
        std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + length);
        inslog::LogContents read;
        ASSERT_EQ(inslog::ParseLog(cut.data(), cut.size(), read), inslog::ParseResult::ShortRead) << length;
        EXPECT_EQ(read.Files.size(), length < 1298 ? 0u : std::min<std::size_t>((length - 1298) / 256, 2)) << length;
    }
}

TEST(InsLogFormat, CountsBeyondTheInputAndBelowZero) {
    std::vector<unsigned char> bytes(1298 + 256, 0);
    const struct {
        unsigned char files[4], folders[4], records[4];
        inslog::ParseResult result;
        std::size_t fileCount;
    } cases[] = {
        {{0xFF, 0xFF, 0xFF, 0x7F}, {0, 0, 0, 0}, {0, 0, 0, 0}, inslog::ParseResult::ShortRead, 1},
        {{0, 0, 0, 0}, {0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0x7F}, inslog::ParseResult::ShortRead, 0},
        {{0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 0x80}, {0xFE, 0xFF, 0xFF, 0xFF}, inslog::ParseResult::Ok, 0},
        {{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, inslog::ParseResult::Ok, 1},
    };
    for (const auto& c : cases) {
        std::memcpy(&bytes[0x502], c.files, 4);
        std::memcpy(&bytes[0x506], c.folders, 4);
        std::memcpy(&bytes[0x50A], c.records, 4);
        inslog::LogContents read;
        EXPECT_EQ(inslog::ParseLog(bytes.data(), bytes.size(), read), c.result);
        EXPECT_EQ(read.Files.size(), c.fileCount);
    }
}

TEST(SortedStringList, AscendingWithoutDuplicatesTheFirstKept) {
    inslog::SortedStringList list(inslog::CompareAsciiNoCase);
    for (const char* text : {"C:\\A\\B", "c:\\dir\\FILE", "C:\\A", "C:\\Dir\\file", "C:\\a\\b", "C:\\B"}) {
        list.Add(text);
    }
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"C:\\A", "C:\\A\\B", "C:\\B", "c:\\dir\\FILE"}));
    EXPECT_TRUE(list.Contains("C:\\DIR\\FILE"));
    EXPECT_FALSE(list.Contains("C:\\DIR"));
}

}  // namespace
