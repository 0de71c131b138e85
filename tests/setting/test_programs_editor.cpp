// The Programs tab's editing of the programs block, without windows: every
// change in the live block at once, the saved copy that Cancel writes back,
// and the names a program is added by.
#include "programs_editor.h"

#include "function_codes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using setting::TProgramsEditor;

namespace {

struct Live {
    std::unique_ptr<ptr::ProgramsBlock> block{new ptr::ProgramsBlock()};
    std::vector<ptr::ProgramSettings> Read() const {
        std::vector<ptr::ProgramSettings> programs;
        EXPECT_TRUE(ptr::ReadPrograms(*block, programs));
        return programs;
    }
};

std::vector<std::string> Names(const std::vector<ptr::ProgramSettings>& programs) {
    std::vector<std::string> names;
    for (const auto& program : programs) names.push_back(program.name);
    return names;
}

TEST(ProgramsEditor, AddingFindsAKnownProgramAndRefusesWhatCannotBeKept) {
    Live live;
    ptr::ProgramSettings kept;
    kept.name = "Alpha.exe";
    ptr::WritePrograms(*live.block, {kept});
    TProgramsEditor editor(live.block.get());
    const struct {
        std::string name;
        TProgramsEditor::AddResult result;
        int index;
    } rows[] = {
        {"beta.exe", TProgramsEditor::AddResult::Added, 1},
        {"ALPHA.EXE", TProgramsEditor::AddResult::Known, 0},
        {"beta.EXE", TProgramsEditor::AddResult::Known, 1},
        {std::string(64, 'x'), TProgramsEditor::AddResult::NoName, -1},
        {"", TProgramsEditor::AddResult::NoName, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int index = 99;
        EXPECT_EQ(editor.Add(row.name, index), row.result);
        EXPECT_EQ(index, row.index);
    }
    EXPECT_EQ(Names(live.Read()), (std::vector<std::string>{"Alpha.exe", "beta.exe"}));
    for (int i = 2; i < ptr::kMaxPrograms; ++i) {
        int index = -1;
        ASSERT_EQ(editor.Add("p" + std::to_string(i) + ".exe", index), TProgramsEditor::AddResult::Added);
    }
    int index = -1;
    EXPECT_EQ(editor.Add("one-more.exe", index), TProgramsEditor::AddResult::Full);
    EXPECT_EQ(live.Read().size(), 64u);
    EXPECT_EQ(editor.Add("p9.exe", index), TProgramsEditor::AddResult::Known) << "a listed one is found even then";
}

TEST(ProgramsEditor, EachChangeIsLiveAndCancelGoesBackToTheLastApply) {
    Live live;
    TProgramsEditor editor(live.block.get());
    int alpha = -1;
    editor.Add("alpha.exe", alpha);
    editor.Set(alpha, "ButtonFunction1", ptr::function::kEnter);
    editor.Set(alpha, "WheelLines", 40);
    ASSERT_EQ(live.Read().size(), 1u);
    EXPECT_EQ(live.Read()[0].Get("ButtonFunction1"), ptr::function::kEnter);
    EXPECT_EQ(live.Read()[0].Get("WheelLines"), 10) << "brought into range";
    editor.TakeSavedCopy();  // an Apply

    editor.Clear(alpha, "ButtonFunction1");
    EXPECT_FALSE(live.Read()[0].Has("ButtonFunction1"));
    int beta = -1;
    editor.Add("beta.exe", beta);
    editor.Remove(alpha);
    EXPECT_EQ(Names(live.Read()), (std::vector<std::string>{"beta.exe"}));
    EXPECT_FALSE(editor.Remove(5));
    editor.Set(7, "WheelLines", 3);  // no such program: nothing

    editor.RestoreSavedCopy();  // Cancel
    const auto restored = live.Read();
    ASSERT_EQ(Names(restored), (std::vector<std::string>{"alpha.exe"}));
    EXPECT_EQ(restored[0].Get("ButtonFunction1"), ptr::function::kEnter);
    EXPECT_EQ(Names(editor.Programs()), Names(restored));

    // The tray agent rewrote the block: that is what Cancel goes back to now.
    ptr::ProgramSettings gamma;
    gamma.name = "gamma.exe";
    ptr::WritePrograms(*live.block, {restored[0], gamma});
    editor.TakeKept();
    editor.Remove(0);
    editor.RestoreSavedCopy();
    EXPECT_EQ(Names(live.Read()), (std::vector<std::string>{"alpha.exe", "gamma.exe"}));
}

TEST(ProgramsEditor, WithoutABlockNothingIsEdited) {
    TProgramsEditor editor(nullptr);
    int index = -1;
    EXPECT_FALSE(editor.Available());
    EXPECT_EQ(editor.Add("alpha.exe", index), TProgramsEditor::AddResult::NoName);
    EXPECT_TRUE(editor.Programs().empty());
    editor.RestoreSavedCopy();
}

// A writer died in the middle of a change: the block is not edited (each
// change would write the whole list over what others kept) until the tray
// agent has written it whole again.
TEST(ProgramsEditor, ATornBlockIsNotEditedUntilItIsWholeAgain) {
    Live live;
    ptr::ProgramSettings kept;
    kept.name = "alpha.exe";
    ptr::WritePrograms(*live.block, {kept, kept});
    live.block->Entries[1].Name[0] = 'b';
    ptr::BeginProgramsChange(live.block->Header);
    const ptr::ProgramsBlock torn = *live.block;
    TProgramsEditor editor(live.block.get());
    int index = -1;
    EXPECT_FALSE(editor.Available());
    EXPECT_TRUE(editor.Programs().empty());
    EXPECT_EQ(editor.Add("gamma.exe", index), TProgramsEditor::AddResult::NoName);
    editor.RestoreSavedCopy();
    EXPECT_EQ(std::memcmp(&torn, live.block.get(), sizeof torn), 0) << "nothing written";

    ptr::WritePrograms(*live.block, {kept});
    editor.TakeKept();
    EXPECT_TRUE(editor.Available());
    EXPECT_EQ(Names(editor.Programs()), (std::vector<std::string>{"alpha.exe"}));
}

TEST(ProgramsEditor, TheProgramOfAPathIsItsFileName) {
    const struct {
        const char* path;
        const char* name;
    } rows[] = {
        {"C:\\Windows\\notepad.exe", "notepad.exe"},
        {"Z:/tmp/Beta.EXE", "Beta.EXE"},
        {"D:word.exe", "word.exe"},
        {"plain.exe", "plain.exe"},
        {"C:\\folder\\", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(setting::ProgramNameOfPath(row.path), row.name) << row.path;
}

}  // namespace
