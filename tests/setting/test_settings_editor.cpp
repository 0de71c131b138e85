// What each change of the form writes into the live blocks, by the field's
// name in the field table, the Apply state, and the saved copies that Apply
// takes and Cancel writes back.
#include "settings_editor.h"

#include "function_codes.h"
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

TEST(SettingsEditor, EachChangeWritesItsFieldsOnlyAndEnablesApply) {
    ExpectHandler("EnhanceMode", [](TSettingsEditor& e) { e.Set("EnhanceMode", -1); }, {{"EnhanceMode", -1}});
    ExpectHandler("WheelLines", [](TSettingsEditor& e) { e.Set("WheelLines", -2); }, {{"WheelLines", -2}});
    // A 16-bit field takes the low 16 bits, as the hooks read it.
    ExpectHandler("ButtonCount", [](TSettingsEditor& e) { e.Set("ButtonCount", 0x10004); }, {{"ButtonCount", 4}});
    ExpectHandler("UnknownField", [](TSettingsEditor& e) { e.Set("NoSuchField", 1); }, {}, false);
    ExpectHandler("ZoomSource", [](TSettingsEditor& e) {
        e.Set("ZoomSourceWidth", 40);
        EXPECT_EQ(e.SetZoomTarget("ZoomTargetWidth", "ZoomSourceWidth", 3), 120);
    }, {{"ZoomSourceWidth", 40}, {"ZoomTargetWidth", 120}});
    // A target is the factor times the block's source size (20 here), and wraps.
    ExpectHandler("ZoomFactor", [](TSettingsEditor& e) {
        EXPECT_EQ(e.SetZoomTarget("ZoomTargetHeight", "ZoomSourceHeight", 3), 60);
        EXPECT_EQ(e.Get("ZoomTargetHeight"), 60);
    }, {{"ZoomTargetHeight", 60}});
    ExpectHandler("ZoomWraps", [](TSettingsEditor& e) {
        e.Set("ZoomSourceWidth", 0x40000001);
        EXPECT_EQ(e.SetZoomTarget("ZoomTargetWidth", "ZoomSourceWidth", 4), 4);
    }, {{"ZoomSourceWidth", 0x40000001}, {"ZoomTargetWidth", 4}});
    ExpectHandler("Button3", [](TSettingsEditor& e) { e.UseFunctionBox(3, true, ptr::function::kCopy); },
                  {{"ButtonFunction0", ptr::function::kCopy}});
    ExpectHandler("Button4", [](TSettingsEditor& e) { e.UseFunctionBox(4, true, ptr::function::kConnectToInternet); },
                  {{"ButtonFunction1", ptr::function::kConnectToInternet}});
    ExpectHandler("Button5", [](TSettingsEditor& e) { e.UseFunctionBox(5, true, 0); }, {{"ButtonFunction2", 0}});
    // Entering a box with nothing selected stores nothing, and still counts as a change.
    ExpectHandler("NoSelection", [](TSettingsEditor& e) { e.UseFunctionBox(4, false, 0); }, {});
}

TEST(SettingsEditor, TheWebAddressGoesToTheCurrentButtonsSlotWithoutEnablingApply) {
    Blocks blocks;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    EXPECT_EQ(editor.CurrentButton(), 3);
    editor.UseFunctionBox(4, true, ptr::function::kConnectToInternet);
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

    editor.Set("WheelLines", 5);
    editor.SetCurrentWebAddress("applied");
    EXPECT_EQ(editor.Apply(), 0x0001004Eu) << "the window to tell";
    EXPECT_FALSE(editor.ApplyEnabled());
    const ptr::SettingsBlock applied = blocks.block;
    const std::vector<uint8_t> appliedApp = blocks.app;
    EXPECT_NE(std::memcmp(&applied, &opened, sizeof applied), 0);

    // Changes after the Apply, by the form and by another process.
    editor.Set("EnhanceMode", 0);
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
    editor.Set("WheelLines", 9);
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

    editor.Set("WheelLines", 4);
    EXPECT_TRUE(editor.ApplyTelling([](uint32_t) { return true; }));
    EXPECT_FALSE(editor.ApplyEnabled());
    EXPECT_EQ(editor.SavedBlock().WheelLines, 4);
}

TEST(SettingsEditor, WithoutAnApplyCancelGoesBackToTheBlocksAsFound) {
    Blocks blocks;
    const ptr::SettingsBlock found = blocks.block;
    const std::vector<uint8_t> foundApp = blocks.app;
    TSettingsEditor editor(blocks.block, blocks.app.data());
    editor.SetZoomTarget("ZoomTargetWidth", "ZoomSourceWidth", 5);
    editor.UseFunctionBox(5, true, ptr::function::kAutoScroll);
    editor.SetCurrentWebAddress("x");
    editor.RestoreSavedCopies();
    EXPECT_EQ(std::memcmp(&blocks.block, &found, sizeof found), 0);
    EXPECT_EQ(blocks.app, foundApp);
}
