#include "side_picture.h"

#include <cstring>

namespace uninst {

namespace {

// The sixteen colours of the standard palette, in their usual order.
constexpr RGBQUAD kPalette[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};
constexpr unsigned char kNavy = 4;   // RGBQUAD is blue, green, red: index 4 is dark blue
constexpr unsigned char kBlue = 12;  // bright blue

// Dark blue at the top fading to bright blue at the bottom, with an ordered
// 4 x 4 dither between the two.
void FillBackground(unsigned char* bits, int stride) {
    static const int kThreshold[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int row = 0; row < kSidePictureHeight; ++row) {
        // DIB rows run bottom-up; y counts from the top.
        const int y = kSidePictureHeight - 1 - row;
        const int level = y * 16 / kSidePictureHeight;
        unsigned char* line = bits + row * stride;
        for (int x = 0; x < kSidePictureWidth; ++x) {
            const unsigned char index = level > kThreshold[y & 3][x & 3] ? kBlue : kNavy;
            unsigned char& pair = line[x / 2];
            pair = (x & 1) ? static_cast<unsigned char>((pair & 0xF0) | index)
                           : static_cast<unsigned char>((pair & 0x0F) | (index << 4));
        }
    }
}

// A two-button wheel mouse above an arrow pointing out of the picture.
void DrawMouse(HDC dc) {
    HPEN outline = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    HBRUSH body = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH wheel = CreateSolidBrush(RGB(128, 128, 128));
    HBRUSH arrow = CreateSolidBrush(RGB(255, 255, 0));
    HGDIOBJ oldPen = SelectObject(dc, outline);
    HGDIOBJ oldBrush = SelectObject(dc, body);

    RoundRect(dc, 31, 40, 91, 140, 50, 60);
    MoveToEx(dc, 31, 80, nullptr);
    LineTo(dc, 91, 80);
    MoveToEx(dc, 61, 41, nullptr);
    LineTo(dc, 61, 80);
    SelectObject(dc, wheel);
    RoundRect(dc, 56, 52, 67, 72, 6, 6);
    MoveToEx(dc, 61, 40, nullptr);
    LineTo(dc, 61, 24);

    SelectObject(dc, arrow);
    const POINT shape[] = {{41, 170}, {81, 170}, {81, 195}, {96, 195}, {61, 230}, {26, 195}, {41, 195}};
    Polygon(dc, shape, sizeof shape / sizeof shape[0]);

    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(arrow);
    DeleteObject(wheel);
    DeleteObject(body);
    DeleteObject(outline);
}

}  // namespace

HBITMAP CreateSidePicture() {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[16];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = kSidePictureWidth;
    info.header.biHeight = kSidePictureHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = 4;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 16;
    std::memcpy(info.colors, kPalette, sizeof kPalette);

    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const int stride = ((kSidePictureWidth * 4 + 31) / 32) * 4;
    FillBackground(static_cast<unsigned char*>(bits), stride);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawMouse(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace uninst
