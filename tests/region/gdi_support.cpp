#include "gdi_support.h"

#include <cstdio>

namespace regiontest {

DWORD GdiObjectCount() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return counted;
    DWORD live = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++live;
    }
    return live;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

std::vector<uint32_t> PixelsOf(HBITMAP bitmap) {
    const SIZE size = SizeOf(bitmap);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

std::vector<bool> MaskOf(HRGN region, int32_t width, int32_t height) {
    std::vector<bool> mask(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) mask[static_cast<size_t>(y) * width + x] = PtInRegion(region, x, y) != 0;
    }
    return mask;
}

std::vector<bool> MaskOf(const std::vector<krd::Rect>& outline, int32_t width, int32_t height) {
    std::vector<bool> mask(static_cast<size_t>(width) * height);
    for (const krd::Rect& r : outline) {
        for (int32_t y = r.Top; y < r.Bottom; ++y) {
            for (int32_t x = r.Left; x < r.Right; ++x) mask[static_cast<size_t>(y) * width + x] = true;
        }
    }
    return mask;
}

TempFile::TempFile(const std::string& name, const krd::Bytes& bytes) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + name;
    FILE* out = std::fopen(path_.c_str(), "wb");
    if (out) {
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
}

TempFile::~TempFile() { DeleteFileA(path_.c_str()); }

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

}  // namespace regiontest
