// The button functions as the settings form offers them: the fixed display
// list of codes and the notebook page that each code shows.
#pragma once

#include <cstdint>

namespace setting {

// Every function box lists these codes, in this order. Cycle Task (40) has
// texts but is not offered.
constexpr int kFunctionDisplayCount = 57;
extern const int32_t kFunctionDisplayList[kFunctionDisplayCount];

// The functions with a page of their own under the function boxes.
constexpr int32_t kUniversalScroll = 100;
constexpr int32_t kAutoScroll = 101;
constexpr int32_t kUniversalZoom = 102;
constexpr int32_t kConnectToInternet = 103;

// The pages under the function boxes of the Button tab.
enum class FunctionPage { Default = 0, Zoom = 1, Scroll = 2, AutoScroll = 3, WebAddress = 4 };
constexpr int kFunctionPageCount = 5;

FunctionPage PageForFunction(int32_t code);

}  // namespace setting
