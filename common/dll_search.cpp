#include "dll_search.h"

namespace ptr {

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);

}  // namespace

bool SearchSystemFolderForDlls(ProcLookup lookup) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault = LateBound<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories", lookup);
    if (setDefault && setDefault(kSearchSystem32)) return true;
    const auto setDirectory = LateBound<SetDllDirectoryFn>(kernel, "SetDllDirectoryA", lookup);
    return setDirectory && setDirectory("");
}

}  // namespace ptr
