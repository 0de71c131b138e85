// Highlighting on real bitmaps shown by a real picture control, under Wine:
// the pixels of the shown copy are compared with the plain and lit pictures.
#include "gdi_support.h"
#include "region_data.h"
#include "region_test_files.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using krd::Packing;
using namespace regiontest;

constexpr int32_t kWidth = 12;
constexpr int32_t kHeight = 10;

// A picture control, as the settings form's mouse image, in a popup window
// that all tests share (Wine takes a while to take a top-level window off the display).
class ImageWindow {
public:
    ImageWindow() {
        image_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 10, 10, 130, 228, Frame(),
                                 nullptr, nullptr, nullptr);
    }
    ~ImageWindow() { DestroyWindow(image_); }
    ImageWindow(const ImageWindow&) = delete;
    ImageWindow& operator=(const ImageWindow&) = delete;

    HWND Image() const { return image_; }
    HBITMAP Shown() const { return reinterpret_cast<HBITMAP>(SendMessageA(image_, STM_GETIMAGE, IMAGE_BITMAP, 0)); }
    // Paints what is pending, so that a later invalidation shows.
    void Repaint() const { UpdateWindow(image_); }
    bool RepaintPending() const {
        RECT area;
        return GetUpdateRect(image_, &area, FALSE) != 0;
    }
    // The pixel the control shows on the screen.
    uint32_t ScreenPixel(int x, int y) const {
        HDC dc = GetDC(image_);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(image_, dc);
        return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    }

private:
    static HWND Frame() {
        static HWND frame = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 200, 260,
                                            nullptr, nullptr, nullptr, nullptr);
        return frame;
    }

    HWND image_;
};

// The plain picture, the lit one, and the regions of the tests below.
const krd::Raster kPlain = Pattern(kWidth, kHeight, 11);
const krd::Raster kLit = Pattern(kWidth, kHeight, 77);

std::unique_ptr<TKsvRegionFile> LoadOne(std::vector<krd::RegionSpec> regions) {
    const krd::Bytes bytes = krd::EncodeRegionFile(OneObject("M5", kPlain, kLit, std::move(regions)), Packing::Stored);
    auto file = std::make_unique<TKsvRegionFile>("");
    TMemoryStream stream(bytes);
    file->LoadFromStream(stream);
    return file;
}

// The shown picture must be plain outside the masks and lit inside them.
void ExpectLitExactly(const TKsvRegionObject& object, const std::vector<std::vector<krd::Rect>>& lit) {
    std::vector<bool> inside(kPlain.Pixels.size());
    for (const auto& outline : lit) {
        const std::vector<bool> mask = MaskOf(outline, kWidth, kHeight);
        for (size_t i = 0; i < mask.size(); ++i) inside[i] = inside[i] || mask[i];
    }
    const std::vector<uint32_t> shown = PixelsOf(object.DisplayPicture());
    ASSERT_EQ(shown.size(), inside.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        ASSERT_EQ(shown[i], inside[i] ? kLit.Pixels[i] : kPlain.Pixels[i])
            << "pixel " << i % kWidth << "," << i / kWidth << (inside[i] ? " should be lit" : " should be plain");
    }
}

const std::vector<krd::Rect> kCorner = {{0, 5, 2, 8}, {0, 8, 5, 10}};  // an L inside 0,5 - 5,10

std::vector<krd::RegionSpec> ThreeRegions() {
    return {Region(1, {4, 1, 8, 4}), Region(2, {0, 5, 5, 10}, kCorner), Region(3, {9, 5, 12, 9})};
}

TEST(RegionHighlight, ARectangleLargerThanItsOutlineChangesOnlyTheOutline) {
    auto file = LoadOne(ThreeRegions());
    TKsvRegionObject& object = *file->Objects[0];
    ImageWindow window;
    object.AttachImage(window.Image());
    window.Repaint();
    EXPECT_EQ(window.ScreenPixel(0, 9), kPlain.At(0, 9));
    object.HighlightRegion(2);
    EXPECT_TRUE(object.RegionAt(1)->Highlighted);
    EXPECT_TRUE(window.RepaintPending());
    ExpectLitExactly(object, {kCorner});
    // The pictures themselves are never drawn on.
    EXPECT_EQ(PixelsOf(object.PlainPicture), kPlain.Pixels);
    EXPECT_EQ(PixelsOf(object.HighlightPicture), kLit.Pixels);
    window.Repaint();
    EXPECT_EQ(window.ScreenPixel(0, 9), kLit.At(0, 9));
    EXPECT_EQ(window.ScreenPixel(3, 6), kPlain.At(3, 6));
}

TEST(RegionHighlight, LitRegionsAccumulateAndShowPlainRestoresEveryPixel) {
    auto file = LoadOne(ThreeRegions());
    TKsvRegionObject& object = *file->Objects[0];
    ImageWindow window;
    object.AttachImage(window.Image());
    object.HighlightRegion(1);
    object.HighlightRegion(3);
    ExpectLitExactly(object, {{{4, 1, 8, 4}}, {{9, 5, 12, 9}}});
    window.Repaint();
    object.ShowPlain();
    EXPECT_TRUE(window.RepaintPending());
    ExpectLitExactly(object, {});
    EXPECT_EQ(window.Shown(), object.DisplayPicture());
    for (int i = 0; i < object.RegionCount(); ++i) {
        EXPECT_FALSE(object.RegionAt(i)->Highlighted);
    }
}

TEST(RegionHighlight, LightingTwiceDrawsOnceAndAfterShowPlainAgain) {
    auto file = LoadOne(ThreeRegions());
    TKsvRegionObject& object = *file->Objects[0];
    ImageWindow window;
    object.AttachImage(window.Image());
    object.HighlightRegion(1);
    window.Repaint();
    // Mark one pixel of the lit region: a second drawing would cover it.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, object.DisplayPicture());
    SetPixel(dc, 5, 2, RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    object.HighlightRegion(1);
    EXPECT_EQ(PixelsOf(object.DisplayPicture())[2 * kWidth + 5], 0u);
    EXPECT_FALSE(window.RepaintPending());
    object.ShowPlain();
    object.HighlightRegion(1);
    ExpectLitExactly(object, {{{4, 1, 8, 4}}});
}

TEST(RegionHighlight, TheLaterOfTwoRegionsWithOneIdLightsAndAnUnknownIdNone) {
    auto file = LoadOne({Region(7, {0, 0, 3, 3}), Region(7, {6, 6, 9, 9}), Region(8, {0, 6, 2, 8})});
    TKsvRegionObject& object = *file->Objects[0];
    EXPECT_EQ(object.FindRegion(7), object.RegionAt(1));
    EXPECT_EQ(object.FindRegion(8), object.RegionAt(2));
    EXPECT_EQ(object.FindRegion(9), nullptr);
    ImageWindow window;
    object.AttachImage(window.Image());
    window.Repaint();
    object.HighlightRegion(9);
    EXPECT_FALSE(window.RepaintPending());
    ExpectLitExactly(object, {});
    object.HighlightRegion(7);
    ExpectLitExactly(object, {{{6, 6, 9, 9}}});
    EXPECT_FALSE(object.RegionAt(0)->Highlighted);
}

TEST(RegionHighlight, AnEmptyOutlineChangesNoPixel) {
    krd::RegionSpec empty = Region(1, {0, 0, kWidth, kHeight});
    empty.Outline.clear();
    auto file = LoadOne({empty});
    TKsvRegionObject& object = *file->Objects[0];
    ImageWindow window;
    object.AttachImage(window.Image());
    object.HighlightRegion(1);
    ExpectLitExactly(object, {});
}

TEST(RegionHighlight, NoRepaintDrawsWithoutInvalidatingTheControl) {
    auto file = LoadOne(ThreeRegions());
    TKsvRegionObject& object = *file->Objects[0];
    ImageWindow window;
    object.AttachImage(window.Image());
    window.Repaint();
    object.NoRepaint = true;
    object.HighlightRegion(3);
    EXPECT_FALSE(window.RepaintPending());
    ExpectLitExactly(object, {{{9, 5, 12, 9}}});
}

TEST(RegionHighlight, BeforeAnImageIsAttachedHighlightingDoesNothing) {
    auto file = LoadOne(ThreeRegions());
    TKsvRegionObject& object = *file->Objects[0];
    object.Highlight(object.RegionAt(0));
    object.HighlightRegion(3);
    object.ShowPlain();
    EXPECT_EQ(object.DisplayPicture(), nullptr);
    for (int i = 0; i < object.RegionCount(); ++i) {
        EXPECT_FALSE(object.RegionAt(i)->Highlighted);
    }
    ImageWindow window;
    object.AttachImage(window.Image());
    object.Highlight(nullptr);
    ExpectLitExactly(object, {});
}

TEST(RegionHighlight, TheControlNeverShowsABitmapThatIsGone) {
    ImageWindow first;
    ImageWindow second;
    HBITMAP callers = CreateBitmap(4, 4, 1, 32, nullptr);
    SendMessageA(second.Image(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(callers));
    {
        auto warmUp = LoadOne(ThreeRegions());
        warmUp->Objects[0]->AttachImage(first.Image());
    }
    const DWORD baseline = GdiObjectCount();
    {
        auto file = LoadOne(ThreeRegions());
        TKsvRegionObject& object = *file->Objects[0];
        object.AttachImage(first.Image());
        object.HighlightRegion(1);
        object.AttachImage(second.Image());
        EXPECT_EQ(first.Shown(), nullptr);
        EXPECT_EQ(second.Shown(), object.DisplayPicture());
        EXPECT_NE(object.DisplayPicture(), object.PlainPicture);
        ExpectLitExactly(object, {});
        // The picture the caller gave the control is the caller's.
        EXPECT_EQ(GetObjectType(callers), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(second.Shown(), nullptr);
    EXPECT_EQ(GdiObjectCount(), baseline);
    DeleteObject(callers);
}

}  // namespace
