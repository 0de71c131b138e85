// The keys that turn the form's pages, the tabs' underlined letters, and
// where the left column's pictures sit in their frames.
#include "form_keys.h"
#include "form_layout.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace setting;

TEST(FormKeys, ControlWithTabOrThePageKeysTurnThePagesAndNothingElseDoes) {
    struct Case {
        unsigned key;
        bool control;
        bool shift;
        int step;
    };
    const Case cases[] = {
        {VK_TAB, true, false, 1},    {VK_TAB, true, true, -1},   {VK_NEXT, true, false, 1},
        {VK_PRIOR, true, false, -1}, {VK_TAB, false, false, 0},  {VK_TAB, false, true, 0},
        {VK_NEXT, false, false, 0},  {VK_PRIOR, false, false, 0}, {VK_NEXT, true, true, 0},
        {VK_PRIOR, true, true, 0},   {'B', true, false, 0},       {VK_RIGHT, true, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TabStepOfKey(c.key, c.control, c.shift), c.step) << c.key << " " << c.control << c.shift;
}

TEST(FormKeys, StepsWrapAroundTheTabs) {
    struct Case {
        int current;
        int count;
        int step;
        int tab;
    };
    const Case cases[] = {{0, 2, 1, 1}, {1, 2, 1, 0}, {0, 2, -1, 1}, {1, 2, -1, 0},
                          {2, 3, 1, 0}, {0, 3, -1, 2}, {1, 3, 1, 2}, {0, 0, 1, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(TabAfterStep(c.current, c.count, c.step), c.tab) << c.current << "/" << c.count << " " << c.step;
}

TEST(FormKeys, TheMnemonicIsTheLetterAfterASingleAmpersand) {
    struct Case {
        const char* caption;
        char letter;
    };
    const Case cases[] = {{"&Button", 'B'}, {"&Tasten", 'T'},  {"Wheel", 0},    {"Abbre&chen", 'C'},
                          {"A && B", 0},    {"A && &B", 'B'},  {"&", 0},        {"", 0},
                          {"x&y&z", 'Y'},   {"&&&Programs", 'P'}};
    for (const Case& c : cases) EXPECT_EQ(MnemonicOf(c.caption), c.letter) << c.caption;

    const std::vector<std::string> english = {"Wheel", "&Button"};
    const std::vector<std::string> german = {"Rad", "&Tasten", "&Programme"};
    EXPECT_EQ(TabOfMnemonic(english, 'b'), 1);
    EXPECT_EQ(TabOfMnemonic(english, 'B'), 1);
    EXPECT_EQ(TabOfMnemonic(english, 'w'), -1) << "Wheel marks no letter";
    EXPECT_EQ(TabOfMnemonic(english, '&'), -1);
    EXPECT_EQ(TabOfMnemonic(german, 't'), 1);
    EXPECT_EQ(TabOfMnemonic(german, 'p'), 2);
    EXPECT_EQ(TabOfMnemonic(german, 'b'), -1);
}

TEST(FormLayout, APictureSitsInTheMiddleOfItsFrameOrAtItsTopLeftWhenLarger) {
    struct Case {
        int frameLeft, frameTop, frameWidth, frameHeight, width, height;
        PicturePlace place;
    };
    const Case cases[] = {
        {4, 52, 156, 231, 130, 228, {17, 53}},  // 96 dpi here: a frame a little wider than the picture
        {4, 52, 178, 266, 130, 228, {28, 71}},  // 120 dpi
        {0, 0, 130, 65, 130, 65, {0, 0}},       // the frame the picture was drawn for
        {10, 20, 100, 50, 130, 65, {10, 20}},   // larger than its frame
        {10, 20, 200, 50, 130, 65, {45, 20}},   // wider frame, lower than the picture
        {0, 0, 131, 66, 130, 65, {0, 0}},       // an odd pixel stays at the right and bottom
    };
    for (const Case& c : cases) {
        const PicturePlace place =
            CentredInFrame(c.frameLeft, c.frameTop, c.frameWidth, c.frameHeight, c.width, c.height);
        EXPECT_EQ(place.left, c.place.left) << c.frameWidth << "x" << c.frameHeight;
        EXPECT_EQ(place.top, c.place.top) << c.frameWidth << "x" << c.frameHeight;
    }
}
