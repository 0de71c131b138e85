#include "resource_modules.h"

#include "file_checks.h"
#include "form_ids.h"

namespace setting {

HMODULE TResourceModule::SetResourceModule(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return nullptr;
    if (current_ != program_) FreeLibrary(current_);
    current_ = module;
    return module;
}

HINSTANCE TResourceModule::FormModule() const {
    return FindResourceA(current_, kFormTemplateName, RT_DIALOG) ? current_ : program_;
}

std::string TResourceModule::LoadText(unsigned id) const { return LoadResourceString(current_, id, program_); }

TNameModule ChooseNameModule(const std::string& folder, HMODULE resourceModule) {
    const std::string path = folder + kNameLibraryFile;
    TNameModule names;
    if (ptr::FileExists(path)) names.module = LoadLibraryA(path.c_str());
    // A library that is there but does not load counts as absent.
    names.owned = names.module != nullptr;
    if (!names.owned) names.module = resourceModule;
    return names;
}

void FreeNameModule(TNameModule& names) {
    if (names.owned && names.module) FreeLibrary(names.module);
    names = TNameModule();
}

std::string LoadResourceString(HMODULE module, unsigned id, HMODULE fallback) {
    // A buffer of 256 with a limit of 255: LoadStringA keeps room for the
    // terminator, so a longer text ends after 254 characters.
    char buffer[256];
    int count = LoadStringA(module, id, buffer, 255);
    if (count <= 0 && fallback && fallback != module) count = LoadStringA(fallback, id, buffer, 255);
    return count > 0 ? std::string(buffer, count) : std::string();
}

std::string TFunctionNames::LoadFunctionName(int code) const { return LoadResourceString(module_, code, fallback_); }

std::string TFunctionNames::LoadFunctionDescription(int code) const {
    return LoadResourceString(module_, FUNCTION_DESCRIPTION_BASE + code, fallback_);
}

}  // namespace setting
