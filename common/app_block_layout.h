// The application block "PTRHK32A_3_APP", shared by the tray agent and the
// settings program: 516 bytes that only travel with the block, then one web
// address per button 3, 4 and 5, each a 256-byte short string. The hooks name
// a slot by the button index they post with UM_CONNECTINTERNET (0 to 2).
// Header-only and constexpr.
#pragma once

#include <cstdint>

namespace ptr {

constexpr char kAppBlockName[] = "PTRHK32A_3_APP";
constexpr uint32_t kAppBlockSize = 1284;
constexpr uint32_t kAppReservedSize = 516;
constexpr uint32_t kWebAddressSlotSize = 256;
constexpr int kWebAddressSlots = 3;
constexpr uint32_t kMaxWebAddressLength = kWebAddressSlotSize - 1;

static_assert(kAppReservedSize + kWebAddressSlots * kWebAddressSlotSize == kAppBlockSize, "layout");

// Offset of a slot in the block, or -1 for a slot that does not exist.
constexpr int WebAddressOffset(int slot) {
    return slot < 0 || slot >= kWebAddressSlots ? -1
                                                : static_cast<int>(kAppReservedSize + slot * kWebAddressSlotSize);
}

// Slot of a button's web address: button 3 is slot 0; -1 for any other button.
constexpr int WebAddressSlotOfButton(int button) { return button >= 3 && button <= 5 ? button - 3 : -1; }

}  // namespace ptr
