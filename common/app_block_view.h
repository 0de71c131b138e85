// The application block as a program holds it: its mapping, and the web
// addresses in its slots.
#pragma once

#include "app_block_layout.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace ptr {

struct AppBlockView {
    HANDLE mapping = nullptr;
    uint8_t* block = nullptr;  // kAppBlockSize bytes; null when the block could not be mapped
};

// Creates the block zero-filled or opens the one another program made; a view
// that failed leaves no handle behind.
AppBlockView MapAppBlock();
void UnmapAppBlock(AppBlockView& view);

// The address in a slot (0 to 2); empty for no block or no such slot.
std::string GetWebAddress(const uint8_t* appBlock, int slot);
// Writes at most 255 characters and their count; the rest of the slot keeps
// whatever it held. No block or no such slot: nothing is written.
void SetWebAddress(uint8_t* appBlock, int slot, const std::string& text);

}  // namespace ptr
