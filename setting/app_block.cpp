#include "app_block.h"

#include <algorithm>
#include <cstring>

namespace setting {

namespace {

uint8_t* Slot(uint8_t* appBlock, int slot) { return appBlock + kAppReservedSize + slot * kWebAddressSlotSize; }

bool IsSlot(int slot) { return slot >= 0 && slot < kWebAddressSlots; }

}  // namespace

int WebAddressSlotOfButton(int button) { return button >= 3 && button <= 5 ? button - 3 : -1; }

std::string GetWebAddress(const uint8_t* appBlock, int slot) {
    if (!appBlock || !IsSlot(slot)) return std::string();
    const uint8_t* field = Slot(const_cast<uint8_t*>(appBlock), slot);
    return std::string(reinterpret_cast<const char*>(field + 1), field[0]);
}

void SetWebAddress(uint8_t* appBlock, int slot, const std::string& text) {
    if (!appBlock || !IsSlot(slot)) return;
    uint8_t* field = Slot(appBlock, slot);
    const size_t length = std::min<size_t>(text.size(), kMaxWebAddressLength);
    field[0] = static_cast<uint8_t>(length);
    std::memcpy(field + 1, text.data(), length);
}

}  // namespace setting
