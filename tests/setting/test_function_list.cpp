// The function display list and the page of each function.
#include "function_list.h"

#include <gtest/gtest.h>

#include <vector>

using namespace setting;

TEST(FunctionList, ListsFiftySevenCodesInOrderWithoutCycleTask) {
    std::vector<int32_t> expected;
    for (int32_t code = 0; code <= 29; ++code) expected.push_back(code);
    for (int32_t code = 41; code <= 56; ++code) expected.push_back(code);
    for (int32_t code : {60, 61, 62, 70, 71, 72, 73, 100, 101, 102, 103}) expected.push_back(code);
    EXPECT_EQ(std::vector<int32_t>(kFunctionDisplayList, kFunctionDisplayList + kFunctionDisplayCount), expected);
    EXPECT_EQ(DisplayIndexOfFunction(40), -1);
    EXPECT_EQ(DisplayIndexOfFunction(151), -1);
    EXPECT_EQ(DisplayIndexOfFunction(41), 30);
}

TEST(FunctionList, OnlyZoomScrollAutoScrollAndConnectHavePagesOfTheirOwn) {
    EXPECT_EQ(PageForFunction(102), FunctionPage::Zoom);
    EXPECT_EQ(PageForFunction(100), FunctionPage::Scroll);
    EXPECT_EQ(PageForFunction(101), FunctionPage::AutoScroll);
    EXPECT_EQ(PageForFunction(103), FunctionPage::WebAddress);
    for (int32_t code : kFunctionDisplayList)
        if (code < 100) {
            EXPECT_EQ(PageForFunction(code), FunctionPage::Default) << code;
        }
    EXPECT_EQ(PageForFunction(40), FunctionPage::Default);
}
