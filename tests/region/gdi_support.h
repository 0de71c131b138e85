// GDI helpers of the picture-map tests under Wine.
#pragma once

#include "krd_writer.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace regiontest {

// The GDI objects this process holds. GetGuiResources counts them on
// Windows; Wine's is a stub, so there the handle table is walked: a handle
// whose upper word is zero names the live entry at that index.
DWORD GdiObjectCount();

// The pixels of a bitmap as 0xRRGGBB, the top row first.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap);
SIZE SizeOf(HBITMAP bitmap);

// Whether each pixel of a width x height picture lies in the region.
std::vector<bool> MaskOf(HRGN region, int32_t width, int32_t height);
// The same for rectangles of an outline.
std::vector<bool> MaskOf(const std::vector<krd::Rect>& outline, int32_t width, int32_t height);

// A file in the temporary folder, removed when this goes.
class TempFile {
public:
    TempFile(const std::string& name, const krd::Bytes& bytes);
    ~TempFile();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The folder of the test program, ending in a backslash (the programs' bin folder).
std::string ProgramFolder();

}  // namespace regiontest
