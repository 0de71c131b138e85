// SETTING.INI through the profile API, and the application block's mapping.
#include "program_files.h"

#include "app_block_view.h"
#include "setting_test_files.h"

#include <gtest/gtest.h>

using namespace setting;

TEST(SettingsFile, VersionAndCaptionComeFromSectionMainOnly) {
    struct Case {
        const char* content;  // nullptr: no file
        const char* version;
        const char* caption;
    };
    const Case cases[] = {
        {nullptr, "", ""},
        {"[MAIN]\r\nVER=3.0\r\nCAP=Wheel and Buttons\r\n", "3.0", "Wheel and Buttons"},
        {"[OTHER]\r\nVER=3.0\r\nCAP=Elsewhere\r\n", "", ""},
        {"[MAIN]\r\nCAP=Caption only\r\n", "", "Caption only"},
        {"[main]\r\nver=2.1\r\n", "2.1", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        if (c.content) folder.Write("SETTING.INI", c.content);
        const TSettingsFileTexts texts = ReadSettingsFile(folder.Path());
        EXPECT_EQ(texts.version, c.version) << (c.content ? c.content : "(no file)");
        EXPECT_EQ(texts.caption, c.caption) << (c.content ? c.content : "(no file)");
    }
}

TEST(SettingsFile, AVersionLongerThanTheBufferIsCutTo2047Characters) {
    ScratchFolder folder;
    folder.Write("SETTING.INI", "[MAIN]\r\nVER=" + std::string(3000, '7') + "\r\n");
    EXPECT_EQ(ReadSettingsFile(folder.Path()).version, std::string(2047, '7'));
}

TEST(AppBlockView, TwoMappingsShareOneZeroFilledBlock) {
    ptr::AppBlockView first = ptr::MapAppBlock();
    ptr::AppBlockView second = ptr::MapAppBlock();
    ASSERT_NE(first.block, nullptr);
    ASSERT_NE(second.block, nullptr);
    ptr::SetWebAddress(first.block, 2, "shared");
    EXPECT_EQ(ptr::GetWebAddress(second.block, 2), "shared");
    ptr::UnmapAppBlock(first);
    EXPECT_EQ(first.block, nullptr);
    EXPECT_EQ(first.mapping, nullptr);
    ptr::UnmapAppBlock(second);

    ptr::AppBlockView fresh = ptr::MapAppBlock();
    ASSERT_NE(fresh.block, nullptr);
    EXPECT_EQ(ptr::GetWebAddress(fresh.block, 2), "") << "the last view gone, the block is made anew";
    ptr::UnmapAppBlock(fresh);
}
