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


}  // namespace
