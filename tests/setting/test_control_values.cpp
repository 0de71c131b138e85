// How the form reads its spin edits, up-downs and sliders, and the zoom factor.
#include "control_values.h"

#include <gtest/gtest.h>

#include <climits>

using namespace setting;

TEST(ControlValues, ASpinEditReadsItsTextWithinItsRange) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"30", 30}, {"64", 64}, {"65", 64}, {"1", 2}, {"-7", 2},   {"", 2},
        {"12x", 2}, {"x", 2},   {"31", 31}, {"99999999999999999999", 64},
    };
    for (const Case& c : cases) EXPECT_EQ(SpinEditValue(c.text, kZoomSourceWidthRange), c.expected) << c.text;
}

TEST(ControlValues, ATypedNumberIsHeldToTheRangeAndTextThatIsNoNumberGivesWhatTheFieldHolds) {
    struct Case {
        const char* text;
        int32_t otherwise;
        int32_t held;
    };
    const Case cases[] = {
        {"12", 7, 10}, {"100", 7, 10}, {"0", 7, 1},  {"-3", 7, 1},   {"5", 7, 5},
        {"abc", 7, 7}, {"", 4, 4},     {"3x", 7, 7}, {" 3", 7, 3},  {"99999999999999999999", 7, 10},
    };
    for (const Case& c : cases) EXPECT_EQ(HeldSpinValue(c.text, kWheelLinesRange, c.otherwise), c.held) << c.text;
    EXPECT_EQ(HeldSpinValue("100", kZoomSourceWidthRange, 30), 64);
}

TEST(ControlValues, TheZoomFactorIsTargetOverSourceAndTwoWithoutASource) {
    struct Case {
        int32_t target;
        int32_t source;
        int64_t factor;
    };
    const Case cases[] = {
        {64, 32, 2}, {65, 30, 2}, {90, 30, 3}, {29, 30, 0}, {100, 0, 2}, {0, 0, 2}, {INT_MIN, -1, 2147483648LL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZoomFactorOfBlock(c.target, c.source), c.factor) << c.target << "/" << c.source;
    EXPECT_EQ(ClampToRange(ZoomFactorOfBlock(INT_MIN, -1), kZoomFactorRange), 10);
    EXPECT_EQ(ClampToRange(ZoomFactorOfBlock(29, 30), kZoomFactorRange), 2);
}

TEST(ControlValues, WheelLinesTravelAsTheUpDownsSixteenBitPosition) {
    EXPECT_EQ(PositionFromWheelLines(5), 5);
    EXPECT_EQ(PositionFromWheelLines(0x10007), 7) << "only the low 16 bits are read back";
    EXPECT_EQ(PositionFromWheelLines(0xFFFF), -1);
    EXPECT_EQ(WheelLinesFromPosition(-1), -1) << "written sign-extended";
    EXPECT_EQ(WheelLinesFromPosition(10), 10);
}

TEST(ControlValues, AVerticalSliderShowsItsMaximumAtTheTop) {
    EXPECT_EQ(MirroredSliderValue(1, kVerticalSpeedRange), 10);
    EXPECT_EQ(MirroredSliderValue(10, kVerticalSpeedRange), 1);
    EXPECT_EQ(MirroredSliderValue(MirroredSliderValue(4, kVerticalSpeedRange), kVerticalSpeedRange), 4);
}

TEST(ControlValues, ProductsWrapInsteadOfOverflowing) {
    EXPECT_EQ(WrappingProduct(3, 30), 90);
    EXPECT_EQ(WrappingProduct(10, INT_MAX), static_cast<int32_t>(0xFFFFFFF6u));
}
