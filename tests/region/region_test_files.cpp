#include "region_test_files.h"

#include <utility>

namespace regiontest {

krd::Raster Pattern(int32_t width, int32_t height, uint32_t seed) {
    krd::Raster raster(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            raster.At(x, y) = (seed * 0x010101u + static_cast<uint32_t>(y * 0x1F00 + x * 0x25 + 0x400000)) & 0xFFFFFF;
        }
    }
    return raster;
}

krd::Raster Solid(int32_t width, int32_t height, uint32_t colour) { return krd::Raster(width, height, colour); }

krd::RegionSpec Region(uint32_t id, krd::Rect box, std::vector<krd::Rect> outline) {
    krd::RegionSpec region;
    region.Id = id;
    region.Left = box.Left;
    region.Top = box.Top;
    region.Width = box.Right - box.Left;
    region.Height = box.Bottom - box.Top;
    region.Outline = outline.empty() ? std::vector<krd::Rect>{box} : std::move(outline);
    return region;
}

krd::FileSpec OneObject(const std::string& name, const krd::Raster& plain, const krd::Raster& lit,
                        std::vector<krd::RegionSpec> regions) {
    krd::FileSpec file;
    file.TimeStamp = 45292.5;
    file.Name = "test pictures";
    file.Objects.push_back({name, plain, lit, std::move(regions)});
    return file;
}

krd::FileSpec SmallFile() {
    krd::FileSpec file = OneObject("M3", Pattern(12, 10, 1), Pattern(12, 10, 2), {Region(1, {4, 1, 8, 4})});
    file.Objects.push_back({"M5",
                            Pattern(12, 10, 3),
                            Pattern(12, 10, 4),
                            {Region(1, {4, 1, 8, 4}),
                             Region(2, {0, 5, 5, 10}, {{0, 5, 2, 8}, {0, 8, 5, 10}}),
                             Region(3, {9, 5, 12, 9})}});
    return file;
}

std::string KnownLoadError(const std::string& message) {
    static const char* const kStated[] = {
        "Stream read error",
        "zlib: Compressed data is corrupted",
        "Bitmap image is not valid",
    };
    for (const char* stated : kStated) {
        if (message == stated) return message;
    }
    const std::string internal = "zlib: Internal error. Code ";
    if (message.compare(0, internal.size(), internal) == 0) return internal;
    return "";
}

}  // namespace regiontest
