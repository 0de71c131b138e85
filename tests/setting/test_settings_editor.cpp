// What each change handler of the form writes into the live blocks, the
// Apply state, and the saved copies that Apply takes and Cancel writes back.
#include "settings_editor.h"

#include "settings_fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace setting;

namespace {

// Every byte of both blocks set to something no handler writes.
struct Blocks {
    ptr::SettingsBlock block;
    std::vector<uint8_t> app = std::vector<uint8_t>(ptr::kAppBlockSize);

    Blocks() {
        uint8_t* bytes = reinterpret_cast<uint8_t*>(&block);
        for (size_t i = 0; i < sizeof block; ++i) bytes[i] = static_cast<uint8_t>(0x41 + i % 23);
        for (size_t i = 0; i < app.size(); ++i) app[i] = static_cast<uint8_t>(i * 7 + 3);
        app[516] = app[772] = app[1028] = 0;
        block.ZoomSourceWidth = 30;
        block.ZoomSourceHeight = 20;
    }

    std::map<std::string, int32_t> Fields() const {
        std::map<std::string, int32_t> values;
        for (const ptr::SettingsField& f : ptr::kSettingsFields) values[f.name] = ptr::ReadSettingsField(block, f);
        return values;
    }
};

using Changes = std::map<std::string, int32_t>;

// Runs one handler on fresh blocks and compares every field with the expected changes.
void ExpectHandler(const char* name, const std::function<void(TSettingsEditor&)>& handler, const Changes& changes,
                   bool enablesApply = true) {
    Blocks blocks;
    std::map<std::string, int32_t> expected = blocks.Fields();
    for (const auto& change : changes) expected[change.first] = change.second;
    const std::vector<uint8_t> app = blocks.app;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    handler(editor);
    EXPECT_EQ(blocks.Fields(), expected) << name;
    EXPECT_EQ(blocks.app, app) << name << " leaves the application block alone";
    EXPECT_EQ(editor.ApplyEnabled(), enablesApply) << name;
}

}  // namespace

TEST(SettingsEditor, EachHandlerWritesItsFieldsOnlyAndEnablesApply) {
    ExpectHandler("SystemMode", [](TSettingsEditor& e) { e.SetEnhanceMode(false); }, {{"EnhanceMode", 0}});
    ExpectHandler("EnhanceMode", [](TSettingsEditor& e) { e.SetEnhanceMode(true); }, {{"EnhanceMode", -1}});
    ExpectHandler("LineScroll", [](TSettingsEditor& e) { e.SetPageScroll(false); }, {{"WheelPageScroll", 0}});
    ExpectHandler("PageScroll", [](TSettingsEditor& e) { e.SetPageScroll(true); }, {{"WheelPageScroll", -1}});
    ExpectHandler("WheelLines", [](TSettingsEditor& e) { e.SetWheelLines(7); }, {{"WheelLines", 7}});
    ExpectHandler("WheelLinesNegative", [](TSettingsEditor& e) { e.SetWheelLines(-2); }, {{"WheelLines", -2}});
    ExpectHandler("VScroll", [](TSettingsEditor& e) { e.SetUScrollVertical(true); }, {{"UScrollVertical", -1}});
    ExpectHandler("HScroll", [](TSettingsEditor& e) { e.SetUScrollHorizontal(false); }, {{"UScrollHorizontal", 0}});
    ExpectHandler("Reverse", [](TSettingsEditor& e) { e.SetUScrollReverse(true); }, {{"UScrollReverse", -1}});
    ExpectHandler("VSpeed", [](TSettingsEditor& e) { e.SetUScrollVSpeed(9); }, {{"UScrollVSpeed", 9}});
    ExpectHandler("HSpeed", [](TSettingsEditor& e) { e.SetUScrollHSpeed(4); }, {{"UScrollHSpeed", 4}});
    ExpectHandler("ZX1", [](TSettingsEditor& e) { EXPECT_EQ(e.SetZoomSourceWidth(40, 3), 120); },
                  {{"ZoomSourceWidth", 40}, {"ZoomTargetWidth", 120}});
    ExpectHandler("ZY1", [](TSettingsEditor& e) { EXPECT_EQ(e.SetZoomSourceHeight(16, 4), 64); },
                  {{"ZoomSourceHeight", 16}, {"ZoomTargetHeight", 64}});
    // The factor multiplies the block's source sizes (30 by 20 here).
    ExpectHandler("ZF", [](TSettingsEditor& e) {
        const TSettingsEditor::ZoomTargets targets = e.SetZoomFactor(3);
        EXPECT_EQ(targets.width, 90);
        EXPECT_EQ(targets.height, 60);
    }, {{"ZoomTargetWidth", 90}, {"ZoomTargetHeight", 60}});
    ExpectHandler("Button3", [](TSettingsEditor& e) { e.UseFunctionBox(3, true, 28); }, {{"ButtonFunction0", 28}});
    ExpectHandler("Button4", [](TSettingsEditor& e) { e.UseFunctionBox(4, true, 103); }, {{"ButtonFunction1", 103}});
    ExpectHandler("Button5", [](TSettingsEditor& e) { e.UseFunctionBox(5, true, 0); }, {{"ButtonFunction2", 0}});
    // Entering a box with nothing selected stores nothing, and still counts as a change.
    ExpectHandler("NoSelection", [](TSettingsEditor& e) { e.UseFunctionBox(4, false, 0); }, {});
}

TEST(SettingsEditor, TheWebAddressGoesToTheCurrentButtonsSlotWithoutEnablingApply) {
    Blocks blocks;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    EXPECT_EQ(editor.CurrentButton(), 3);
    editor.UseFunctionBox(4, true, 103);
    editor.DisableApply();
    std::vector<uint8_t> expected = blocks.app;
    editor.SetCurrentWebAddress("www.four.example");
    expected[772] = 16;
    std::memcpy(&expected[773], "www.four.example", 16);
    EXPECT_EQ(blocks.app, expected) << "slot 1 only";
    EXPECT_EQ(editor.CurrentWebAddress(), "www.four.example");
    EXPECT_FALSE(editor.ApplyEnabled());

    editor.SetCurrentButton(6);
    editor.SetCurrentWebAddress("nowhere");
    EXPECT_EQ(blocks.app, expected) << "a button without a slot writes nothing";
    EXPECT_EQ(editor.CurrentWebAddress(), "");
}

TEST(SettingsEditor, ApplyKeepsTheStateAndCancelRestoresBothBlocksButNotTheHandles) {
    Blocks blocks;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    const ptr::SettingsBlock opened = blocks.block;
    blocks.block.AgentWindow = 0x0001004E;

    editor.SetWheelLines(5);
    editor.SetCurrentWebAddress("applied");
    EXPECT_EQ(editor.Apply(), 0x0001004Eu) << "the window to tell";
    EXPECT_FALSE(editor.ApplyEnabled());
    const ptr::SettingsBlock applied = blocks.block;
    const std::vector<uint8_t> appliedApp = blocks.app;
    EXPECT_NE(std::memcmp(&applied, &opened, sizeof applied), 0);

    // Changes after the Apply, by the form and by another process.
    editor.SetEnhanceMode(false);
    editor.SetCurrentWebAddress("typed later");
    blocks.block.ZoomWindow = 0x77;
    blocks.block.Reserved12 = 12;
    blocks.app[3] ^= 0xFF;

    editor.RestoreSavedCopies();
    ptr::SettingsBlock expected = applied;
    expected.ZoomWindow = 0x77;  // the agent's own
    EXPECT_EQ(std::memcmp(&blocks.block, &expected, sizeof expected), 0);
    EXPECT_EQ(blocks.app, appliedApp);
}

// A tray agent restarted while the form is open writes its new windows into
// the block; Cancel puts back the configuration and leaves those alone.
TEST(SettingsEditor, CancelPutsBackEveryConfigurationFieldAndNoHandle) {
    Blocks blocks;
    const std::map<std::string, int32_t> opened = blocks.Fields();
    TSettingsEditor editor(blocks.block, blocks.app.data());
    Blocks restarted;  // every field different from the opened block
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&restarted.block);
    for (size_t i = 0; i < sizeof restarted.block; ++i) bytes[i] = static_cast<uint8_t>(0x91 + i % 13);
    blocks.block = restarted.block;

    editor.RestoreSavedCopies();
    const std::map<std::string, int32_t> now = blocks.Fields();
    for (const ptr::SettingsField& field : ptr::kSettingsFields) {
        const bool handle = field.kind == ptr::FieldKind::Handle;
        const int32_t expected = handle ? ptr::ReadSettingsField(restarted.block, field) : opened.at(field.name);
        EXPECT_EQ(now.at(field.name), expected) << field.name << (handle ? " stays the agent's" : " is put back");
    }
    for (const char* handle : {"AgentWindow", "ZoomWindow", "AutoScrollWindow", "SettingsWindow"})
        EXPECT_NE(now.at(handle), opened.at(handle)) << handle;
}

TEST(SettingsEditor, AnApplyThatReachesNoAgentKeepsNothingAndStaysEnabled) {
    Blocks blocks;
    blocks.block.AgentWindow = 0x0002002A;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    const ptr::SettingsBlock opened = blocks.block;
    editor.SetWheelLines(9);
    editor.SetCurrentWebAddress("not kept");

    std::vector<uint32_t> told;
    EXPECT_FALSE(editor.ApplyTelling([&](uint32_t agent) {
        told.push_back(agent);
        return false;
    }));
    EXPECT_EQ(told, std::vector<uint32_t>{0x0002002Au});
    EXPECT_TRUE(editor.ApplyEnabled());
    EXPECT_EQ(std::memcmp(&editor.SavedBlock(), &opened, sizeof opened), 0) << "the saved copy is the opened block";
    editor.RestoreSavedCopies();
    EXPECT_EQ(blocks.block.WheelLines, opened.WheelLines) << "Cancel still goes back to the last Apply that was kept";
    EXPECT_EQ(editor.CurrentWebAddress(), "");

    editor.SetWheelLines(4);
    EXPECT_TRUE(editor.ApplyTelling([](uint32_t) { return true; }));
    EXPECT_FALSE(editor.ApplyEnabled());
    EXPECT_EQ(editor.SavedBlock().WheelLines, 4);
}

TEST(SettingsEditor, WithoutAnApplyCancelGoesBackToTheBlocksAsFound) {
    Blocks blocks;
    const ptr::SettingsBlock found = blocks.block;
    const std::vector<uint8_t> foundApp = blocks.app;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    editor.SetZoomFactor(5);
    editor.UseFunctionBox(5, true, 101);
    editor.SetCurrentWebAddress("x");
    editor.RestoreSavedCopies();
    EXPECT_EQ(std::memcmp(&blocks.block, &found, sizeof found), 0);
    EXPECT_EQ(blocks.app, foundApp);
}
