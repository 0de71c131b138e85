// The temporary copy's names and its command line, read back.
#include "temp_copy.h"
#include "uninst_app.h"
#include "uninst_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace uninst;

namespace {

TEST(PathRoutines, QuoteBackslashesAndExtensions) {
    const struct {
        std::string path, quoted;
    } quotes[] = {
        {"C:\\Prog\\uninst.exe", "C:\\Prog\\uninst.exe"},
        {"C:\\Program Files\\uninst.exe", "\"C:\\Program Files\\uninst.exe\""},
        {"\"C:\\Program Files\\uninst.exe\"", "\"C:\\Program Files\\uninst.exe\""},
        {" \t C:\\A B\\x.exe \r\n", "\"C:\\A B\\x.exe\""},
    };
    for (const auto& q : quotes) EXPECT_EQ(Quote(q.path), q.quoted) << q.path;
    EXPECT_EQ(ptr::AddBackslash("C:\\Temp"), "C:\\Temp\\");
    EXPECT_EQ(ptr::AddBackslash("C:\\Temp\\"), "C:\\Temp\\");
    EXPECT_EQ(ptr::AddBackslash(""), "");
    EXPECT_EQ(ptr::RemoveBackslash("C:\\Temp\\"), "C:\\Temp");
    EXPECT_EQ(ChangeFileExt("C:\\P.d\\uninst.exe", ".Log"), "C:\\P.d\\uninst.Log");
    EXPECT_EQ(ChangeFileExt("C:\\P.d\\uninst", ".UN2"), "C:\\P.d\\uninst.UN2");
}

TEST(TemporaryName, CodesAndTheFirstFreeName) {
    EXPECT_EQ(NameCode(1), "00001");
    EXPECT_EQ(NameCode(31), "0000V");
    EXPECT_EQ(NameCode(32), "00010");
    EXPECT_EQ(NameCode(0x1FFFFFF), "VVVVV");

    const std::string folder = uninst_test::ScratchFolder();
    std::string name;
    ASSERT_TRUE(UniqueName(folder, ".TMP", 0, ptr::PathExists, name));
    EXPECT_EQ(name, folder + "\\is-00001.TMP");  // a folder without a trailing backslash
    uninst_test::WriteFile(folder + "\\is-00001.TMP", {});
    CreateDirectoryA((folder + "\\is-00002.TMP").c_str(), nullptr);
    ASSERT_TRUE(UniqueName(folder + "\\", ".TMP", 0, ptr::PathExists, name));
    EXPECT_EQ(name, folder + "\\is-00003.TMP");
    // Past the last code the search goes round to 0; with every name taken it fails.
    ASSERT_TRUE(UniqueName(folder, ".TMP", 0x1FFFFFF, [](const std::string&) { return false; }, name));
    EXPECT_EQ(name, folder + "\\is-00000.TMP");
    EXPECT_FALSE(UniqueName(folder, ".TMP", 5, [](const std::string&) { return true; }, name));
    DeleteFileA((folder + "\\is-00001.TMP").c_str());
    RemoveDirectoryA((folder + "\\is-00002.TMP").c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(CopyArguments, TheHandleInUpperCaseHexAfterTheQuotedPath) {
    EXPECT_EQ(CopyArguments("C:\\Program Files\\P\\uninst.exe", 0x1A0bcU),
              " \"C:\\Program Files\\P\\uninst.exe\" $1A0BC");
    EXPECT_EQ(CopyArguments("C:\\P\\uninst.exe", 0xFFFFFFFFU), " C:\\P\\uninst.exe $FFFFFFFF");
}

TEST(ParseInteger, HexAfterDollarDecimalAndErrors) {
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"$1A0BC", true, 0x1A0BC}, {"$ffffffff", true, -1}, {"0x10", true, 16},   {"42", true, 42},
        {"-7", true, -7},          {"$", false, 0},          {"12a", false, 0},   {"", false, 0},
        {"$100000000", false, 0},  {"2147483648", false, 0}, {"-2147483648", true, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        std::int32_t value = 0;
        EXPECT_EQ(ParseInteger(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    EXPECT_EQ(NotAnIntegerMessage("$zz"), "'$zz' is not a valid integer value");
}

}  // namespace
