#include "krd_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace krd {

namespace {

uint32_t Adler32Of(const uint8_t* data, size_t count) {
    return static_cast<uint32_t>(adler32(1, data, static_cast<uInt>(count)));
}

void AppendU16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendRect(Bytes& out, const Rect& r) {
    AppendI32(out, r.Left);
    AppendI32(out, r.Top);
    AppendI32(out, r.Right);
    AppendI32(out, r.Bottom);
}

Bytes Compress(const Bytes& content) {
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    Bytes packed(size);
    if (compress2(packed.data(), &size, content.data(), static_cast<uLong>(content.size()), Z_BEST_COMPRESSION) !=
        Z_OK) {
        throw std::runtime_error("zlib could not compress a block");
    }
    packed.resize(size);
    return packed;
}

using Spans = std::vector<std::pair<int32_t, int32_t>>;

Spans SpansOfRow(int32_t width, int32_t y, const std::vector<bool>& mask) {
    Spans spans;
    for (int32_t x = 0; x < width;) {
        if (!mask[static_cast<size_t>(y) * width + x]) {
            ++x;
            continue;
        }
        const int32_t start = x;
        while (x < width && mask[static_cast<size_t>(y) * width + x]) ++x;
        spans.emplace_back(start, x);
    }
    return spans;
}

}  // namespace

void AppendU32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendI32(Bytes& out, int32_t value) { AppendU32(out, static_cast<uint32_t>(value)); }

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes EncodeBitmapFile(const Raster& raster) {
    const uint32_t rowBytes = (static_cast<uint32_t>(raster.Width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(raster.Height);
    const uint32_t headers = 14 + 40;
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    AppendU32(out, headers + pixelBytes);
    AppendU32(out, 0);
    AppendU32(out, headers);
    AppendU32(out, 40);
    AppendI32(out, raster.Width);
    AppendI32(out, raster.Height);
    AppendU16(out, 1);
    AppendU16(out, 24);
    AppendU32(out, 0);  // BI_RGB
    AppendU32(out, pixelBytes);
    AppendI32(out, 2835);  // 72 dots per inch
    AppendI32(out, 2835);
    AppendU32(out, 0);
    AppendU32(out, 0);
    for (int32_t y = raster.Height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < raster.Width; ++x) {
            const uint32_t colour = raster.At(x, y);
            out.push_back(static_cast<uint8_t>(colour));
            out.push_back(static_cast<uint8_t>(colour >> 8));
            out.push_back(static_cast<uint8_t>(colour >> 16));
        }
        out.resize(out.size() + (rowBytes - static_cast<uint32_t>(raster.Width) * 3), 0);
    }
    return out;
}

Bytes EncodeShortString(const std::string& text, size_t fieldSize) {
    const size_t length = std::min<size_t>(text.size(), 255);
    Bytes field(fieldSize, 0);
    field[0] = static_cast<uint8_t>(length);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), field.begin() + 1);
    return field;
}

Bytes EncodeOutline(const std::vector<Rect>& rectangles) {
    Rect bounds{0, 0, 0, 0};
    if (!rectangles.empty()) {
        bounds = rectangles.front();
        for (const Rect& r : rectangles) {
            bounds = {std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top), std::max(bounds.Right, r.Right),
                      std::max(bounds.Bottom, r.Bottom)};
        }
    }
    Bytes out;
    AppendU32(out, 32);  // dwSize
    AppendU32(out, 1);   // RDH_RECTANGLES
    AppendU32(out, static_cast<uint32_t>(rectangles.size()));
    AppendU32(out, static_cast<uint32_t>(rectangles.size() * 16));
    AppendRect(out, bounds);
    for (const Rect& r : rectangles) AppendRect(out, r);
    return out;
}

Bytes EncodeBlock(const Bytes& content, Packing packing) {
    const bool stored = packing == Packing::Stored;
    const Bytes payload = stored ? content : Compress(content);
    Bytes fields;
    AppendI32(fields, stored ? -1 : static_cast<int32_t>(payload.size()));
    AppendI32(fields, static_cast<int32_t>(content.size()));
    AppendU32(fields, Adler32Of(content.data(), content.size()));
    Bytes out;
    AppendU32(out, Adler32Of(fields.data(), fields.size()));
    Append(out, fields);
    Append(out, payload);
    return out;
}

Bytes EncodeFileHeader(double timeStamp, uint32_t version, int32_t objectCount) {
    Bytes out(sizeof timeStamp);
    std::copy(reinterpret_cast<const uint8_t*>(&timeStamp), reinterpret_cast<const uint8_t*>(&timeStamp) + 8,
              out.begin());
    AppendU32(out, version);
    AppendI32(out, objectCount);
    return out;
}

Bytes EncodePicture(const Raster& raster, Packing packing) {
    const Bytes image = EncodeBitmapFile(raster);
    Bytes out;
    AppendI32(out, static_cast<int32_t>(image.size()));
    Append(out, EncodeBlock(image, packing));
    return out;
}

Bytes EncodeRegion(const RegionSpec& region, Packing packing) {
    const Bytes outline = EncodeOutline(region.Outline);
    Bytes record;
    AppendU32(record, region.Id);
    AppendI32(record, region.Left);
    AppendI32(record, region.Top);
    AppendI32(record, region.Width);
    AppendI32(record, region.Height);
    AppendI32(record, static_cast<int32_t>(outline.size()));
    Bytes out = EncodeBlock(record, packing);
    Append(out, EncodeBlock(outline, packing));
    return out;
}

Bytes EncodeObject(const ObjectSpec& object, Packing packing) {
    Bytes header = EncodeShortString(object.Name);
    AppendI32(header, static_cast<int32_t>(object.Regions.size()));
    Bytes out = EncodeBlock(header, packing);
    Append(out, EncodePicture(object.Plain, packing));
    Append(out, EncodePicture(object.Highlight, packing));
    for (const RegionSpec& region : object.Regions) Append(out, EncodeRegion(region, packing));
    return out;
}

Bytes EncodeRegionFile(const FileSpec& file, Packing packing) {
    Bytes out = EncodeFileHeader(file.TimeStamp, file.Version, static_cast<int32_t>(file.Objects.size()));
    Append(out, EncodeBlock(EncodeShortString(file.Name), packing));
    for (const ObjectSpec& object : file.Objects) Append(out, EncodeObject(object, packing));
    return out;
}

std::vector<Rect> OutlineOfMask(int32_t width, int32_t height, const std::vector<bool>& mask) {
    std::vector<Rect> rectangles;
    for (int32_t y = 0; y < height;) {
        const Spans spans = SpansOfRow(width, y, mask);
        int32_t bottom = y + 1;
        while (bottom < height && SpansOfRow(width, bottom, mask) == spans) ++bottom;
        for (const auto& span : spans) rectangles.push_back({span.first, y, span.second, bottom});
        y = bottom;
    }
    return rectangles;
}

}  // namespace krd
