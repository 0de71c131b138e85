// Window and hook handles cross the shared blocks as 32-bit values; on 64-bit
// Windows they are 32-bit significant and widen by sign extension.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ptr {

inline HWND ToHwnd(uint32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value))); }
inline uint32_t FromHwnd(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }
inline HHOOK ToHhook(uint32_t value) { return reinterpret_cast<HHOOK>(static_cast<intptr_t>(static_cast<int32_t>(value))); }
inline uint32_t FromHhook(HHOOK hook) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hook)); }

}  // namespace ptr
