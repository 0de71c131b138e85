// Small region-data files for the tests of the picture map, made with the
// authoring tool's writer, and the checks every load outcome must pass.
#pragma once

#include "krd_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace regiontest {

using krd::Bytes;

// Every pixel a different colour, so that a pixel taken from the wrong place shows.
krd::Raster Pattern(int32_t width, int32_t height, uint32_t seed);
krd::Raster Solid(int32_t width, int32_t height, uint32_t colour);

// A region whose rectangle is box and whose outline is the given rectangles
// (box itself when none are given).
krd::RegionSpec Region(uint32_t id, krd::Rect box, std::vector<krd::Rect> outline = {});

// Two objects on 12 x 10 pictures: "M3" with region 1, "M5" with regions 1, 2, 3;
// M5's region 2 has a rectangle larger than its L-shaped outline.
krd::FileSpec SmallFile();

// A file of one object of the given pictures and regions.
krd::FileSpec OneObject(const std::string& name, const krd::Raster& plain, const krd::Raster& lit,
                        std::vector<krd::RegionSpec> regions);

// The error a load may end with: one of those stated for the file, by what().
// Empty when the message is none of them.
std::string KnownLoadError(const std::string& message);

}  // namespace regiontest
