#include "region_layout.h"

#include <cstring>

namespace {

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }

double LoadDouble(const uint8_t* p) {
    const uint64_t bits = uint64_t{LoadU32(p)} | uint64_t{LoadU32(p + 4)} << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

RegionFileHeader ReadFileHeader(TStream& stream) {
    uint8_t bytes[16];
    stream.ReadBuffer(bytes, sizeof bytes);
    return {LoadDouble(bytes), LoadU32(bytes + 8), LoadI32(bytes + 12)};
}

std::string ReadFileName(TStream& stream) {
    uint8_t field[kShortStringSize];
    stream.ReadBlock(field, kShortStringSize);
    return ptr::ReadShortString(field);
}

RegionObjectHeader ReadObjectHeader(TStream& stream) {
    uint8_t bytes[kObjectHeaderSize];
    stream.ReadBlock(bytes, kObjectHeaderSize);
    return {ptr::ReadShortString(bytes), LoadI32(bytes + kShortStringSize)};
}

BitmapImage ReadPicture(TStream& stream) {
    uint8_t count[4];
    stream.ReadBuffer(count, sizeof count);
    return DecodeBitmapFile(stream.ReadBlockBytes(LoadI32(count)));
}

void CheckOutline(const std::vector<uint8_t>& outline) {
    const size_t size = outline.size();
    if (size < kOutlineHeaderSize) throw EZlibDataError();
    const uint8_t* header = outline.data();
    const uint32_t headerSize = LoadU32(header);
    const uint32_t type = LoadU32(header + 4);
    const uint64_t rectangles = LoadU32(header + 8);
    if (headerSize != kOutlineHeaderSize || type != kOutlineRectangles) throw EZlibDataError();
    if (rectangles * kOutlineRectSize > size - kOutlineHeaderSize) throw EZlibDataError();
}

RegionRecord ReadRegionRecord(TStream& stream) {
    uint8_t bytes[kRegionRecordSize];
    stream.ReadBlock(bytes, kRegionRecordSize);
    RegionRecord record;
    record.Id = LoadU32(bytes);
    record.Left = LoadI32(bytes + 4);
    record.Top = LoadI32(bytes + 8);
    record.Width = LoadI32(bytes + 12);
    record.Height = LoadI32(bytes + 16);
    record.Outline = stream.ReadBlockBytes(LoadI32(bytes + 20));
    CheckOutline(record.Outline);
    return record;
}

void ParseRegionFile(TStream& stream, ParsedRegionFile& result) {
    result.Header = ReadFileHeader(stream);
    const std::string name = ReadFileName(stream);
    for (int32_t i = 0; i < result.Header.ObjectCount; ++i) {
        ParsedRegionObject object;
        object.Header = ReadObjectHeader(stream);
        object.Plain = ReadPicture(stream);
        object.Highlight = ReadPicture(stream);
        for (int32_t r = 0; r < object.Header.RegionCount; ++r) object.Regions.push_back(ReadRegionRecord(stream));
        result.Objects.push_back(std::move(object));
    }
    result.Name = name;
}
