#include "bitmap_image.h"

#include "region_errors.h"
#include "region_stream.h"

#include <cstring>
#include <utility>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr uint32_t kMaskBytes = 12;       // red, green and blue masks
constexpr uint32_t kRgb = 0;              // BI_RGB
constexpr uint32_t kBitFields = 3;        // BI_BITFIELDS

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void StoreU32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void Require(bool condition) {
    if (!condition) throw EInvalidGraphic();
}

bool KnownInfoHeaderSize(uint32_t size) {
    // BITMAPINFOHEADER and its V2, V3, V4 and V5 extensions.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The fields of the info header this reader uses.
struct InfoHeader {
    uint32_t Size;
    int64_t Width;
    int64_t Height;  // negative: top row first
    uint16_t Planes;
    uint16_t BitCount;
    uint32_t Compression;
    uint32_t ColoursUsed;
};

InfoHeader LoadInfoHeader(const uint8_t* p) {
    return {LoadU32(p),
            static_cast<int32_t>(LoadU32(p + 4)),
            static_cast<int32_t>(LoadU32(p + 8)),
            LoadU16(p + 12),
            LoadU16(p + 14),
            LoadU32(p + 16),
            LoadU32(p + 32)};
}

void CheckGeometry(const InfoHeader& info) {
    Require(info.Width >= 1 && info.Width <= kMaxBitmapSide);
    const int64_t rows = info.Height < 0 ? -info.Height : info.Height;
    Require(rows >= 1 && rows <= kMaxBitmapSide);
    Require(info.Width * rows <= kMaxBitmapPixels);
    Require(info.Planes == 1);
    Require(KnownBitCount(info.BitCount));
    Require(info.Compression == kRgb ||
            (info.Compression == kBitFields && (info.BitCount == 16 || info.BitCount == 32)));
}

uint32_t ColourTableEntries(const InfoHeader& info) {
    if (info.BitCount > 8) return 0;  // a table of a deeper picture is only a hint: not kept
    const uint32_t full = 1u << info.BitCount;
    Require(info.ColoursUsed <= full);
    return info.ColoursUsed == 0 ? full : info.ColoursUsed;
}

}  // namespace

size_t BitmapRowBytes(int32_t width, uint16_t bitCount) {
    return static_cast<size_t>((static_cast<int64_t>(width) * bitCount + 31) / 32 * 4);
}

BitmapImage DecodeBitmapFile(std::vector<uint8_t> file) {
    const size_t size = file.size();
    Require(size >= kFileHeaderSize + 4);
    const uint8_t* bytes = file.data();
    Require(bytes[0] == 'B' && bytes[1] == 'M');
    const uint32_t pixelOffset = LoadU32(bytes + 10);

    const uint32_t infoSize = LoadU32(bytes + kFileHeaderSize);
    Require(KnownInfoHeaderSize(infoSize) && kFileHeaderSize + infoSize <= size);
    const InfoHeader info = LoadInfoHeader(bytes + kFileHeaderSize);
    CheckGeometry(info);

    // Masks follow a plain info header; the later headers hold them inside.
    const bool bitFields = info.Compression == kBitFields;
    const size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
    size_t tableAt = kFileHeaderSize + infoSize;
    if (bitFields && infoSize == kInfoHeaderSize) tableAt += kMaskBytes;
    const uint32_t entries = ColourTableEntries(info);
    const size_t tableEnd = tableAt + size_t{entries} * 4;
    Require(tableEnd <= size && tableEnd <= pixelOffset);
    if (bitFields) {
        for (uint32_t i = 0; i < 3; ++i) Require(LoadU32(bytes + masksAt + 4 * i) != 0);
    }

    BitmapImage image;
    image.Width = static_cast<int32_t>(info.Width);
    image.Height = static_cast<int32_t>(info.Height < 0 ? -info.Height : info.Height);
    image.TopDown = info.Height < 0;
    image.BitCount = info.BitCount;
    const size_t pixelBytes = BitmapRowBytes(image.Width, image.BitCount) * static_cast<size_t>(image.Height);
    Require(pixelBytes <= static_cast<size_t>(kMaxBlockContent) && pixelOffset <= size &&
            pixelBytes <= size - pixelOffset);

    // A plain 40-byte header that GDI reads no further than the masks and the table given.
    image.Info.assign(kInfoHeaderSize + (bitFields ? kMaskBytes : 0) + size_t{entries} * 4, 0);
    uint8_t* header = image.Info.data();
    StoreU32(header, kInfoHeaderSize);
    StoreU32(header + 4, static_cast<uint32_t>(image.Width));
    StoreU32(header + 8, static_cast<uint32_t>(static_cast<int32_t>(info.Height)));
    header[12] = 1;
    header[14] = static_cast<uint8_t>(image.BitCount);
    StoreU32(header + 16, info.Compression);
    StoreU32(header + 20, static_cast<uint32_t>(pixelBytes));
    StoreU32(header + 32, entries);
    uint8_t* rest = header + kInfoHeaderSize;
    if (bitFields) {
        std::memcpy(rest, bytes + masksAt, kMaskBytes);
        rest += kMaskBytes;
    }
    if (entries > 0) std::memcpy(rest, bytes + tableAt, size_t{entries} * 4);

    image.PixelOffset = pixelOffset;
    image.PixelSize = pixelBytes;
    if (image.BitCount == 32 && !bitFields) {
        for (size_t i = pixelOffset + 3; i < pixelOffset + pixelBytes; i += 4) file[i] = 0;
    }
    image.File = std::move(file);
    return image;
}
