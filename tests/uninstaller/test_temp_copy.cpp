// Path, name and retry routines and the copy's arguments.
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
    EXPECT_EQ(AddBackslash("C:\\Temp"), "C:\\Temp\\");
    EXPECT_EQ(AddBackslash("C:\\Temp\\"), "C:\\Temp\\");
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(RemoveBackslash("C:\\Temp\\"), "C:\\Temp");
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
    ASSERT_TRUE(UniqueName(folder, ".TMP", 0, PathExists, name));
    EXPECT_EQ(name, folder + "\\is-00001.TMP");  // a folder without a trailing backslash
    uninst_test::WriteFile(folder + "\\is-00001.TMP", {});
    CreateDirectoryA((folder + "\\is-00002.TMP").c_str(), nullptr);
    ASSERT_TRUE(UniqueName(folder + "\\", ".TMP", 0, PathExists, name));
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

// A deletion that fails `failures` times with `error`, recording the pauses.
struct FakeDeletion {
    int failures;
    unsigned long error;
    int attempts = 0;
    std::vector<unsigned> pauses;

    DeleteOps Ops() {
        DeleteOps ops;
        ops.remove = [this](const std::string&) { return ++attempts > failures; };
        ops.lastError = [this] { return error; };
        ops.sleep = [this](unsigned ms) { pauses.push_back(ms); };
        return ops;
    }
};

TEST(DeleteRetries, ExecutableAndFileRules) {
    const std::vector<unsigned> eleven(11, 250);
    const struct {
        bool executable;
        int failures;
        unsigned long error;
        int attempts;
        std::vector<unsigned> pauses;
    } cases[] = {
        {true, 100, 32, 12, eleven},          // locked: 12 attempts, a pause before each retry
        {true, 3, 32, 4, {250, 250, 250}},    // freed while retrying
        {true, 100, 2, 1, {}},                // already gone: no waiting
        {true, 100, 3, 1, {}},
        {false, 100, 32, 12, {250, 250}},     // a locked file: 500 ms of pauses in 12 attempts
        {false, 100, 2, 12, {250, 250}},
        {false, 0, 0, 1, {}},
    };
    for (const auto& c : cases) {
        FakeDeletion fake{c.failures, c.error, 0, {}};
        const int attempts = c.executable ? DeleteInstalledExecutable("x", fake.Ops()) : DeleteInstalledFile("x", fake.Ops());
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(fake.attempts, c.attempts);
        EXPECT_EQ(fake.pauses, c.pauses);
    }
}

}  // namespace
