// The region-data file classes with real files and real GDI objects, under Wine.
#include "gdi_support.h"
#include "region_data.h"
#include "region_test_files.h"

#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>

namespace {

using krd::Bytes;
using krd::Packing;
using namespace regiontest;

double LocalNowAsOleDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    double date = 0;
    SystemTimeToVariantTime(&now, &date);
    return date;
}

std::string LoadOutcome(TKsvRegionFile& file, TStream& stream) {
    try {
        file.LoadFromStream(stream);
        return "ok";
    } catch (const std::exception& error) {
        return error.what();
    }
}

TEST(RegionFile, CreationSetsItsFieldsAndLeavesTheFileAlone) {
    const double before = LocalNowAsOleDate();
    TKsvRegionFile file("Z:\\no\\such\\folder\\Setting.KRD");
    const double after = LocalNowAsOleDate();
    EXPECT_EQ(file.FileName, "Z:\\no\\such\\folder\\Setting.KRD");
    EXPECT_EQ(file.Name, "");
    EXPECT_EQ(file.Version, 0x10000000u);
    EXPECT_EQ(file.ObjectCount, 0);
    EXPECT_TRUE(file.Objects.empty());
    // SystemTimeToVariantTime keeps whole seconds only.
    EXPECT_GE(file.TimeStamp, before - 1.0 / 86400);
    EXPECT_LE(file.TimeStamp, after + 1.0 / 86400);
}

TEST(RegionFile, LoadsEveryFieldOfAFile) {
    const krd::FileSpec spec = SmallFile();
    for (Packing packing : {Packing::Compressed, Packing::Stored}) {
        SCOPED_TRACE(packing == Packing::Stored ? "stored" : "compressed");
        TempFile disk("region_valid.krd", krd::EncodeRegionFile(spec, packing));
        TKsvRegionFile file(disk.Path());
        file.LoadFromFile();
        EXPECT_EQ(file.TimeStamp, 45292.5);
        EXPECT_EQ(file.Version, 0x10000000u);
        EXPECT_EQ(file.ObjectCount, 2);
        EXPECT_EQ(file.Name, "test pictures");
        ASSERT_EQ(file.Objects.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            const TKsvRegionObject& object = *file.Objects[i];
            const krd::ObjectSpec& want = spec.Objects[i];
            EXPECT_EQ(object.Name, want.Name);
            EXPECT_EQ(object.Image, nullptr);
            EXPECT_FALSE(object.NoRepaint);
            EXPECT_EQ(PixelsOf(object.PlainPicture), want.Plain.Pixels);
            EXPECT_EQ(PixelsOf(object.HighlightPicture), want.Highlight.Pixels);
            ASSERT_EQ(object.RegionCount(), static_cast<int>(want.Regions.size()));
            for (int r = 0; r < object.RegionCount(); ++r) {
                const TKsvRegionData& region = *object.RegionAt(r);
                const krd::RegionSpec& expected = want.Regions[static_cast<size_t>(r)];
                EXPECT_EQ(region.Id, expected.Id);
                EXPECT_EQ(region.Left, expected.Left);
                EXPECT_EQ(region.Top, expected.Top);
                EXPECT_EQ(region.Width, expected.Width);
                EXPECT_EQ(region.Height, expected.Height);
                EXPECT_FALSE(region.Highlighted);
                EXPECT_FALSE(region.Reserved);
                EXPECT_EQ(MaskOf(region.Region, 12, 10), MaskOf(expected.Outline, 12, 10));
            }
            EXPECT_EQ(object.RegionAt(-1), nullptr);
            EXPECT_EQ(object.RegionAt(object.RegionCount()), nullptr);
        }
    }
}

TEST(RegionFile, AFileOfZeroObjectsOrFewerHasOnlyItsName) {
    for (int32_t count : {0, -3}) {
        Bytes bytes = krd::EncodeFileHeader(3.5, 42, count);
        krd::Append(bytes, krd::EncodeBlock(krd::EncodeShortString("nothing"), Packing::Compressed));
        TempFile disk("region_empty.krd", bytes);
        TKsvRegionFile file(disk.Path());
        file.LoadFromFile();
        EXPECT_EQ(file.TimeStamp, 3.5);
        EXPECT_EQ(file.Version, 42u);
        EXPECT_EQ(file.ObjectCount, count);
        EXPECT_EQ(file.Name, "nothing");
        EXPECT_TRUE(file.Objects.empty());
    }
}

TEST(RegionFile, AFileThatCannotBeOpenedSaysWhich) {
    const std::string missing = "C:\\no\\such\\folder\\Setting.KRD";
    TKsvRegionFile file(missing);
    try {
        file.LoadFromFile();
        FAIL() << "loaded a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_STREQ(error.what(), ("Cannot open file " + missing).c_str());
    }

    // Another program writing the file keeps the reader out; the reader keeps writers out.
    TempFile disk("region_shared.krd", krd::EncodeRegionFile(SmallFile(), Packing::Compressed));
    HANDLE writer = CreateFileA(disk.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_THROW(TZStream{disk.Path()}, EFOpenError);
    CloseHandle(writer);
    TZStream reading(disk.Path());
    writer = CreateFileA(disk.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

// Runs a scenario twice and expects the second run to leave no GDI object
// behind (the first may make objects GDI keeps for the whole process).
template <typename Scenario>
void ExpectNoGdiLeak(Scenario scenario) {
    scenario();
    const DWORD baseline = GdiObjectCount();
    scenario();
    EXPECT_EQ(GdiObjectCount(), baseline);
}

TEST(RegionFile, ObjectsReadBeforeAFailureStayAndNothingLeaks) {
    const krd::FileSpec spec = SmallFile();
    Bytes bytes = krd::EncodeRegionFile(spec, Packing::Compressed);
    bytes.resize(bytes.size() - 10);  // into the last region of M5
    TempFile disk("region_cut.krd", bytes);
    ExpectNoGdiLeak([&] {
        TKsvRegionFile file(disk.Path());
        try {
            file.LoadFromFile();
            FAIL() << "loaded a cut file";
        } catch (const EReadError& error) {
            EXPECT_STREQ(error.what(), "Stream read error");
        }
        EXPECT_EQ(file.ObjectCount, 2);
        EXPECT_EQ(file.TimeStamp, 45292.5);
        EXPECT_EQ(file.Name, "");  // the name is taken only when the whole file has been read
        ASSERT_EQ(file.Objects.size(), 1u);
        EXPECT_EQ(file.Objects[0]->Name, "M3");
        EXPECT_EQ(file.Objects[0]->RegionCount(), 1);
    });
}

TEST(RegionFile, NamesThatDifferOnlyInCaseKeepTheFirst) {
    krd::FileSpec spec = OneObject("M5", Solid(4, 4, 0x0000FF), Solid(4, 4, 0xFF0000), {Region(1, {0, 0, 2, 2})});
    spec.Objects.push_back({"m5", Solid(4, 4, 0x00FF00), Solid(4, 4, 0xFF0000), {}});
    const Bytes bytes = krd::EncodeRegionFile(spec, Packing::Compressed);
    // The object left out (with its two pictures) is freed too.
    ExpectNoGdiLeak([&] {
        TKsvRegionFile file("");
        TMemoryStream stream(bytes);
        file.LoadFromStream(stream);
        EXPECT_EQ(file.ObjectCount, 2);
        ASSERT_EQ(file.Objects.size(), 1u);
        TKsvRegionObject* first = file.Objects[0].get();
        EXPECT_EQ(file.FindObject("m5"), first);
        EXPECT_EQ(file.FindObject("M5"), first);
        EXPECT_EQ(PixelsOf(first->PlainPicture)[0], 0x0000FFu);
        EXPECT_EQ(file.FindObject("M3"), nullptr);
        EXPECT_FALSE(file.AddObject(std::make_unique<TKsvRegionObject>("M5")));
        EXPECT_TRUE(file.AddObject(std::make_unique<TKsvRegionObject>("M6")));
        EXPECT_EQ(file.Objects.size(), 2u);
    });
}

// Every truncation and every single-bit flip of a small file, loaded by the
// GDI classes: each loads or fails with a stated error, and no GDI object
// outlives the file object.
TEST(RegionFile, EveryTruncationAndBitFlipLoadsOrFailsWithoutLeaking) {
    const Bytes bytes = krd::EncodeRegionFile(SmallFile(), Packing::Compressed);
    std::vector<Bytes> variants;
    for (size_t length = 0; length < bytes.size(); ++length) variants.emplace_back(bytes.begin(), bytes.begin() + length);
    for (size_t bit = 0; bit < bytes.size() * 8; ++bit) {
        variants.push_back(bytes);
        variants.back()[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    }
    size_t loaded = 0;
    ExpectNoGdiLeak([&] {
        loaded = 0;
        for (const Bytes& variant : variants) {
            TKsvRegionFile file("");
            TMemoryStream stream(variant);
            const std::string outcome = LoadOutcome(file, stream);
            if (outcome == "ok") {
                ++loaded;
            } else {
                ASSERT_NE(KnownLoadError(outcome), "") << outcome;
            }
        }
    });
    EXPECT_GT(loaded, 0u);
}

TEST(RegionFile, TheShippedPicturesHaveTheFormsObjectsAndRegions) {
    TKsvRegionFile file(ProgramFolder() + "Setting.KRD");
    file.LoadFromFile();
    EXPECT_EQ(file.Name, "PTRHK32A mouse pictures");
    const struct {
        const char* name;
        std::vector<uint32_t> ids;
    } objects[] = {{"M3", {1}}, {"M5", {1, 2, 3}}};
    for (const auto& want : objects) {
        SCOPED_TRACE(want.name);
        TKsvRegionObject* object = file.FindObject(want.name);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(SizeOf(object->PlainPicture).cx, 130);
        EXPECT_EQ(SizeOf(object->PlainPicture).cy, 228);
        const std::vector<uint32_t> plain = PixelsOf(object->PlainPicture);
        const std::vector<uint32_t> lit = PixelsOf(object->HighlightPicture);
        std::vector<bool> inAny(plain.size());
        EXPECT_EQ(object->RegionCount(), static_cast<int>(want.ids.size()));
        for (uint32_t id : want.ids) {
            TKsvRegionData* region = object->FindRegion(id);
            ASSERT_NE(region, nullptr) << id;
            const std::vector<bool> mask = MaskOf(region->Region, 130, 228);
            size_t changed = 0;
            for (size_t i = 0; i < mask.size(); ++i) {
                if (!mask[i]) continue;
                inAny[i] = true;
                if (plain[i] != lit[i]) ++changed;
            }
            EXPECT_GT(changed, 100u) << "region " << id << " does not light up plainly";
        }
        for (size_t i = 0; i < plain.size(); ++i) {
            if (!inAny[i]) {
                ASSERT_EQ(plain[i], lit[i]) << "pixel " << i << " lights outside every region";
            }
        }
    }
    HBITMAP fallback = static_cast<HBITMAP>(
        LoadImageA(nullptr, (ProgramFolder() + "MOUSE.BMP").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(SizeOf(fallback).cx, 130);
    EXPECT_EQ(SizeOf(fallback).cy, 228);
    DeleteObject(fallback);
}

}  // namespace
