// The facts the programs share, each held against every program's view of
// it: the settings block's fields (the struct the hooks read, the settings
// form's control ranges, the tray agent's kept fields), the application
// block, the extra-information markers and the names the programs find each
// other by. The expected numbers are written out here as the block's layout
// documents them, not taken from the table.
#include "agent_logic.h"
#include "app_block_view.h"
#include "control_values.h"
#include "function_codes.h"
#include "function_list.h"
#include "install_table.h"
#include "markers.h"
#include "paths.h"
#include "programs_view.h"
#include "settings_editor.h"
#include "settings_fields.h"
#include "suite_names.h"
#include "temp_copy.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <vector>


namespace {

// A field's value as the hooks read it: the struct member itself.
using Member = int64_t (*)(const ptr::SettingsBlock&);
#define MEMBER(expr) [](const ptr::SettingsBlock& b) -> int64_t { return b.expr; }

struct Layout {
    const char* name;
    uint32_t offset;
    uint32_t width;
    Member member;
};

const Layout kLayout[] = {
    {"ButtonCount", 0, 2, MEMBER(ButtonCount)},
    {"WheelCount", 2, 2, MEMBER(WheelCount)},
    {"LowLevelWheelHook", 4, 4, MEMBER(LowLevelWheelHook)},
    {"EnhanceMode", 8, 4, MEMBER(EnhanceMode)},
    {"Reserved12", 12, 4, MEMBER(Reserved12)},
    {"Reserved16", 16, 4, MEMBER(Reserved16)},
    {"ReverseWheel", 20, 4, MEMBER(ReverseWheel)},
    {"WheelPageScroll", 24, 4, MEMBER(WheelPageScroll)},
    {"WheelLines", 28, 4, MEMBER(WheelLines)},
    {"Reserved32", 32, 4, MEMBER(Reserved32)},
    {"ReverseHWheel", 36, 4, MEMBER(ReverseHWheel)},
    {"HWheelPageScroll", 40, 4, MEMBER(HWheelPageScroll)},
    {"HWheelLines", 44, 4, MEMBER(HWheelLines)},
    {"UScrollVertical", 48, 4, MEMBER(UScrollVertical)},
    {"UScrollHorizontal", 52, 4, MEMBER(UScrollHorizontal)},
    {"UScrollReverse", 56, 4, MEMBER(UScrollReverse)},
    {"UScrollVSpeed", 60, 4, MEMBER(UScrollVSpeed)},
    {"UScrollHSpeed", 64, 4, MEMBER(UScrollHSpeed)},
    {"ZoomSourceWidth", 68, 4, MEMBER(ZoomSourceWidth)},
    {"ZoomSourceHeight", 72, 4, MEMBER(ZoomSourceHeight)},
    {"ZoomTargetWidth", 76, 4, MEMBER(ZoomTargetWidth)},
    {"ZoomTargetHeight", 80, 4, MEMBER(ZoomTargetHeight)},
    {"ButtonFunction0", 84, 4, MEMBER(ButtonFunction[0])},
    {"ButtonFunction1", 88, 4, MEMBER(ButtonFunction[1])},
    {"ButtonFunction2", 92, 4, MEMBER(ButtonFunction[2])},
    {"ButtonFunction3", 96, 4, MEMBER(ButtonFunction[3])},
    {"ButtonFunction4", 100, 4, MEMBER(ButtonFunction[4])},
    {"AgentWindow", 104, 4, MEMBER(AgentWindow)},
    {"SettingsWindow", 108, 4, MEMBER(SettingsWindow)},
    {"ZoomWindow", 112, 4, MEMBER(ZoomWindow)},
    {"AutoScrollWindow", 116, 4, MEMBER(AutoScrollWindow)},
};
#undef MEMBER

bool IsHandle(const std::string& name) { return name.size() > 6 && name.compare(name.size() - 6, 6, "Window") == 0; }

TEST(FieldTable, EveryFieldLiesWhereTheHooksReadItAndNowhereElse) {
    ASSERT_EQ(ptr::kSettingsFieldCount, static_cast<int>(sizeof kLayout / sizeof kLayout[0]));
    for (int i = 0; i < ptr::kSettingsFieldCount; ++i) {
        const Layout& expected = kLayout[i];
        SCOPED_TRACE(expected.name);
        const ptr::SettingsField& field = ptr::kSettingsFields[i];
        EXPECT_STREQ(field.name, expected.name);
        EXPECT_EQ(field.offset, expected.offset);
        EXPECT_EQ(field.width, expected.width);
        EXPECT_EQ(field.kind == ptr::FieldKind::Handle, IsHandle(expected.name));

        ptr::SettingsBlock block;
        std::memset(&block, 0, sizeof block);
        const int32_t value = expected.width == 2 ? 0xA5C3 : static_cast<int32_t>(0x81A5C3E7u);
        ptr::WriteSettingsField(block, field, value);
        const int64_t asTheHooksReadIt = expected.width == 2                     ? int64_t{0xA5C3}
                                         : field.kind == ptr::FieldKind::Handle ? int64_t{0x81A5C3E7u}
                                                                                : int64_t{value};
        EXPECT_EQ(expected.member(block), asTheHooksReadIt);
        EXPECT_EQ(ptr::ReadSettingsField(block, field), value);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&block);
        for (uint32_t b = 0; b < sizeof block; ++b) {
            const bool own = b >= expected.offset && b < expected.offset + expected.width;
            if (!own) {
                ASSERT_EQ(bytes[b], 0) << "byte " << b;
            }
        }
    }
}

// What each program offers and keeps: the settings form's control ranges and
// the tray agent's clamping agree with the documented ranges.
TEST(FieldTable, TheFormOffersWhatTheAgentKeeps) {
    const struct {
        const char* field;
        const setting::ValueRange& control;
        int32_t min, max, step;
    } cases[] = {
        {"WheelLines", setting::kWheelLinesRange, 1, 10, 1},
        {"ZoomSourceWidth", setting::kZoomSourceWidthRange, 2, 64, 2},
        {"ZoomSourceHeight", setting::kZoomSourceHeightRange, 2, 48, 2},
        {"UScrollVSpeed", setting::kVerticalSpeedRange, 1, 10, 1},
        {"UScrollHSpeed", setting::kHorizontalSpeedRange, 1, 5, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(c.control.min, c.min);
        EXPECT_EQ(c.control.max, c.max);
        EXPECT_EQ(c.control.step, c.step);
        const ptr::SettingsField* kept = agent::FindKeptField(c.field);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(ptr::ClampSettingsFieldValue(*kept, INT_MIN), c.min);
        EXPECT_EQ(ptr::ClampSettingsFieldValue(*kept, INT_MAX), c.max);
        EXPECT_EQ(ptr::ClampSettingsFieldValue(*kept, c.min + 1), c.step == 2 ? c.min : c.min + 1);
        // What the form's edit shows out of range is what the agent would keep.
        EXPECT_EQ(setting::SpinEditValue(std::to_string(c.max + 7), c.control),
                  ptr::ClampSettingsFieldValue(*kept, c.max + 7));
        EXPECT_EQ(setting::SpinEditValue("-3", c.control), ptr::ClampSettingsFieldValue(*kept, -3));
    }
    // The zoom factor is no field, but both programs bound it alike.
    EXPECT_EQ(setting::kZoomFactorRange.min, 2);
    EXPECT_EQ(setting::kZoomFactorRange.max, 10);
    EXPECT_EQ(agent::SteppedZoomFactor(2, -120), setting::kZoomFactorRange.min);
    EXPECT_EQ(agent::SteppedZoomFactor(10, 120), setting::kZoomFactorRange.max);
}

// A function chosen in the settings form must survive the agent's next start.
TEST(FieldTable, EveryFunctionTheFormOffersIsOneTheAgentKeeps) {
    const ptr::SettingsField* button3 = agent::FindKeptField("ButtonFunction0");
    ASSERT_NE(button3, nullptr);
    std::set<int32_t> offered(setting::kFunctionDisplayList,
                              setting::kFunctionDisplayList + setting::kFunctionDisplayCount);
    for (int32_t code : offered) EXPECT_EQ(ptr::ClampSettingsFieldValue(*button3, code), code) << code;
    // The hooks know two more: Cycle Task, which the form does not offer, and the task switch.
    std::vector<int32_t> keptOnly;
    for (int32_t code = -5; code <= 300; ++code)
        if (ptr::ClampSettingsFieldValue(*button3, code) == code && code != 0 && !offered.count(code))
            keptOnly.push_back(code);
    EXPECT_EQ(keptOnly, (std::vector<int32_t>{ptr::function::kCycleTask, ptr::function::kTaskSwitch}));
}

// The first run as the agent writes it, field by field, and the form's editor
// writing every field it edits into the same place.
TEST(FieldTable, TheAgentsFirstRunAndTheFormsHandlersWriteTheTablesFields) {
    ptr::SettingsBlock block;
    std::memset(&block, 0x77, sizeof block);
    agent::SetDefaultConfiguration(block, 5);
    EXPECT_EQ(agent::DescribeConfiguration(block),
              "ButtonCount=5 WheelCount=1 LowLevelWheelHook=0 EnhanceMode=-1 Reserved12=0 Reserved16=0 "
              "ReverseWheel=0 WheelPageScroll=0 WheelLines=3 Reserved32=0 ReverseHWheel=0 HWheelPageScroll=0 "
              "HWheelLines=3 UScrollVertical=-1 UScrollHorizontal=-1 UScrollReverse=0 UScrollVSpeed=5 "
              "UScrollHSpeed=3 ZoomSourceWidth=32 ZoomSourceHeight=24 ZoomTargetWidth=64 ZoomTargetHeight=48 "
              "ButtonFunction0=0 ButtonFunction1=0 ButtonFunction2=0 ButtonFunction3=0 ButtonFunction4=0");
    EXPECT_EQ(block.AgentWindow, 0x77777777u) << "handles are not the agent's to default";

    std::vector<uint8_t> app(ptr::kAppBlockSize, 0);
    setting::TSettingsEditor editor(block, app.data());
    editor.Set("WheelLines", 7);
    editor.Set("UScrollVSpeed", 9);
    editor.Set("ZoomSourceWidth", 40);
    editor.SetZoomTarget("ZoomTargetWidth", "ZoomSourceWidth", 3);
    editor.UseFunctionBox(5, true, ptr::function::kConnectToInternet);
    const struct {
        const char* field;
        int32_t value;
    } written[] = {{"WheelLines", 7}, {"UScrollVSpeed", 9}, {"ZoomSourceWidth", 40}, {"ZoomTargetWidth", 120},
                   {"ButtonFunction2", ptr::function::kConnectToInternet}};
    for (const auto& w : written)
        EXPECT_EQ(ptr::ReadSettingsField(block, *agent::FindKeptField(w.field)), w.value) << w.field;
}

// The settings form writes a button's address where the agent reads the slot
// that the hooks name with UM_CONNECTINTERNET (button index 0 to 2).
// The programs block as documented: a program's fields are kept fields of the
// agent (the same value names under Programs\NAME as under Agent), each with
// the bit of its row, its value where the hooks read it in the settings block.
TEST(ProgramsBlockContract, AProgramsFieldsAreKeptFieldsAtTheirPlaces) {
    const struct {
        const char* name;
        uint32_t bit;
        uint32_t offset;
    } expected[] = {
        {"EnhanceMode", 3, 8},       {"WheelPageScroll", 7, 24},  {"WheelLines", 8, 28},
        {"HWheelPageScroll", 11, 40}, {"HWheelLines", 12, 44},    {"ButtonFunction0", 22, 84},
        {"ButtonFunction1", 23, 88}, {"ButtonFunction2", 24, 92}, {"ButtonFunction3", 25, 96},
        {"ButtonFunction4", 26, 100},
    };
    ASSERT_EQ(ptr::kProgramFieldCount, static_cast<int>(sizeof expected / sizeof expected[0]));
    uint32_t mask = 0;
    for (const auto& field : expected) {
        SCOPED_TRACE(field.name);
        ASSERT_NE(agent::FindKeptField(field.name), nullptr) << "kept by the agent under the same name";
        EXPECT_EQ(ptr::FieldBit(field.name), 1u << field.bit);
        mask |= 1u << field.bit;
        ptr::ProgramSettings program;
        program.Set(field.name, 7);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&program.values);
        EXPECT_EQ(bytes[field.offset], 7) << "at its offset in the settings block";
    }
    EXPECT_EQ(ptr::kProgramFieldMask, mask);
    // Fields no program holds are refused by every writer.
    ptr::ProgramSettings program;
    program.Set("UScrollVSpeed", 3);
    program.Set("AgentWindow", 3);
    EXPECT_EQ(program.fields, 0u);
    EXPECT_EQ(std::string(ptr::kProgramsBlockName), "PTRHK32A_3_PROG");
    EXPECT_EQ(std::string(ptr::kProgramsConfigKey), std::string(ptr::kSuiteKey) + "\\Programs");
}

TEST(AppBlockContract, EachButtonsAddressIsWhereEveryProgramLooks) {
    EXPECT_STREQ(ptr::kAppBlockName, "PTRHK32A_3_APP");
    EXPECT_EQ(ptr::kAppBlockSize, 1284u);
    const struct {
        int button;
        int hookIndex;
        int offset;
    } cases[] = {{3, 0, 516}, {4, 1, 772}, {5, 2, 1028}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        std::vector<uint8_t> block(ptr::kAppBlockSize, 0xEE);
        ptr::SetWebAddress(block.data(), ptr::WebAddressSlotOfButton(c.button), "www.example.com");
        EXPECT_EQ(ptr::WebAddressOffset(c.hookIndex), c.offset);
        EXPECT_EQ(block[c.offset], 15);
        EXPECT_EQ(ptr::ReadShortString(&block[ptr::WebAddressOffset(c.hookIndex)]), "www.example.com");
        EXPECT_EQ(block[c.offset + 16], 0xEE) << "the rest of the slot is left as it was";
        for (size_t b = 0; b < block.size(); ++b) {
            const bool written = b >= static_cast<size_t>(c.offset) && b < static_cast<size_t>(c.offset) + 16;
            if (!written) {
                ASSERT_EQ(block[b], 0xEE) << "byte " << b;
            }
        }
    }
    EXPECT_EQ(ptr::WebAddressSlotOfButton(6), -1);
    EXPECT_EQ(ptr::WebAddressOffset(3), -1);
}

TEST(MarkerContract, TheAgentsOwnInputCarriesTheMarkerTheHooksTest) {
    // The high word of dwExtraInfo: the agent's end of auto scroll and zoom.
    EXPECT_EQ(ptr::ExtraInfo(ptr::MARK_SELF), 0x00040000u);
    EXPECT_EQ(ptr::ExtraInfo(ptr::MARK_RUN), 0x00010000u);
    EXPECT_EQ(ptr::ExtraInfo(ptr::MARK_PASS), 0x00030000u);
    // A wheel notch carries its delta in the low word.
    EXPECT_EQ(ptr::ExtraInfo(ptr::MARK_WHEEL, static_cast<uint16_t>(-120)), 0x4001FF88u);
}

// Every file that the tray agent, its 64-bit host and the settings program
// open by name is one that the installer puts beside them.
TEST(NameContract, TheInstallerInstallsEveryFileTheProgramsOpen) {
    std::set<std::string> installed;
    for (const setup::InstalledFile& file : setup::kInstalledFiles) installed.insert(file.path);
    const char* opened[] = {ptr::kLibraryFile,   ptr::kSettingsProgramFile, ptr::kSettingsIniFile, ptr::kTrayIconFile,
                            ptr::kLogoFile,      ptr::kMouseBitmapFile,     ptr::kRegionDataFile,  ptr::kAgentFile,
                            ptr::kUninstallerFile, ptr::kLibrary64File, ptr::kHostFile};
    for (const char* name : opened) EXPECT_TRUE(installed.count(name)) << name;
    EXPECT_EQ(installed.size(), sizeof opened / sizeof opened[0]);
}

// The uninstaller looks for its log and captions by its own name (it spells
// the log's extension ".log" in one place and ".Log" in another); the
// installer writes them by theirs.
TEST(NameContract, TheUninstallerFindsTheFilesTheInstallerWritesBesideIt) {
    const std::string uninstaller = std::string("C:\\Suite\\") + ptr::kUninstallerFile;
    const std::string expected[][2] = {{".log", ptr::kInstallLogFile}, {".Log", ptr::kInstallLogFile},
                                       {".UN2", ptr::kDialogTextFile}};
    for (const auto& e : expected) {
        EXPECT_EQ(ptr::CompareLocaleNoCase(uninst::ChangeFileExt(uninstaller, e[0]),
                                              std::string("C:\\Suite\\") + e[1]),
                  0)
            << e[0];
    }
}

}  // namespace
