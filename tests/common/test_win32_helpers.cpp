// The shared Win32 helpers on the real system (under Wine): the short-string
// codec, RegKey on a scratch key, the file and folder checks, the program's
// own path and the error text.
#include "file_checks.h"
#include "file_version.h"
#include "module_path.h"
#include "reg_key.h"
#include "short_string.h"
#include "win32_error.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(ShortString, SlotsKeepTheirTailFieldsOfFilesAreZeroed) {
    const struct {
        std::string text;
        size_t stored;
    } cases[] = {{"", 0}, {"abc", 3}, {std::string(255, 'x'), 255}, {std::string(300, 'y'), 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.size());
        std::vector<unsigned char> slot(ptr::kShortStringSize, 0xEE);
        ptr::WriteShortString(slot.data(), c.text);
        EXPECT_EQ(slot[0], c.stored);
        EXPECT_EQ(ptr::ReadShortString(slot.data()), c.text.substr(0, c.stored));
        EXPECT_TRUE(std::all_of(slot.begin() + 1 + c.stored, slot.end(), [](unsigned char b) { return b == 0xEE; }));

        std::vector<unsigned char> field(ptr::kShortStringSize, 0xEE);
        ptr::FillShortString(field.data(), c.text);
        EXPECT_EQ(ptr::ReadShortString(field.data()), c.text.substr(0, c.stored));
        EXPECT_TRUE(std::all_of(field.begin() + 1 + c.stored, field.end(), [](unsigned char b) { return b == 0; }));
    }
    // The reader trusts the length byte alone: characters past it do not count.
    const unsigned char field[6] = {2, 'h', 'i', 'X', 'Y', 0};
    EXPECT_EQ(ptr::ReadShortString(field), "hi");
}

constexpr char kScratchKey[] = "Software\\PtrCommonUnitTest";

class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey); }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kScratchKey) + "\\Sub").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
    }
};

TEST_F(RegKeyTest, TypedValuesReadBackOnlyAsTheirOwnType) {
    ptr::RegKey missing;
    EXPECT_FALSE(missing.Open(HKEY_CURRENT_USER, kScratchKey, KEY_READ));
    ptr::RegKey key;
    ASSERT_TRUE(key.Create(ptr::RootKey(0x80000001u), kScratchKey, KEY_ALL_ACCESS));
    ASSERT_TRUE(key.WriteDword("Number", -42));
    ASSERT_TRUE(key.WriteString("Text", "C:\\Program Files"));
    ASSERT_TRUE(key.WriteString("Expand", "%TEMP%", REG_EXPAND_SZ));
    ASSERT_TRUE(key.WriteBinary("Bytes", std::string("\x01\x00\x02", 3)));
    // A text stored without its terminating zero.
    RegSetValueExA(key.get(), "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 4);

    int32_t number = 0;
    std::string text;
    EXPECT_TRUE(key.ReadDword("Number", number));
    EXPECT_EQ(number, -42);
    EXPECT_TRUE(key.ReadString("Text", text, 1023));
    EXPECT_EQ(text, "C:\\Program Files");
    EXPECT_TRUE(key.ReadString("Bare", text, 1023));
    EXPECT_EQ(text, "abcd");
    // A text longer than the caller takes is not read at all.
    text = "kept";
    EXPECT_FALSE(key.ReadString("Text", text, 8));
    EXPECT_EQ(text, "kept");
    // Another type, or no value: nothing is read.
    EXPECT_FALSE(key.ReadString("Number", text, 1023));
    EXPECT_FALSE(key.ReadString("Expand", text, 1023));
    EXPECT_FALSE(key.ReadDword("Text", number));
    EXPECT_FALSE(key.ReadDword("Bytes", number));
    EXPECT_FALSE(key.ReadDword("Absent", number));
    EXPECT_EQ(number, -42);

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(key.ReadRaw("Bytes", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data, (std::vector<BYTE>{1, 0, 2}));
    ASSERT_TRUE(key.ReadRaw("Expand", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("%TEMP%", 7)) << "with its zero";

    std::vector<std::string> names = key.ValueNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Bare", "Bytes", "Expand", "Number", "Text"}));
    EXPECT_TRUE(key.HasValue("Text"));
    EXPECT_TRUE(key.DeleteValue("Text"));
    EXPECT_FALSE(key.HasValue("Text"));
    EXPECT_FALSE(key.DeleteValue("Text"));
}

TEST_F(RegKeyTest, CreateMakesTheMissingKeysAndOpenFindsThem) {
    {
        ptr::RegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, std::string(kScratchKey) + "\\Sub", KEY_ALL_ACCESS));
        EXPECT_TRUE(key.WriteDword("Here", 1));
    }
    ptr::RegKey parent;
    ASSERT_TRUE(parent.Open(HKEY_CURRENT_USER, kScratchKey, KEY_READ));
    EXPECT_EQ(parent.SubkeyNames(), (std::vector<std::string>{"Sub"}));
    // Opening another key through the same object closes the first.
    ASSERT_TRUE(parent.Open(HKEY_CURRENT_USER, std::string(kScratchKey) + "\\Sub", KEY_READ));
    int32_t here = 0;
    EXPECT_TRUE(parent.ReadDword("Here", here));
    EXPECT_EQ(here, 1);
    EXPECT_TRUE(parent.SubkeyNames().empty());
}

// A scratch folder with one file in it, removed at the end.
class ScratchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "ptr-common-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        file_ = folder_ + "\\file.txt";
        HANDLE file = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    void TearDown() override {
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string folder_;
    std::string file_;
};

TEST_F(ScratchFiles, FilesFoldersAndPaths) {
    const struct {
        std::string path;
        bool file, folder, path_;
    } cases[] = {
        {file_, true, false, true},
        {folder_, true, true, true},
        {folder_ + "\\", true, true, true},
        {file_ + ".gone", false, false, false},
        {folder_ + "\\gone\\", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ptr::FileExists(c.path), c.file) << c.path;
        EXPECT_EQ(ptr::FolderExists(c.path), c.folder) << c.path;
        EXPECT_EQ(ptr::PathExists(c.path), c.path_) << c.path;
    }
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return text;
}

TEST(ModulePath, TheProgramsFileAndFolder) {
    const std::string path = ptr::ModulePath();
    const std::string folder = ptr::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(Lower(path), Lower(folder + "common_unit_tests.exe"));
    EXPECT_TRUE(ptr::FileExists(path));
    const std::string kernel = Lower(ptr::ModulePath(GetModuleHandleA("kernel32.dll")));
    EXPECT_EQ(kernel.substr(kernel.find_last_of('\\') + 1), "kernel32.dll");
}

TEST(Win32Error, TheCodeAndTheSystemsTextInOneLine) {
    const std::string known = ptr::Win32ErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(known.rfind("error 2: ", 0), 0u) << known;
    EXPECT_GT(known.size(), 9u) << known;
    EXPECT_EQ(known.find_first_of("\r\n"), std::string::npos) << known;
    EXPECT_NE(known.back(), '.') << known;
    // A code the system has no text for is named by its number alone.
    EXPECT_EQ(ptr::Win32ErrorText(0xDEADBEEFu), "error 3735928559");
}

// The installer reads an installed file's version from its version resource
// and compares it with its own.
TEST(FileVersion, ReadFromTheResourceAndCompared) {
    ptr::FileVersion version;
    ASSERT_TRUE(ptr::ReadFileVersion(ptr::ProgramFolder() + "PTRHK32A.dll", version));
    EXPECT_EQ(ptr::CompareVersions(version, ptr::kSuiteVersion), 0);
    EXPECT_EQ(ptr::VersionText(version), PTR_VERSION_TEXT);
    // A program without one, and no file at all.
    EXPECT_FALSE(ptr::ReadFileVersion(ptr::ModulePath(), version));
    EXPECT_FALSE(ptr::ReadFileVersion(ptr::ProgramFolder() + "no-such.dll", version));
    const struct {
        ptr::FileVersion a, b;
        int order;
    } cases[] = {
        {{3, 0, 0, 0}, {3, 0, 0, 0}, 0},
        {{3, 0, 1, 0}, {3, 0, 0, 9}, 1},
        {{2, 9, 9, 9}, {3, 0, 0, 0}, -1},
        {{3, 10, 0, 0}, {3, 9, 0, 0}, 1},  // numbers, not text
    };
    for (const auto& c : cases) EXPECT_EQ(ptr::CompareVersions(c.a, c.b), c.order) << ptr::VersionText(c.a);
    EXPECT_EQ(ptr::VersionText({3, 1, 2, 4}), "3.1.2.4");
}

}  // namespace
