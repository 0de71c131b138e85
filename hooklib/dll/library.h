// The thin DLL layer: the library's globals and the context built from them.
#pragma once

#include "hook_context.h"

namespace ptr {

HookContext LibraryContext();

}  // namespace ptr

#define PTR_EXPORT extern "C" __declspec(dllexport)
