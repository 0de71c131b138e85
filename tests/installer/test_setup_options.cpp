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
        // /D= takes the rest of the line, spaces and all; no folder name holds
        // a "/", so a switch after it is one.
        {"/D=C:\\My Tools\\P /S", true, true, "C:\\My Tools\\P"},
        {"/D=C:/Tools/P", true, false, "C:/Tools/P"},
        // Every switch is read whatever else is wrong: a silent run stays silent.
        {"/X", false, false, ""},
        {"/S /X", false, true, ""},
        {"/X /S /D=C:\\P", false, true, "C:\\P"},
        {"/D=", false, false, ""},
    };
    for (const auto& c : cases) {
        setup::Options options;
        std::string unknown;
        EXPECT_EQ(setup::ParseOptions(c.line, options, &unknown), c.ok) << c.line;
        EXPECT_EQ(unknown, c.ok ? "" : c.line[1] == 'D' ? "/D=" : "/X") << c.line;
        EXPECT_EQ(options.silent, c.silent) << c.line;
        EXPECT_EQ(options.folder, c.folder) << c.line;
    }
}

TEST(SetupOptions, ScopeAndAgentSwitches) {
    // Who starts the tray agent: never a start with administrator rights
    // that the user's log-on lacks; the parent of the installer's own
    // elevated start does, with the user's.
    const struct {
        const char* line;
        bool ok, silent, noRun, allUsers, elevated, startsAgent, startsItAsUser, startsItElevated;
        const char* folder;
    } cases[] = {
        {"/S", true, true, false, false, false, true, true, false, ""},
        {"/S /NORUN", true, true, true, false, false, false, false, false, ""},
        // Without /S the user sees the installation, and the agent starts.
        {"/norun", true, false, true, false, false, true, true, false, ""},
        {"/allusers /S", true, true, false, true, false, true, true, false, ""},
        {"/ELEVATED /ALLUSERS /D=C:\\A B", true, false, false, true, true, true, false, false, "C:\\A B"},
        {"\"/NORUN\" /S", true, true, true, false, false, false, false, false, ""},
        {"/DOWNGRADE", true, false, false, false, false, true, true, false, ""},
        {"/NORUNS", false, false, false, false, false, false, false, false, ""},
        {"/ALL", false, false, false, false, false, false, false, false, ""},
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
        EXPECT_EQ(setup::StartsAgentItself(options, true), c.startsItAsUser) << c.line;
        EXPECT_EQ(setup::StartsAgentItself(options, false), c.startsItElevated) << c.line;
        EXPECT_EQ(options.downgrade, std::string(c.line) == "/DOWNGRADE") << c.line;
        EXPECT_EQ(options.folder, c.folder) << c.line;
    }
}

}  // namespace
