// The tray agent's window-free rules: kept configuration, auto-scroll speed,
// zoom factor, web addresses and the application block's short strings.
#include "agent_logic.h"
#include "function_codes.h"
#include "ptrhk32a.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace agent;

namespace {

ptr::SettingsBlock Loaded(int systemButtons, const std::map<std::string, int32_t>& kept) {
    ptr::SettingsBlock block;
    std::memset(&block, 0x5A, sizeof block);  // whatever was there before
    block.AgentWindow = 0x1111;
    block.SettingsWindow = 0x2222;
    block.ZoomWindow = 0x3333;
    block.AutoScrollWindow = 0x4444;
    LoadConfiguration(block, systemButtons, [&kept](const char* name, int32_t& value) {
        auto found = kept.find(name);
        if (found == kept.end()) return false;
        value = found->second;
        return true;
    });
    return block;
}

}  // namespace

TEST(AgentKeptFields, NamesAndOffsetsMatchTheBlockLayout) {
    struct Expected {
        const char* name;
        uint32_t offset;
        uint32_t width;
    };
    const Expected expected[] = {
        {"ButtonCount", 0, 2},       {"WheelCount", 2, 2},         {"LowLevelWheelHook", 4, 4},
        {"EnhanceMode", 8, 4},       {"Reserved12", 12, 4},        {"Reserved16", 16, 4},
        {"ReverseWheel", 20, 4},     {"WheelPageScroll", 24, 4},   {"WheelLines", 28, 4},
        {"Reserved32", 32, 4},       {"ReverseHWheel", 36, 4},     {"HWheelPageScroll", 40, 4},
        {"HWheelLines", 44, 4},      {"UScrollVertical", 48, 4},   {"UScrollHorizontal", 52, 4},
        {"UScrollReverse", 56, 4},   {"UScrollVSpeed", 60, 4},     {"UScrollHSpeed", 64, 4},
        {"ZoomSourceWidth", 68, 4},  {"ZoomSourceHeight", 72, 4},  {"ZoomTargetWidth", 76, 4},
        {"ZoomTargetHeight", 80, 4}, {"ButtonFunction0", 84, 4},   {"ButtonFunction1", 88, 4},
        {"ButtonFunction2", 92, 4},  {"ButtonFunction3", 96, 4},   {"ButtonFunction4", 100, 4},
    };
    ASSERT_EQ(ptr::kKeptSettingsFieldCount, static_cast<int>(sizeof expected / sizeof expected[0]));
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(ptr::kSettingsFields[i].name, expected[i].name);
        EXPECT_EQ(ptr::kSettingsFields[i].offset, expected[i].offset);
        EXPECT_EQ(ptr::kSettingsFields[i].width, expected[i].width);
    }
}

TEST(AgentKeptFields, HandlesAreNeverKept) {
    for (const char* handle : {"AgentWindow", "SettingsWindow", "ZoomWindow", "AutoScrollWindow"})
        EXPECT_EQ(FindKeptField(handle), nullptr) << handle;
}

TEST(AgentKeptFields, WritesLandOnlyOnTheirOwnBytes) {
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        const ptr::SettingsField& field = ptr::kSettingsFields[i];
        SCOPED_TRACE(field.name);
        ptr::SettingsBlock block;
        std::memset(&block, 0, sizeof block);
        ptr::WriteSettingsField(block, field, -1);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&block);
        for (uint32_t b = 0; b < sizeof block; ++b) {
            const bool own = b >= field.offset && b < field.offset + field.width;
            EXPECT_EQ(bytes[b], own ? 0xFF : 0x00) << "byte " << b;
        }
        EXPECT_EQ(ptr::ReadSettingsField(block, field), field.width == 2 ? 0xFFFF : -1);
    }
}

TEST(AgentConfiguration, FirstRunDefaults) {
    const ptr::SettingsBlock block = Loaded(3, {});
    EXPECT_EQ(DescribeConfiguration(block),
              "ButtonCount=3 WheelCount=1 LowLevelWheelHook=0 EnhanceMode=-1 Reserved12=0 Reserved16=0 "
              "ReverseWheel=0 WheelPageScroll=0 WheelLines=3 Reserved32=0 ReverseHWheel=0 HWheelPageScroll=0 "
              "HWheelLines=3 UScrollVertical=-1 UScrollHorizontal=-1 UScrollReverse=0 UScrollVSpeed=5 "
              "UScrollHSpeed=3 ZoomSourceWidth=32 ZoomSourceHeight=24 ZoomTargetWidth=64 ZoomTargetHeight=48 "
              "ButtonFunction0=0 ButtonFunction1=0 ButtonFunction2=0 ButtonFunction3=0 ButtonFunction4=0");
}

TEST(AgentConfiguration, ButtonCountFromTheSystem) {
    const struct {
        int system;
        int expected;
    } cases[] = {{-1, 3}, {0, 3}, {2, 3}, {3, 3}, {4, 4}, {5, 5}, {6, 5}, {16, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(ButtonCountFromSystem(c.system), c.expected) << c.system;
        EXPECT_EQ(Loaded(c.system, {}).ButtonCount, c.expected) << c.system;
    }
}

TEST(AgentConfiguration, LoadingLeavesTheHandlesAlone) {
    const ptr::SettingsBlock block = Loaded(5, {{"WheelLines", 7}});
    EXPECT_EQ(block.AgentWindow, 0x1111u);
    EXPECT_EQ(block.SettingsWindow, 0x2222u);
    EXPECT_EQ(block.ZoomWindow, 0x3333u);
    EXPECT_EQ(block.AutoScrollWindow, 0x4444u);
}

TEST(AgentConfiguration, KeptValuesOverrideDefaults) {
    const ptr::SettingsBlock block = Loaded(5, {{"ButtonCount", 5},
                                           {"WheelCount", 2},
                                           {"EnhanceMode", 0},
                                           {"ReverseWheel", -1},
                                           {"WheelPageScroll", -1},
                                           {"LowLevelWheelHook", -1},
                                           {"Reserved16", 77},
                                           {"ButtonFunction0", ptr::function::kAutoScroll},
                                           {"ButtonFunction2", ptr::function::kCopy},
                                           {"ButtonFunction4", ptr::function::kTaskSwitch}});
    EXPECT_EQ(block.ButtonCount, 5);
    EXPECT_EQ(block.WheelCount, 2);
    EXPECT_EQ(block.EnhanceMode, 0);
    EXPECT_EQ(block.ReverseWheel, -1);
    EXPECT_EQ(block.WheelPageScroll, -1);
    EXPECT_EQ(block.LowLevelWheelHook, -1);
    EXPECT_EQ(block.Reserved16, 77);
    EXPECT_EQ(block.ButtonFunction[0], 101);
    EXPECT_EQ(block.ButtonFunction[1], 0);
    EXPECT_EQ(block.ButtonFunction[2], 28);
    EXPECT_EQ(block.ButtonFunction[4], 151);
    EXPECT_EQ(block.WheelLines, 3);  // not kept: default
}

TEST(AgentConfiguration, KeptValuesAreClampedToTheFormsRanges) {
    const struct {
        const char* name;
        int32_t kept;
        int32_t expected;
    } cases[] = {
        {"WheelLines", 0, 1},        {"WheelLines", 10, 10},      {"WheelLines", 11, 10},
        {"WheelLines", -5, 1},       {"HWheelLines", 0, 1},       {"HWheelLines", 99, 10},
        {"UScrollVSpeed", 0, 1},     {"UScrollVSpeed", 10, 10},   {"UScrollVSpeed", 11, 10},
        {"UScrollHSpeed", 0, 1},     {"UScrollHSpeed", 5, 5},     {"UScrollHSpeed", 6, 5},
        {"ButtonCount", 3, 3},       {"ButtonCount", 5, 5},       {"ButtonCount", 6, 5},
        {"ButtonCount", 7, 5},       {"ButtonCount", 65539, 5},   {"ButtonCount", 2, 3},
        {"ButtonCount", 0, 3},       {"ButtonCount", -1, 3},      {"WheelCount", 0, 0},
        {"WheelCount", 3, 2},
        {"WheelCount", 65537, 2},    {"ZoomSourceWidth", 1, 2},   {"ZoomSourceWidth", 33, 32},
        {"ZoomSourceWidth", 64, 64}, {"ZoomSourceWidth", 65, 64}, {"ZoomSourceWidth", 100, 64},
        {"ZoomSourceHeight", 0, 2},  {"ZoomSourceHeight", 47, 46}, {"ZoomSourceHeight", 49, 48},
    };
    for (const auto& c : cases) {
        const ptr::SettingsBlock block = Loaded(3, {{c.name, c.kept}});
        EXPECT_EQ(ptr::ReadSettingsField(block, *FindKeptField(c.name)), c.expected) << c.name << " kept as " << c.kept;
    }
}

// A kept code the hook library does not know would leave its button dead:
// it becomes "System Default". Each known range is probed at both ends and
// just outside them.
TEST(AgentConfiguration, UnknownKeptFunctionCodesBecomeSystemDefault) {
    const struct {
        int32_t kept;
        int32_t expected;
    } cases[] = {
        {0, 0},     {29, 29},   {30, 0},     {39, 0},     {40, 40},   {56, 56},     {57, 0},
        {59, 0},    {60, 60},   {62, 62},    {63, 0},     {69, 0},    {70, 70},     {73, 73},
        {74, 0},    {99, 0},    {100, 100},  {103, 103},  {104, 0},   {150, 0},     {151, 151},
        {152, 0},   {-1, 0},    {-151, 0},   {65536 + 28, 0},         {INT32_MIN, 0}, {INT32_MAX, 0},
    };
    for (int button = 0; button < 5; ++button) {
        const std::string name = "ButtonFunction" + std::to_string(button);
        const int other = button == 0 ? 1 : 0;
        for (const auto& c : cases) {
            const ptr::SettingsBlock block =
                Loaded(5, {{name, c.kept}, {"ButtonFunction" + std::to_string(other), 28}});
            EXPECT_EQ(block.ButtonFunction[button], c.expected) << name << " kept as " << c.kept;
            EXPECT_EQ(block.ButtonFunction[other], 28) << name << " kept as " << c.kept;
        }
    }
}

TEST(AgentConfiguration, ZoomTargetsAreOneFactorTimesTheSources) {
    const struct {
        int32_t sourceWidth, sourceHeight, targetWidth, targetHeight;
        int32_t expectedWidth, expectedHeight;
    } cases[] = {
        {32, 24, 96, 72, 96, 72},     // factor 3 kept as it was
        {32, 24, 96, 48, 96, 72},     // height disagreed: the width's factor wins
        {32, 24, 32, 24, 64, 48},     // factor 1 is below the range
        {32, 24, 0, 0, 64, 48},       // no factor at all
        {10, 10, 200, 10, 100, 100},  // factor 20 is above the range
        {33, 25, 99, 75, 96, 72},     // odd sources round down, factor 99/32 = 3
        {64, 48, 640, 480, 640, 480}, // largest
    };
    for (const auto& c : cases) {
        const ptr::SettingsBlock block = Loaded(3, {{"ZoomSourceWidth", c.sourceWidth},
                                               {"ZoomSourceHeight", c.sourceHeight},
                                               {"ZoomTargetWidth", c.targetWidth},
                                               {"ZoomTargetHeight", c.targetHeight}});
        EXPECT_EQ(block.ZoomTargetWidth, c.expectedWidth) << c.sourceWidth << "x" << c.sourceHeight << " -> "
                                                          << c.targetWidth << "x" << c.targetHeight;
        EXPECT_EQ(block.ZoomTargetHeight, c.expectedHeight) << c.sourceWidth << "x" << c.sourceHeight << " -> "
                                                            << c.targetWidth << "x" << c.targetHeight;
    }
}

TEST(AgentAutoScroll, LinesPerTickFromDistance) {
    const struct {
        int distance;
        int lines;
    } cases[] = {
        {0, 0},      {8, 0},      {-8, 0},     {9, 1},     {-9, -1},   {19, 1},
        {20, 2},     {-20, -2},   {31, 2},     {32, 3},    {235, 19},  {-235, -19},
        {236, 20},   {249, 20},   {-5000, -20}, {100000, 20}, {-2147483647 - 1, -20},
    };
    for (const auto& c : cases) EXPECT_EQ(AutoScrollLines(c.distance), c.lines) << c.distance;
}

TEST(AgentZoom, FactorFromTheBlock) {
    ptr::SettingsBlock block = {};
    const struct {
        int32_t source, target;
        int factor;
    } cases[] = {{32, 64, 2}, {32, 95, 2}, {32, 96, 3}, {32, 320, 10}, {32, 352, 10}, {32, 32, 2}, {0, 64, 2}};
    for (const auto& c : cases) {
        block.ZoomSourceWidth = c.source;
        block.ZoomTargetWidth = c.target;
        EXPECT_EQ(ZoomFactor(block), c.factor) << c.target << "/" << c.source;
    }
}

TEST(AgentZoom, WheelStepsTheFactorWithinRange) {
    const struct {
        int factor;
        int32_t delta;
        int expected;
    } cases[] = {{2, 120, 3}, {2, -120, 2}, {3, -120, 2}, {9, 120, 10}, {10, 120, 10},
                 {10, -120, 9}, {5, 0, 5}, {5, 1, 6}, {5, -1, 4}, {5, -32768, 2}, {2, 360, 5}, {9, -240, 7}};
    for (const auto& c : cases) EXPECT_EQ(SteppedZoomFactor(c.factor, c.delta), c.expected) << c.factor << " " << c.delta;
}

TEST(AgentZoom, SettingTheFactorRewritesOnlyBothTargets) {
    ptr::SettingsBlock block;
    std::memset(&block, 0x33, sizeof block);
    block.ZoomSourceWidth = 30;
    block.ZoomSourceHeight = 20;
    ptr::SettingsBlock expected = block;
    expected.ZoomTargetWidth = 120;
    expected.ZoomTargetHeight = 80;
    SetZoomFactor(block, 4);
    EXPECT_EQ(std::memcmp(&block, &expected, sizeof block), 0);
}

TEST(AgentZoom, MagnifierSitsBesideTheCursorAndOnScreen) {
    const Rect screen{0, 0, 1280, 1024};
    const struct {
        Point cursor;
        Point origin;
    } cases[] = {
        {{100, 100}, {132, 128}},      // 100 + 16 + 16, 100 + 12 + 16
        {{1200, 100}, {1004, 128}},    // right edge: to the left, 1200 - 16 - 16 - 164
        {{100, 1000}, {132, 848}},     // bottom edge: above, 1000 - 12 - 16 - 124
        {{1200, 1000}, {1004, 848}},   // corner
    };
    for (const auto& c : cases) {
        const Point origin = MagnifierOrigin(c.cursor, 32, 24, 164, 124, screen);
        EXPECT_EQ(origin.x, c.origin.x) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(origin.y, c.origin.y) << c.cursor.x << "," << c.cursor.y;
        // The magnified area (cursor +- half the source) is never covered.
        const bool apartX = origin.x >= c.cursor.x + 16 || origin.x + 164 <= c.cursor.x - 16;
        const bool apartY = origin.y >= c.cursor.y + 12 || origin.y + 124 <= c.cursor.y - 12;
        EXPECT_TRUE(apartX && apartY);
    }
}

TEST(AgentWebAddress, WhichAddressesAreOpened) {
    const struct {
        const char* kept;
        const char* opened;
    } cases[] = {
        {"http://example.com/", "http://example.com/"},
        {"HTTP://EXAMPLE.COM", "HTTP://EXAMPLE.COM"},
        {"https://example.com/a?b=c", "https://example.com/a?b=c"},
        {"ftp://files.example.com", "ftp://files.example.com"},
        {"www.example.com", "http://www.example.com"},
        {"WWW.Example.com", "http://WWW.Example.com"},
        {"", ""},
        {"http://", ""},
        {"www.", ""},
        {"example.com", ""},
        {"C:\\WINDOWS\\notepad.exe", ""},
        {"file:///C:/autoexec.bat", ""},
        {"javascript:alert(1)", ""},
        {"mailto:someone@example.com", ""},
        {" http://example.com", ""},
        {"http://exa mple.com", ""},
        {"http://example.com\r\n", ""},
        {"httpx://example.com", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WebAddressToOpen(c.kept), c.opened) << '"' << c.kept << '"';
        EXPECT_EQ(IsUsableWebAddress(c.kept), *c.opened != '\0') << '"' << c.kept << '"';
    }
}

TEST(AgentAppBlock, SlotOffsets) {
    EXPECT_EQ(ptr::WebAddressOffset(0), 516);
    EXPECT_EQ(ptr::WebAddressOffset(1), 772);
    EXPECT_EQ(ptr::WebAddressOffset(2), 1028);
    EXPECT_EQ(ptr::WebAddressOffset(2) + static_cast<int>(ptr::kShortStringSize), static_cast<int>(ptr::kAppBlockSize));
    EXPECT_EQ(ptr::WebAddressOffset(-1), -1);
    EXPECT_EQ(ptr::WebAddressOffset(3), -1);
}

TEST(AgentAppBlock, FreshSlotsAreEmpty) {
    std::vector<unsigned char> block(ptr::kAppBlockSize, 0);
    for (int slot = 0; slot < ptr::kWebAddressSlots; ++slot)
        EXPECT_EQ(ptr::ReadShortString(&block[ptr::WebAddressOffset(slot)]), "");
}

TEST(AgentAppBlock, ShortStringLayout) {
    std::vector<unsigned char> block(ptr::kAppBlockSize, 0xEE);
    ptr::WriteShortString(&block[ptr::WebAddressOffset(1)], "abc");
    EXPECT_EQ(block[772], 3);
    EXPECT_EQ(block[773], 'a');
    EXPECT_EQ(block[775], 'c');
    EXPECT_EQ(block[776], 0xEE);  // no terminator
    EXPECT_EQ(block[771], 0xEE);  // slot 0 untouched
    EXPECT_EQ(block[1028], 0xEE); // slot 2 untouched
    EXPECT_EQ(ptr::ReadShortString(&block[772]), "abc");
}

TEST(AgentAppBlock, ShorterTextOverALongerOneKeepsTheTailButReadsShort) {
    std::vector<unsigned char> slot(ptr::kShortStringSize, 0);
    ptr::WriteShortString(slot.data(), "http://www.example.com/long");
    ptr::WriteShortString(slot.data(), "abc");
    EXPECT_EQ(ptr::ReadShortString(slot.data()), "abc");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&slot[4]), 4), "p://");  // old tail, ignored
}

TEST(AgentAppBlock, LongTextIsCutAt255) {
    std::vector<unsigned char> block(ptr::kAppBlockSize, 0);
    const std::string text(300, 'x');
    ptr::WriteShortString(&block[ptr::WebAddressOffset(2)], text);
    EXPECT_EQ(block[1028], 255);
    EXPECT_EQ(ptr::ReadShortString(&block[1028]), std::string(255, 'x'));
    ptr::WriteShortString(&block[ptr::WebAddressOffset(0)], std::string(255, 'y'));
    EXPECT_EQ(block[772], 0);  // slot 1 starts right after slot 0's last byte
}

TEST(AgentAppBlock, LengthByteIsUnsigned) {
    std::vector<unsigned char> slot(ptr::kShortStringSize, 'q');
    slot[0] = 200;
    EXPECT_EQ(ptr::ReadShortString(slot.data()), std::string(200, 'q'));
}

TEST(AgentVersion, HooksThatMustBeInAfterInstalling) {
    constexpr uint32_t kBase = HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER;
    const struct {
        const char* system;
        unsigned long platform, major;
        bool nt4WheelHook;
        uint32_t hooks;
    } cases[] = {
        {"95/98/Me", 1, 4, false, kBase},
        {"9x asked for the NT 4 wheel hook", 1, 4, true, kBase},
        {"NT 3.51", 2, 3, false, kBase},
        {"NT 4", 2, 4, false, kBase},
        {"NT 4 with the wheel hook", 2, 4, true, kBase | HOOK_STATUS_NT4_WHEEL},
        {"2000", 2, 5, false, kBase | HOOK_STATUS_XBUTTON},
        {"2000 asked for the NT 4 wheel hook", 2, 5, true, kBase | HOOK_STATUS_XBUTTON},
        {"Vista and later", 2, 6, false, kBase | HOOK_STATUS_XBUTTON},
        {"10", 2, 10, false, kBase | HOOK_STATUS_XBUTTON},
        {"unknown platform", 3, 5, true, kBase},
    };
    for (const auto& c : cases) EXPECT_EQ(RequiredHooks(c.platform, c.major, c.nt4WheelHook), c.hooks) << c.system;
}

TEST(AgentVersion, OnlyWindows95CreatesTheWheelWindow) {
    EXPECT_TRUE(IsWindows95(1, 4, 0));
    EXPECT_FALSE(IsWindows95(1, 4, 10));  // 98
    EXPECT_FALSE(IsWindows95(1, 4, 90));  // Me
    EXPECT_FALSE(IsWindows95(2, 4, 0));   // NT 4
    EXPECT_FALSE(IsWindows95(2, 5, 1));   // XP
}

// Deaths of the 64-bit host, each at a tick count, and whether each is
// followed by a start: three restarts within a minute, then none until the
// oldest is a minute old; the tick count's wrap changes nothing.
TEST(AgentHost, StartedAgainAtMostThreeTimesWithinAMinute) {
    const struct {
        const char* name;
        std::vector<uint32_t> deaths;
        std::vector<bool> restarted;
    } cases[] = {
        {"dies at once, again and again", {1000, 1100, 1200, 1300, 1400}, {true, true, true, false, false}},
        {"now and then", {1000, 70000, 140000, 210000, 280000}, {true, true, true, true, true}},
        {"the oldest restart a minute old", {1000, 2000, 3000, 60999, 61000}, {true, true, true, false, true}},
        {"across the wrap of the tick count", {0xFFFFFF00u, 0xFFFFFFF0u, 0x10, 0x20, 60000}, {true, true, true, false, true}},
    };
    for (const auto& c : cases) {
        HostRestarts restarts;
        std::vector<bool> restarted;
        for (uint32_t death : c.deaths) restarted.push_back(restarts.MayRestart(death));
        EXPECT_EQ(restarted, c.restarted) << c.name;
    }
}
