#include "region_data.h"

#include "region_layout.h"

#include <cstring>
#include <utility>

namespace {

// The current local date and time as days since 30 December 1899.
double LocalNowAsDays() {
    constexpr double kTicksPerDay = 864000000000.0;  // FILETIME ticks of 100 ns
    constexpr double kDaysFrom1601To1899 = 109205.0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME ticks;
    SystemTimeToFileTime(&now, &ticks);
    const uint64_t count = uint64_t{ticks.dwHighDateTime} << 32 | ticks.dwLowDateTime;
    return static_cast<double>(count) / kTicksPerDay - kDaysFrom1601To1899;
}

HBITMAP CreatePicture(const BitmapImage& image) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(image.Info.data()),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        throw EOutOfResources();
    }
    std::memcpy(bits, image.Pixels(), image.PixelSize);
    return bitmap;
}

template <typename Handle>
void ReplaceHandle(Handle& slot, Handle object) {
    if (slot) DeleteObject(slot);
    slot = object;
}

SIZE PictureSize(HBITMAP picture) {
    BITMAP info{};
    GetObject(picture, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// A memory device context with one bitmap selected into it for its lifetime.
class Canvas {
public:
    explicit Canvas(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_) old_ = SelectObject(dc_, bitmap);
    }
    ~Canvas() {
        if (old_) SelectObject(dc_, old_);
        if (dc_) DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    bool Ready() const { return dc_ && old_; }
    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

void CopyPicture(HBITMAP from, HBITMAP to, SIZE size) {
    Canvas source(from);
    Canvas target(to);
    if (source.Ready() && target.Ready()) BitBlt(target.Dc(), 0, 0, size.cx, size.cy, source.Dc(), 0, 0, SRCCOPY);
}

bool SameSize(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

// A bitmap in the screen's own format: the picture control paints it as it is,
// without taking a copy of its own.
HBITMAP CreateScreenBitmap(SIZE size) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    if (!bitmap) throw EOutOfResources();
    return bitmap;
}

HBITMAP ShownBitmap(HWND image) {
    return reinterpret_cast<HBITMAP>(SendMessageA(image, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

HBITMAP ShowBitmap(HWND image, HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(
        SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

bool SameName(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

TKsvRegionData::~TKsvRegionData() {
    if (Region) DeleteObject(Region);
}

void TKsvRegionData::LoadFromStream(TStream& stream, uint32_t /*version*/) {
    const RegionRecord record = ReadRegionRecord(stream);
    Id = record.Id;
    Left = record.Left;
    Top = record.Top;
    Width = record.Width;
    Height = record.Height;
    // The outline has been checked: ExtCreateRegion reads only inside it.
    HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(record.Outline.size()),
                                  reinterpret_cast<const RGNDATA*>(record.Outline.data()));
    if (!region) throw EOutOfResources();
    ReplaceHandle(Region, region);
}

TKsvRegionObject::TKsvRegionObject(const std::string& name) : Name(name) {}

TKsvRegionObject::~TKsvRegionObject() {
    ReleaseImage();
    for (HBITMAP bitmap : {display_, PlainPicture, HighlightPicture}) {
        if (bitmap) DeleteObject(bitmap);
    }
}

void TKsvRegionObject::LoadFromStream(TStream& stream, uint32_t version) {
    const RegionObjectHeader header = ReadObjectHeader(stream);
    Name = header.Name;
    ReplaceHandle(PlainPicture, CreatePicture(ReadPicture(stream)));
    ReplaceHandle(HighlightPicture, CreatePicture(ReadPicture(stream)));
    for (int32_t i = 0; i < header.RegionCount; ++i) {
        auto region = std::make_unique<TKsvRegionData>();
        region->LoadFromStream(stream, version);
        Regions.push_back(std::move(region));
    }
}

// Takes the shown copy away from the attached control (when it still shows
// it), so that the control never paints a bitmap this object deletes.
void TKsvRegionObject::HideDisplay() {
    if (Image && display_ && IsWindow(Image) && ShownBitmap(Image) == display_) ShowBitmap(Image, nullptr);
}

void TKsvRegionObject::ReleaseImage() {
    HideDisplay();
    Image = nullptr;
}

void TKsvRegionObject::AttachImage(HWND image) {
    if (image != Image) ReleaseImage();
    Image = image;
    ShowPlain();
}

void TKsvRegionObject::ShowPlain() {
    for (auto& region : Regions) region->Highlighted = false;
    if (!Image) return;
    if (!PlainPicture) {
        HideDisplay();
        return;
    }
    const SIZE size = PictureSize(PlainPicture);
    if (display_ && SameSize(PictureSize(display_), size)) {
        CopyPicture(PlainPicture, display_, size);
        if (ShownBitmap(Image) == display_) {
            InvalidateRect(Image, nullptr, FALSE);
        } else {
            ShowBitmap(Image, display_);
        }
        return;
    }
    HBITMAP fresh = CreateScreenBitmap(size);
    CopyPicture(PlainPicture, fresh, size);
    HideDisplay();
    ShowBitmap(Image, fresh);
    ReplaceHandle(display_, fresh);
}

int TKsvRegionObject::RegionCount() const { return static_cast<int>(Regions.size()); }

TKsvRegionData* TKsvRegionObject::RegionAt(int index) const {
    if (index < 0 || index >= RegionCount()) return nullptr;
    return Regions[static_cast<size_t>(index)].get();
}

TKsvRegionData* TKsvRegionObject::FindRegion(uint32_t id) const {
    TKsvRegionData* found = nullptr;
    for (const auto& region : Regions) {
        if (region->Id == id) found = region.get();
    }
    return found;
}

void TKsvRegionObject::Highlight(TKsvRegionData* region) {
    if (!region || region->Highlighted || !Image || !display_ || !HighlightPicture || !region->Region) return;
    {
        Canvas source(HighlightPicture);
        Canvas target(display_);
        if (!source.Ready() || !target.Ready()) return;
        SelectClipRgn(target.Dc(), region->Region);
        BitBlt(target.Dc(), region->Left, region->Top, region->Width, region->Height, source.Dc(), region->Left,
               region->Top, SRCCOPY);
        SelectClipRgn(target.Dc(), nullptr);
    }
    if (!NoRepaint) InvalidateRect(Image, nullptr, FALSE);
    region->Highlighted = true;
}

void TKsvRegionObject::HighlightRegion(uint32_t id) {
    if (TKsvRegionData* region = FindRegion(id)) Highlight(region);
}

TKsvRegionFile::TKsvRegionFile(const std::string& fileName)
    : FileName(fileName), TimeStamp(LocalNowAsDays()), Version(kRegionFileVersion), ObjectCount(0) {}

void TKsvRegionFile::LoadFromFile() {
    TZStream stream(FileName);
    LoadFromStream(stream);
}

void TKsvRegionFile::LoadFromStream(TStream& stream) {
    const RegionFileHeader header = ReadFileHeader(stream);
    TimeStamp = header.TimeStamp;
    Version = header.Version;
    ObjectCount = header.ObjectCount;
    const std::string name = ReadFileName(stream);
    for (int32_t i = 0; i < ObjectCount; ++i) {
        auto object = std::make_unique<TKsvRegionObject>();
        object->LoadFromStream(stream, Version);
        AddObject(std::move(object));
    }
    Name = name;
}

bool TKsvRegionFile::AddObject(std::unique_ptr<TKsvRegionObject> object) {
    if (!object || FindObject(object->Name)) return false;
    Objects.push_back(std::move(object));
    return true;
}

TKsvRegionObject* TKsvRegionFile::FindObject(const std::string& name) const {
    for (const auto& object : Objects) {
        if (SameName(object->Name, name)) return object.get();
    }
    return nullptr;
}
