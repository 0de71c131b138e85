// A Windows bitmap file image (BITMAPFILEHEADER, info header, colour table,
// pixels) checked before anything is made of it: every part must lie inside
// the bytes, the sizes within bounds. The result carries a normalised
// BITMAPINFO (a 40-byte header, the masks, the colour table) that GDI can
// be handed without reading past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest picture side accepted, and the most pixels (a 32-bit copy of
// the picture must stay within 64 MiB).
constexpr int32_t kMaxBitmapSide = 16384;
constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;

struct BitmapImage {
    int32_t Width = 0;
    int32_t Height = 0;    // rows, always positive
    bool TopDown = false;  // the file stores the top row first
    uint16_t BitCount = 0;
    std::vector<uint8_t> Info;  // BITMAPINFOHEADER (+ 3 masks) + colour table
    std::vector<uint8_t> File;  // the file image; its pixel rows lie at PixelOffset
    size_t PixelOffset = 0;
    size_t PixelSize = 0;  // Height rows of BitmapRowBytes(Width, BitCount)

    const uint8_t* Pixels() const { return File.data() + PixelOffset; }
};

size_t BitmapRowBytes(int32_t width, uint16_t bitCount);

// Checks a bitmap file image and takes it apart; EInvalidGraphic when it is
// not one this reader accepts. The reserved byte of 32-bit pixels is cleared
// (GDI ignores it; a picture control would take a copy of a bitmap with alpha).
BitmapImage DecodeBitmapFile(std::vector<uint8_t> file);
