// The application block "PTRHK32A_3_APP", shared with the tray agent: 516
// bytes the settings program only copies, then one web address per button 3,
// 4 and 5, each a short string (length byte, characters, no terminator).
#pragma once

#include <cstdint>
#include <string>

namespace setting {

constexpr char kAppBlockName[] = "PTRHK32A_3_APP";
constexpr uint32_t kAppBlockSize = 1284;
constexpr uint32_t kAppReservedSize = 516;
constexpr uint32_t kWebAddressSlotSize = 256;
constexpr int kWebAddressSlots = 3;
constexpr uint32_t kMaxWebAddressLength = 255;

static_assert(kAppReservedSize + kWebAddressSlots * kWebAddressSlotSize == kAppBlockSize, "layout");

// Slot of a button's web address: button 3 is slot 0; -1 for any other button.
int WebAddressSlotOfButton(int button);

// The address in a slot (0 to 2) of a 1284-byte block.
std::string GetWebAddress(const uint8_t* appBlock, int slot);

// Writes at most 255 characters and their count; the rest of the slot keeps
// whatever it held.
void SetWebAddress(uint8_t* appBlock, int slot, const std::string& text);

}  // namespace setting
