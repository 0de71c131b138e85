// The records of the region-data file, read from a stream. All integers are
// little-endian and packed.
//
//   header     16 raw bytes: TimeStamp (double), Version (u32), ObjectCount (i32)
//   name       block of 256: a short string
//   per object block of 260: short string name, i32 region count
//              plain picture: raw i32 N, block of N (a bitmap file image)
//              highlighted picture: the same
//              per region: block of 24 (Id, Left, Top, Width, Height, outline
//              size S), block of S (RGNDATA: 32-byte header and rectangles)
#pragma once

#include "bitmap_image.h"
#include "region_stream.h"
#include "short_string.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kShortStringSize = static_cast<int32_t>(ptr::kShortStringSize);
constexpr int32_t kObjectHeaderSize = 260;
constexpr int32_t kRegionRecordSize = 24;
constexpr uint32_t kOutlineHeaderSize = 32;  // sizeof(RGNDATAHEADER)
constexpr uint32_t kOutlineRectangles = 1;   // RDH_RECTANGLES
constexpr uint32_t kOutlineRectSize = 16;    // sizeof(RECT)

struct RegionFileHeader {
    double TimeStamp = 0;
    uint32_t Version = 0;
    int32_t ObjectCount = 0;
};

struct RegionObjectHeader {
    std::string Name;
    int32_t RegionCount = 0;
};

struct RegionRecord {
    uint32_t Id = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Outline;  // a checked RGNDATA
};

RegionFileHeader ReadFileHeader(TStream& stream);
std::string ReadFileName(TStream& stream);
RegionObjectHeader ReadObjectHeader(TStream& stream);
// A raw byte count and its block, checked as a bitmap file image.
BitmapImage ReadPicture(TStream& stream);
RegionRecord ReadRegionRecord(TStream& stream);

// Fails with EZlibDataError unless the bytes are an RGNDATA with a 32-byte
// rectangle header whose rectangles all lie inside them.
void CheckOutline(const std::vector<uint8_t>& outline);

// The whole file in memory, as far as it could be read: the native parser's
// view, used by its tests and the fuzzer. The GDI classes read the same records.
struct ParsedRegionObject {
    RegionObjectHeader Header;
    BitmapImage Plain;
    BitmapImage Highlight;
    std::vector<RegionRecord> Regions;
};

struct ParsedRegionFile {
    RegionFileHeader Header;
    std::string Name;
    std::vector<ParsedRegionObject> Objects;  // those read completely
};

// Reads a whole file into result; on failure the objects read before it stay
// in result and the error is raised.
void ParseRegionFile(TStream& stream, ParsedRegionFile& result);
