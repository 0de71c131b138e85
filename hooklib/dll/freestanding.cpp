// The few runtime routines the hook library needs, so that it links no C or
// C++ runtime: the library is mapped into every process on the desktop, and
// msvcrt.dll is not on every Windows 95. The compiler emits calls to the
// memory routines for copies and clears of structures; the hook logic calls
// the string routines for class and module names.
//
// The unit tests compile this file again with PTR_FREESTANDING_NAME giving
// each routine another name, beside the runtime's own.
#include <windows.h>

#include <cstddef>

#ifndef PTR_FREESTANDING_NAME
#define PTR_FREESTANDING_NAME(name) name
#endif

// This file is compiled with -fno-builtin and -fno-tree-loop-distribute-patterns,
// so that the loops below are not turned back into calls to themselves.
extern "C" {

void* PTR_FREESTANDING_NAME(memcpy)(void* to, const void* from, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    while (count--) *d++ = *s++;
    return to;
}

void* PTR_FREESTANDING_NAME(memmove)(void* to, const void* from, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    if (d < s) {
        while (count--) *d++ = *s++;
    } else {
        while (count--) d[count] = s[count];
    }
    return to;
}

void* PTR_FREESTANDING_NAME(memset)(void* to, int value, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(to);
    while (count--) *d++ = static_cast<unsigned char>(value);
    return to;
}

int PTR_FREESTANDING_NAME(memcmp)(const void* a, const void* b, size_t count) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; count; --count, ++x, ++y) {
        if (*x != *y) return *x < *y ? -1 : 1;
    }
    return 0;
}

size_t PTR_FREESTANDING_NAME(strlen)(const char* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

int PTR_FREESTANDING_NAME(strcmp)(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

// Reached only through a pure virtual function called on an object under
// construction or destruction, which the library never does: if it ever
// were, the call stops here with an illegal instruction (an exception the
// host's handlers see) rather than going on with nothing done.
void PTR_FREESTANDING_NAME(__cxa_pure_virtual)() { __builtin_trap(); }

}  // extern "C"
