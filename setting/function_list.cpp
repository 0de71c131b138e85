#include "function_list.h"

namespace setting {

const int32_t kFunctionDisplayList[kFunctionDisplayCount] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
    28, 29, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 60, 61, 62, 70, 71, 72, 73,
    100, 101, 102, 103,
};

FunctionPage PageForFunction(int32_t code) {
    switch (code) {
    case kUniversalZoom: return FunctionPage::Zoom;
    case kUniversalScroll: return FunctionPage::Scroll;
    case kAutoScroll: return FunctionPage::AutoScroll;
    case kConnectToInternet: return FunctionPage::WebAddress;
    default: return FunctionPage::Default;
    }
}

}  // namespace setting
