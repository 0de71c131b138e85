// The button functions as the settings form offers them: the fixed display
// list of codes and the notebook page that each code shows.
#pragma once

#include "function_codes.h"

#include <cstdint>

namespace setting {

// Every function box lists these codes, in this order. Cycle Task has texts
// but is not offered, nor is the task switch, which has none.
constexpr int kFunctionDisplayCount = 57;
extern const int32_t kFunctionDisplayList[kFunctionDisplayCount];

// The pages under the function boxes of the Button tab.
enum class FunctionPage { Default = 0, Zoom = 1, Scroll = 2, AutoScroll = 3, WebAddress = 4 };
constexpr int kFunctionPageCount = 5;

FunctionPage PageForFunction(int32_t code);

}  // namespace setting
