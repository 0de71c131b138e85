// The modules the settings program takes its resources from: the resource
// module (the program itself or a language module in its place) and the name
// module (function names and descriptions).
#pragma once

#include <windows.h>

#include <string>

namespace setting {

constexpr char kLanguageModuleFile[] = "LNGPAK.DLL";
constexpr char kNameLibraryFile[] = "SPINRSRC.DLL";
constexpr char kFormTemplateName[] = "TMOUSESETTINGFORM";

// Every lookup of the program's own resources goes through ResourceModule().
class TResourceModule {
public:
    explicit TResourceModule(HINSTANCE program) : program_(program), current_(program) {}

    // Loads the file as a resource-only data file and makes it the resource
    // module, freeing an earlier language module. A file that does not load
    // changes nothing; the result is then 0.
    HMODULE SetResourceModule(const std::string& path);
    HINSTANCE ResourceModule() const { return current_; }
    HINSTANCE Program() const { return program_; }

    // The module the form is built from: the resource module when it has
    // the form, else the program itself (a language module of an older
    // program, or one with its texts alone, has none).
    HINSTANCE FormModule() const;
    // A string of the resource module, or the program's own where it has none.
    std::string LoadText(unsigned id) const;

private:
    HINSTANCE program_;
    HINSTANCE current_;
};

// The name module chosen at start-up, and whether this program must free it.
struct TNameModule {
    HMODULE module = nullptr;
    bool owned = false;
};

// "SPINRSRC.DLL" in the folder, loaded as a library, when it exists and
// loads; otherwise the resource module, not owned.
TNameModule ChooseNameModule(const std::string& folder, HMODULE resourceModule);
void FreeNameModule(TNameModule& names);

// Function names (id = code) and descriptions (id = 1000 + code). A text
// missing from the name module is empty, unless a fallback module is given
// (the program, behind a language module) and has it.
class TFunctionNames {
public:
    void SetNameModule(HMODULE module, HMODULE fallback = nullptr) {
        module_ = module;
        fallback_ = fallback;
    }
    HMODULE NameModule() const { return module_; }
    std::string LoadFunctionName(int code) const;
    std::string LoadFunctionDescription(int code) const;

private:
    HMODULE module_ = nullptr;
    HMODULE fallback_ = nullptr;
};

// A string of the module's table: at most 254 characters; when the module
// has none, the fallback module's (if one is given), else empty.
std::string LoadResourceString(HMODULE module, unsigned id, HMODULE fallback = nullptr);

}  // namespace setting
