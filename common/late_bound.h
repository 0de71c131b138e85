// Functions that systems newer than Windows 95 add are looked up at run time,
// never imported, so that every binary of the suite loads on Windows 95. Every
// caller has a working path for a null result.
#pragma once

#include <windows.h>

namespace ptr {

// How a function is looked up: GetProcAddress, or in the tests one that
// finds nothing, so that each fallback runs for real.
using ProcLookup = FARPROC(WINAPI*)(HMODULE module, LPCSTR name);

template <typename Function>
Function LateBound(HMODULE module, const char* name, ProcLookup lookup = ::GetProcAddress) {
    if (module == nullptr || lookup == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(lookup(module, name)));
}

}  // namespace ptr
