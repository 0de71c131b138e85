// The hook library's own runtime routines, compiled again with the flags
// the library compiles them with, under names of their own beside the test
// program's runtime.
#define PTR_FREESTANDING_NAME(name) ptr_freestanding_##name
#include "freestanding.cpp"
