// Loading and writing the installation log through the real file system.
#include "inslog.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace uninst_test;
using inslog::EInsLogError;
using inslog::TInsLog;

namespace {

class InsLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = ScratchFolder();
        path_ = folder_ + "\\uninst.log";
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    // Loads bytes; returns the error message, empty when the load succeeded.
    std::string Load(const std::vector<unsigned char>& bytes, TInsLog& log) {
        WriteFile(path_, bytes);
        try {
            log.LoadFromFile(path_);
        } catch (const EInsLogError& error) {
            return error.what();
        }
        return "";
    }

    // One file, one folder and one record.
    static LogBytes ValidLog() {
        LogBytes log;
        log.Text(0x100, "Product").Count(0x502, 1).Count(0x506, 1).Count(0x50A, 1);
        log.Entry("C:\\P\\a.dll").Entry("C:\\P").Record(kHkcu, "Software\\X", "V", 4, {7, 0, 0, 0});
        return log;
    }

    std::string folder_;
    std::string path_;
};

TEST_F(InsLogTest, HeaderFieldsComeFromTheirOffsetsAndEmptyCountsGiveEmptyLists) {
    LogBytes bytes;
    bytes.Text(0x000, "reserved").Text(0x100, "PTRHK32A Mouse").Text(0x200, "Tahoma");
    bytes.Text(0x300, "PtrHkTrayAgent").Text(0x400, "PTRHK32A Tray Agent");
    std::vector<unsigned char> raw = bytes.Bytes();
    raw[0x500] = 0x11;
    raw[0x501] = 0x22;
    raw[0x50E] = 0x7F;  // the reserved word is read and not interpreted
    TInsLog log;
    ASSERT_EQ(Load(raw, log), "");
    EXPECT_EQ(log.ReservedText, "reserved");
    EXPECT_EQ(log.ProductName, "PTRHK32A Mouse");
    EXPECT_EQ(log.FontName, "Tahoma");
    EXPECT_EQ(log.AppWindowClass, "PtrHkTrayAgent");
    EXPECT_EQ(log.AppWindowTitle, "PTRHK32A Tray Agent");
    EXPECT_EQ(log.ReservedFlag1, 0x11);
    EXPECT_EQ(log.ReservedFlag2, 0x22);
    EXPECT_EQ(log.Files.Count() + log.Folders.Count() + log.RegObjects.size(), 0u);
}

TEST_F(InsLogTest, FilesAndFoldersAreSortedWithoutCaseDuplicatesAndRecordsKeepTheirOrder) {
    LogBytes bytes;
    bytes.Count(0x502, 3).Count(0x506, 3).Count(0x50A, 3);
    bytes.Entry("C:\\Dir\\File.txt").Entry("c:\\dir\\FILE.TXT").Entry("C:\\Dir\\b.txt");
    bytes.Entry("C:\\A\\B").Entry("C:\\A").Entry("C:\\a\\b");
    bytes.Record(kHkcu, "K9", "", 9, {}).Record(kHkcu, "K4", "", 4, {}).Record(kHkcu, "K0", "", 0, {});
    TInsLog log;
    ASSERT_EQ(Load(bytes.Bytes(), log), "");
    EXPECT_EQ(log.Files.Items(), (std::vector<std::string>{"C:\\Dir\\b.txt", "C:\\Dir\\File.txt"}));
    EXPECT_EQ(log.Folders.Items(), (std::vector<std::string>{"C:\\A", "C:\\A\\B"}));
    ASSERT_EQ(log.RegObjects.size(), 3u);
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[0]), "K9");
    EXPECT_EQ(inslog::KeyNameOf(log.RegObjects[2]), "K0");
}

TEST_F(InsLogTest, EveryTruncationFailsWithTheStreamError) {
    const std::vector<unsigned char> valid = ValidLog().Bytes();
    TInsLog whole;
    ASSERT_EQ(Load(valid, whole), "");
    for (std::size_t length = 0; length < valid.size(); ++length) {
        TInsLog log;
        ASSERT_EQ(Load(std::vector<unsigned char>(valid.begin(), valid.begin() + length), log), "Stream read error")
            << "cut at " << length;
    }
}

TEST_F(InsLogTest, AMissingOrWriterLockedLogCannotBeOpened) {
    TInsLog log;
    EXPECT_THROW(
        {
            try {
                log.LoadFromFile(folder_ + "\\none.log");
            } catch (const EInsLogError& error) {
                EXPECT_EQ(std::string(error.what()), "Cannot open file " + folder_ + "\\none.log");
                throw;
            }
        },
        EInsLogError);
    WriteFile(path_, LogBytes().Bytes());
    HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_THROW(log.LoadFromFile(path_), EInsLogError);
    CloseHandle(writer);
}

}  // namespace
