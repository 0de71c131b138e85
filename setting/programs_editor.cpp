#include "programs_editor.h"

namespace setting {

TProgramsEditor::TProgramsEditor(ptr::ProgramsBlock* block) : block_(block) { TakeKept(); }

void TProgramsEditor::TakeKept() {
    // A block torn by a writer that died is not edited (each change writes
    // the whole list) until the tray agent has written it whole again.
    whole_ = block_ != nullptr && ptr::ReadPrograms(*block_, programs_);
    TakeSavedCopy();
}

void TProgramsEditor::TakeSavedCopy() { saved_ = programs_; }

void TProgramsEditor::RestoreSavedCopy() {
    programs_ = saved_;
    Write();
}

TProgramsEditor::AddResult TProgramsEditor::Add(const std::string& name, int& index) {
    index = ptr::FindProgram(programs_, name);
    if (index >= 0) return AddResult::Known;
    if (!Available() || !ptr::IsProgramFileName(name)) return AddResult::NoName;
    if (programs_.size() >= static_cast<size_t>(ptr::kMaxPrograms)) return AddResult::Full;
    ptr::ProgramSettings program;
    program.name = name;
    programs_.push_back(program);
    index = static_cast<int>(programs_.size()) - 1;
    Write();
    return AddResult::Added;
}

bool TProgramsEditor::Remove(int index) {
    if (!Valid(index)) return false;
    programs_.erase(programs_.begin() + index);
    Write();
    return true;
}

bool TProgramsEditor::Has(int index, const char* field) const { return Valid(index) && programs_[index].Has(field); }

int32_t TProgramsEditor::Get(int index, const char* field) const { return Valid(index) ? programs_[index].Get(field) : 0; }

void TProgramsEditor::Set(int index, const char* field, int32_t value) {
    if (!Valid(index)) return;
    programs_[index].Set(field, value);
    Write();
}

void TProgramsEditor::Clear(int index, const char* field) {
    if (!Valid(index)) return;
    programs_[index].Clear(field);
    Write();
}

void TProgramsEditor::Write() {
    if (Available()) ptr::WritePrograms(*block_, programs_);
}

std::string ProgramNameOfPath(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace setting
