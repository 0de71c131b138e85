// The web-address slots of the application block, byte by byte.
#include "app_block_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> FreshBlock() { return std::vector<uint8_t>(ptr::kAppBlockSize, 0); }

}  // namespace

TEST(AppBlock, AFreshBlockHoldsThreeEmptyAddresses) {
    std::vector<uint8_t> block = FreshBlock();
    for (int slot = 0; slot < ptr::kWebAddressSlots; ++slot) EXPECT_EQ(ptr::GetWebAddress(block.data(), slot), "");
}

TEST(AppBlock, EachButtonsAddressLiesAtItsOffsetAsLengthAndCharacters) {
    struct Case {
        int button;
        int slot;
        size_t offset;
    };
    const Case cases[] = {{3, 0, 516}, {4, 1, 772}, {5, 2, 1028}};
    for (const Case& c : cases) {
        std::vector<uint8_t> block = FreshBlock();
        ASSERT_EQ(ptr::WebAddressSlotOfButton(c.button), c.slot);
        ptr::SetWebAddress(block.data(), c.slot, "www.a.b");
        std::vector<uint8_t> expected = FreshBlock();
        const std::string bytes = std::string(1, '\x07') + "www.a.b";
        std::copy(bytes.begin(), bytes.end(), expected.begin() + c.offset);
        EXPECT_EQ(block, expected) << "button " << c.button;
        EXPECT_EQ(ptr::GetWebAddress(block.data(), c.slot), "www.a.b");
    }
}

TEST(AppBlock, ButtonsOtherThanThreeToFiveHaveNoSlotAndWriteNothing) {
    for (int button : {0, 1, 2, 6, 7, -1}) EXPECT_EQ(ptr::WebAddressSlotOfButton(button), -1) << button;
    std::vector<uint8_t> block = FreshBlock();
    ptr::SetWebAddress(block.data(), -1, "x");
    ptr::SetWebAddress(block.data(), 3, "x");
    EXPECT_EQ(block, FreshBlock());
    EXPECT_EQ(ptr::GetWebAddress(block.data(), 3), "");
}

TEST(AppBlock, AShorterAddressLeavesTheOldTailBehindItsLength) {
    std::vector<uint8_t> block = FreshBlock();
    ptr::SetWebAddress(block.data(), 1, "http://example.org");
    ptr::SetWebAddress(block.data(), 1, "abc");
    EXPECT_EQ(ptr::GetWebAddress(block.data(), 1), "abc");
    EXPECT_EQ(block[772], 3);
    EXPECT_EQ(std::string(block.begin() + 776, block.begin() + 791), "p://example.org");
}

TEST(AppBlock, ALongAddressIsCutTo255AndTouchesNoOtherSlot) {
    std::vector<uint8_t> block = FreshBlock();
    ptr::SetWebAddress(block.data(), 2, "x");
    ptr::SetWebAddress(block.data(), 0, std::string(300, 'q'));
    EXPECT_EQ(block[516], 255);
    EXPECT_EQ(ptr::GetWebAddress(block.data(), 0), std::string(255, 'q'));
    EXPECT_EQ(block[772], 0) << "the next slot starts right after";
    EXPECT_EQ(ptr::GetWebAddress(block.data(), 2), "x");
}
