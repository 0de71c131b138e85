// Writing region-data files: the suite's own authoring side of the format the
// settings program reads (see setting/region/region_layout.h for the layout).
// Portable C++ with zlib; built for the build machine to make Setting.KRD,
// and into the tests to make their files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace krd {

// A picture in 0xRRGGBB pixels, the top row first.
struct Raster {
    Raster() = default;
    Raster(int32_t width, int32_t height, uint32_t colour = 0)
        : Width(width), Height(height), Pixels(static_cast<size_t>(width) * static_cast<size_t>(height), colour) {}
    uint32_t& At(int32_t x, int32_t y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
    uint32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }

    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
};

// Right and bottom are exclusive, as in a Win32 RECT.
struct Rect {
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
};

struct RegionSpec {
    uint32_t Id = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<Rect> Outline;
};

struct ObjectSpec {
    std::string Name;
    Raster Plain;
    Raster Highlight;
    std::vector<RegionSpec> Regions;
};

struct FileSpec {
    double TimeStamp = 0;
    uint32_t Version = 0x10000000;
    std::string Name;
    std::vector<ObjectSpec> Objects;
};

enum class Packing { Compressed, Stored };

using Bytes = std::vector<uint8_t>;

// A 24-bit bottom-up Windows bitmap file image.
Bytes EncodeBitmapFile(const Raster& raster);
// A short string field: length byte, characters, zeros up to fieldSize.
Bytes EncodeShortString(const std::string& text, size_t fieldSize = 256);
// An RGNDATA: the 32-byte rectangle header (bounds of all rectangles) and the rectangles.
Bytes EncodeOutline(const std::vector<Rect>& rectangles);
// One block: 16-byte header and the payload, compressed or stored.
Bytes EncodeBlock(const Bytes& content, Packing packing);

void AppendI32(Bytes& out, int32_t value);
void AppendU32(Bytes& out, uint32_t value);
void Append(Bytes& out, const Bytes& more);

// The pieces of a file in order, for tests that need to change one of them.
Bytes EncodeFileHeader(double timeStamp, uint32_t version, int32_t objectCount);
Bytes EncodeObject(const ObjectSpec& object, Packing packing);
Bytes EncodeRegion(const RegionSpec& region, Packing packing);
Bytes EncodePicture(const Raster& raster, Packing packing);

Bytes EncodeRegionFile(const FileSpec& file, Packing packing);

// The rectangles of a mask (width * height flags, top row first): one band
// per run of rows with the same spans, as Windows keeps a region.
std::vector<Rect> OutlineOfMask(int32_t width, int32_t height, const std::vector<bool>& mask);

}  // namespace krd
