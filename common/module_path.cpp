#include "module_path.h"

namespace ptr {

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    // A path cut at the buffer's end names another file: none is better.
    return std::string(path, length < MAX_PATH ? length : 0);
}

std::string ProgramFolder() {
    const std::string path = ModulePath();
    return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace ptr
