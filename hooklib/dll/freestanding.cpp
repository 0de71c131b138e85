// The few runtime routines the hook library needs, so that it links no C or
// C++ runtime: the library is mapped into every process on the desktop, and
// msvcrt.dll is not on every Windows 95. The compiler emits calls to the
// memory routines for copies and clears of structures; the hook logic calls
// the string routines for class and module names.
#include <windows.h>

#include <cstddef>

// This file is compiled with -fno-builtin and -fno-tree-loop-distribute-patterns,
// so that the loops below are not turned back into calls to themselves.
extern "C" {

void* memcpy(void* to, const void* from, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    while (count--) *d++ = *s++;
    return to;
}

void* memmove(void* to, const void* from, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    if (d < s) {
        while (count--) *d++ = *s++;
    } else {
        while (count--) d[count] = s[count];
    }
    return to;
}

void* memset(void* to, int value, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(to);
    while (count--) *d++ = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void* a, const void* b, size_t count) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; count; --count, ++x, ++y) {
        if (*x != *y) return *x < *y ? -1 : 1;
    }
    return 0;
}

size_t strlen(const char* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

int strcmp(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

// Called only if a pure virtual function were reached through an object under
// construction, which the library never does; it must not pull in a runtime.
void __cxa_pure_virtual() {}

}  // extern "C"
