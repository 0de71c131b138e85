// What the Programs tab does to the programs block, without any window: the
// programs with settings of their own, each change written into the live
// block at once, and the saved copy that Cancel writes back.
#pragma once

#include "programs_view.h"

#include <string>
#include <vector>

namespace setting {


class TProgramsEditor {
public:
    // block is the live programs block, or null where the tray agent has
    // none: then the page has nothing to edit. The saved copy is taken at once.
    explicit TProgramsEditor(ptr::ProgramsBlock* block);

    // There is a block, and it was read whole when it was last taken.
    bool Available() const { return block_ != nullptr && whole_; }
    const std::vector<ptr::ProgramSettings>& Programs() const { return programs_; }

    // The block as it is now (the tray agent rewrote it): shown, and the
    // state that Cancel goes back to; nothing, and not Available, when it
    // cannot be read whole.
    void TakeKept();
    void TakeSavedCopy();
    void RestoreSavedCopy();

    enum class AddResult { Added, Known, Full, NoName };
    // A program by its file name: added without settings of its own, or
    // found; index is where it is in the list.
    AddResult Add(const std::string& name, int& index);
    bool Remove(int index);

    // A program's own value of a field, if it has one.
    bool Has(int index, const char* field) const;
    int32_t Get(int index, const char* field) const;
    // Its own value (brought into range), or "as everywhere": none.
    void Set(int index, const char* field, int32_t value);
    void Clear(int index, const char* field);

private:
    bool Valid(int index) const { return index >= 0 && index < static_cast<int>(programs_.size()); }
    void Write();

    ptr::ProgramsBlock* block_;
    bool whole_ = false;
    std::vector<ptr::ProgramSettings> programs_;
    std::vector<ptr::ProgramSettings> saved_;
};

// The program file name at the end of a path ("C:\Windows\notepad.exe").
std::string ProgramNameOfPath(const std::string& path);

}  // namespace setting
