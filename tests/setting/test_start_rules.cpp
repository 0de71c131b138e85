// Whether a start of the settings program goes ahead.
#include "start_rules.h"

#include <gtest/gtest.h>

using namespace setting;

TEST(StartRules, NeedsAnAgentAndNoOpenForm) {
    struct Case {
        uint32_t agent;
        uint32_t settings;
        bool settingsIsOpenForm;
        StartDecision expected;
    };
    const Case cases[] = {
        {0, 0, false, StartDecision::NoAgent},
        {0, 0x1234, true, StartDecision::NoAgent},
        {0x100, 0, false, StartDecision::Run},
        {0x100, 0x1234, true, StartDecision::FormOpen},
        // A settings program that ended without clearing its handle bars nothing.
        {0x100, 0x1234, false, StartDecision::Run},
    };
    for (const Case& c : cases) {
        ptr::SettingsBlock block = {};
        block.AgentWindow = c.agent;
        block.SettingsWindow = c.settings;
        uint32_t asked = 0;
        const StartDecision decision = DecideStart(block, [&](uint32_t window) {
            asked = window;
            return c.settingsIsOpenForm;
        });
        EXPECT_EQ(decision, c.expected) << c.agent << " " << c.settings;
        if (c.agent && c.settings) {
            EXPECT_EQ(asked, c.settings);
        }
    }
}
