#include "app_block_view.h"

#include "short_string.h"

namespace ptr {

static_assert(kWebAddressSlotSize == kShortStringSize, "a web address slot is a short string");

AppBlockView MapAppBlock() {
    AppBlockView view;
    view.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAppBlockSize, kAppBlockName);
    if (!view.mapping) return view;
    view.block = static_cast<uint8_t*>(MapViewOfFile(view.mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view.block) {
        CloseHandle(view.mapping);
        view.mapping = nullptr;
    }
    return view;
}

void UnmapAppBlock(AppBlockView& view) {
    if (view.block) UnmapViewOfFile(view.block);
    if (view.mapping) CloseHandle(view.mapping);
    view = AppBlockView();
}

std::string GetWebAddress(const uint8_t* appBlock, int slot) {
    const int offset = WebAddressOffset(slot);
    return appBlock && offset >= 0 ? ReadShortString(appBlock + offset) : std::string();
}

void SetWebAddress(uint8_t* appBlock, int slot, const std::string& text) {
    const int offset = WebAddressOffset(slot);
    if (appBlock && offset >= 0) WriteShortString(appBlock + offset, text);
}

}  // namespace ptr
