// The picture map of the settings form: the region-data file "Setting.KRD"
// in memory, and the mouse picture whose button regions light up.
//
// TKsvRegionFile owns its region objects; a region object owns its regions,
// its two pictures and the copy of the plain picture its image control shows;
// a region owns its region handle. The image control itself is the caller's.
//
// Errors (all std::exception, what() is the message; see region_errors.h):
//   EFOpenError "Cannot open file %s", EReadError "Stream read error"
//     (both EStreamError);
//   EZlibDataError "zlib: Compressed data is corrupted",
//   EZlibInternalError "zlib: Internal error. Code %d" (both EZlibError);
//   EInvalidGraphic "Bitmap image is not valid";
//   EOutOfResources "Out of system resources" (GDI refused a bitmap or region);
//   std::bad_alloc when zlib runs out of memory.
#pragma once

#include "region_errors.h"
#include "region_stream.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TKsvRegionData {
public:
    TKsvRegionData() = default;
    ~TKsvRegionData();
    TKsvRegionData(const TKsvRegionData&) = delete;
    TKsvRegionData& operator=(const TKsvRegionData&) = delete;

    // One region: its 24-byte record and its outline. version is the file's
    // Version, passed along and not interpreted.
    void LoadFromStream(TStream& stream, uint32_t version);

    HRGN Region = nullptr;  // owned
    uint32_t Id = 0;
    bool Highlighted = false;
    int32_t Top = 0;
    int32_t Height = 0;
    int32_t Width = 0;
    int32_t Left = 0;
    bool Reserved = false;
};

class TKsvRegionObject {
public:
    explicit TKsvRegionObject(const std::string& name = "");
    ~TKsvRegionObject();
    TKsvRegionObject(const TKsvRegionObject&) = delete;
    TKsvRegionObject& operator=(const TKsvRegionObject&) = delete;

    // One object: name and region count, the two pictures, the regions.
    void LoadFromStream(TStream& stream, uint32_t version);

    // Makes image (a STATIC control with SS_BITMAP) show this object's own
    // copy of the plain picture; a previously attached control is let go.
    // A null image detaches.
    void AttachImage(HWND image);
    // The shown copy becomes the plain picture again; every region is plain.
    void ShowPlain();
    int RegionCount() const;
    // The region at a zero-based index; null outside 0 .. RegionCount() - 1.
    TKsvRegionData* RegionAt(int index) const;
    // The last region with that id, or null.
    TKsvRegionData* FindRegion(uint32_t id) const;
    // Copies the region's pixels (its outline within its rectangle) from the
    // highlighted picture into the shown copy and repaints unless NoRepaint.
    // Does nothing for a lit or null region, or before an image is attached.
    void Highlight(TKsvRegionData* region);
    void HighlightRegion(uint32_t id);

    // The bitmap the image control shows (owned here), null before AttachImage.
    HBITMAP DisplayPicture() const { return display_; }

    std::string Name;
    HWND Image = nullptr;  // not owned
    HBITMAP PlainPicture = nullptr;  // owned
    HBITMAP HighlightPicture = nullptr;  // owned
    bool NoRepaint = false;
    std::vector<std::unique_ptr<TKsvRegionData>> Regions;

private:
    void HideDisplay();
    void ReleaseImage();

    HBITMAP display_ = nullptr;
};

class TKsvRegionFile {
public:
    // Stores the path; the file is not touched. TimeStamp is now (local time),
    // Version 0x10000000, ObjectCount 0.
    explicit TKsvRegionFile(const std::string& fileName);
    TKsvRegionFile(const TKsvRegionFile&) = delete;
    TKsvRegionFile& operator=(const TKsvRegionFile&) = delete;

    // Reads FileName (opened as a TZStream). Objects read completely before a
    // failure stay; the failure is raised.
    void LoadFromFile();
    // The same from any stream.
    void LoadFromStream(TStream& stream);
    // Appends the object unless one of the same name (any letter case) is
    // there already; then the object is freed and the result is false.
    bool AddObject(std::unique_ptr<TKsvRegionObject> object);
    // The first object of that name, compared case-insensitively, or null.
    TKsvRegionObject* FindObject(const std::string& name) const;

    // In file order; the names are the objects' own Name.
    std::vector<std::unique_ptr<TKsvRegionObject>> Objects;
    std::string FileName;
    std::string Name;
    double TimeStamp;
    uint32_t Version;
    int32_t ObjectCount;
};

// A new region-data file object's Version.
constexpr uint32_t kRegionFileVersion = 0x10000000;
