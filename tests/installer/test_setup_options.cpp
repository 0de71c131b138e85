// PtrSetup.exe's command line.
#include "setup_options.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupOptions, SilentAndFolder) {
    const struct {
        const char* line;
        bool ok, silent;
        const char* folder;
    } cases[] = {
        {"", true, false, ""},
        {" /S", true, true, ""},
        {"/s /D=C:\\Program Files\\PTRHK32A", true, true, "C:\\Program Files\\PTRHK32A"},
        {" \"/D=C:\\My Tools\\P\" /S", true, true, "C:\\My Tools\\P"},
        {"/D=\"C:\\A B\"", true, false, "C:\\A B"},
        {"/X", false, false, ""},
        {"/D=", false, false, ""},
    };
    for (const auto& c : cases) {
        setup::Options options;
        EXPECT_EQ(setup::ParseOptions(c.line, options), c.ok) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(options.silent, c.silent) << c.line;
        EXPECT_EQ(options.folder, c.folder) << c.line;
    }
}

TEST(SetupOptions, ScopeAndAgentSwitches) {
    const struct {
        const char* line;
        bool ok, silent, noRun, allUsers, elevated, startsAgent;
        const char* folder;
    } cases[] = {
        {"/S", true, true, false, false, false, true, ""},
        {"/S /NORUN", true, true, true, false, false, false, ""},
        // Without /S the user sees the installation, and the agent starts.
        {"/norun", true, false, true, false, false, true, ""},
        {"/allusers /S", true, true, false, true, false, true, ""},
        {"/ELEVATED /ALLUSERS /D=C:\\A B", true, false, false, true, true, true, "C:\\A B"},
        {"\"/NORUN\" /S", true, true, true, false, false, false, ""},
        {"/NORUNS", false, false, false, false, false, false, ""},
        {"/ALL", false, false, false, false, false, false, ""},
    };
    for (const auto& c : cases) {
        setup::Options options;
        EXPECT_EQ(setup::ParseOptions(c.line, options), c.ok) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(options.silent, c.silent) << c.line;
        EXPECT_EQ(options.noRun, c.noRun) << c.line;
        EXPECT_EQ(options.allUsers, c.allUsers) << c.line;
        EXPECT_EQ(options.elevated, c.elevated) << c.line;
        EXPECT_EQ(setup::StartsAgent(options), c.startsAgent) << c.line;
        EXPECT_EQ(options.folder, c.folder) << c.line;
    }
}

}  // namespace
