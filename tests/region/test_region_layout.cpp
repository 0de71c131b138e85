// The byte-level reader of region-data files: blocks, sizes, outlines,
// bitmap images and whole files. Built natively (sanitizers) and for Windows.
#include "region_layout.h"
#include "region_test_files.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using krd::Bytes;
using krd::Packing;

uint32_t Adler(const Bytes& bytes) { return static_cast<uint32_t>(adler32(1, bytes.data(), static_cast<uInt>(bytes.size()))); }

Bytes Compressed(const Bytes& content) {
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    Bytes out(size);
    compress2(out.data(), &size, content.data(), static_cast<uLong>(content.size()), 9);
    out.resize(size);
    return out;
}

// A block with the given fields; the header check is right unless told otherwise.
Bytes RawBlock(int32_t packed, int32_t size, uint32_t dataCheck, const Bytes& payload, bool goodHeaderCheck = true) {
    Bytes fields;
    krd::AppendI32(fields, packed);
    krd::AppendI32(fields, size);
    krd::AppendU32(fields, dataCheck);
    Bytes out;
    krd::AppendU32(out, Adler(fields) + (goodHeaderCheck ? 0 : 1));
    krd::Append(out, fields);
    krd::Append(out, payload);
    return out;
}

Bytes Content(size_t size) {
    Bytes content(size);
    for (size_t i = 0; i < size; ++i) content[i] = static_cast<uint8_t>(i * 7 + i / 13);
    return content;
}

// "ok", the error's message, or "unexpected: ..." for anything not stated.
template <typename Action>
std::string Outcome(Action action) {
    try {
        action();
        return "ok";
    } catch (const EZlibInternalError& error) {
        return error.what();
    } catch (const EZlibDataError& error) {
        return error.what();
    } catch (const EReadError& error) {
        return error.what();
    } catch (const EInvalidGraphic& error) {
        return error.what();
    } catch (const std::exception& error) {
        return std::string("unexpected: ") + error.what();
    }
}

const char kData[] = "zlib: Compressed data is corrupted";
const char kRead[] = "Stream read error";
const char kBitmap[] = "Bitmap image is not valid";

TEST(RegionErrors, CarryTheirExactMessages) {
    const struct {
        std::string message;
        std::string expected;
    } cases[] = {
        {EZlibDataError().what(), "zlib: Compressed data is corrupted"},
        {EZlibInternalError(-5).what(), "zlib: Internal error. Code -5"},
        {EReadError().what(), "Stream read error"},
        {EFOpenError("C:\\x\\Setting.KRD").what(), "Cannot open file C:\\x\\Setting.KRD"},
        {EInvalidGraphic().what(), "Bitmap image is not valid"},
        {EOutOfResources().what(), "Out of system resources"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message, c.expected);
    }
    EXPECT_EQ(EZlibInternalError(2).Code, 2);
}

TEST(RegionBlock, EachFaultOfABlockEndsInItsError) {
    const Bytes content = Content(256);
    const Bytes packed = Compressed(content);
    const int32_t packedSize = static_cast<int32_t>(packed.size());
    Bytes flipped = packed;
    flipped[packed.size() / 2] ^= 0x10;
    const Bytes longer = Compressed(Content(300));
    const Bytes shorter = Compressed(Content(200));
    const Bytes cut(packed.begin(), packed.end() - 4);
    Bytes withTail = packed;
    withTail.insert(withTail.end(), {1, 2, 3});

    z_stream z{};
    deflateInit(&z, 9);
    deflateSetDictionary(&z, content.data(), 32);
    Bytes withDictionary(512);
    z.next_in = const_cast<Bytef*>(content.data());
    z.avail_in = 256;
    z.next_out = withDictionary.data();
    z.avail_out = 512;
    deflate(&z, Z_FINISH);
    withDictionary.resize(z.total_out);
    deflateEnd(&z);

    const struct {
        const char* name;
        Bytes block;
        std::string outcome;
        int64_t position;  // after the read; -1: not checked
    } cases[] = {
        {"compressed", RawBlock(packedSize, 256, Adler(content), packed), "ok", 16 + packedSize},
        {"stored", RawBlock(-1, 256, Adler(content), content), "ok", 16 + 256},
        {"stored, data check off", RawBlock(-1, 256, Adler(content) ^ 1, content), kData, -1},
        {"size 255 where 256 is expected", RawBlock(-1, 255, Adler(Content(255)), Content(255)), kData, 16},
        {"header check off", RawBlock(-1, 256, Adler(content), content, false), kData, 16},
        {"packed size -2", RawBlock(-2, 256, Adler(content), content), kData, 16},
        {"stored payload cut short", RawBlock(-1, 256, Adler(content), Content(255)), kRead, 16},
        {"compressed payload past the end", RawBlock(packedSize + 1, 256, Adler(content), packed), kRead, 16},
        {"more than deflate can expand", RawBlock(0, 256, Adler(content), {}), kData, 16},
        {"one byte flipped", RawBlock(packedSize, 256, Adler(content), flipped), kData, -1},
        {"zlib stream cut short", RawBlock(packedSize - 4, 256, Adler(content), cut), "zlib: Internal error. Code -5",
         -1},
        {"inflates to more", RawBlock(static_cast<int32_t>(longer.size()), 256, Adler(content), longer), kData, -1},
        {"inflates to less", RawBlock(static_cast<int32_t>(shorter.size()), 256, Adler(Content(200)), shorter), kData,
         -1},
        {"preset dictionary", RawBlock(static_cast<int32_t>(withDictionary.size()), 256, Adler(content), withDictionary),
         "zlib: Internal error. Code 2", -1},
        {"bytes after the zlib stream", RawBlock(packedSize + 3, 256, Adler(content), withTail), "ok", 16 + packedSize + 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream stream(c.block);
        uint8_t buffer[256];
        EXPECT_EQ(Outcome([&] { stream.ReadBlock(buffer, 256); }), c.outcome);
        if (c.outcome == "ok") {
            EXPECT_EQ(0, std::memcmp(buffer, content.data(), 256));
        }
        if (c.position >= 0) {
            EXPECT_EQ(stream.Position(), c.position);
        }
    }
}

TEST(RegionBlock, SizesFromTheFileAreCheckedBeforeTheirBlockIsRead) {
    const Bytes picture = krd::EncodeBitmapFile(krd::Raster(2, 2, 0x123456));
    const struct {
        const char* name;
        int32_t count;
        std::string outcome;
    } cases[] = {
        {"negative", -1, kData},
        {"over the cap", kMaxBlockContent + 1, kData},
        {"most negative", INT32_MIN, kData},
        {"exact", static_cast<int32_t>(picture.size()), "ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file;
        krd::AppendI32(file, c.count);
        krd::Append(file, krd::EncodeBlock(picture, Packing::Stored));
        TMemoryStream stream(file);
        EXPECT_EQ(Outcome([&] { ReadPicture(stream); }), c.outcome);
        if (c.outcome != "ok") {
            EXPECT_EQ(stream.Position(), 4);
        }
    }
}

Bytes OutlineBytes(uint32_t headerSize, uint32_t type, uint32_t count, size_t rectangles) {
    Bytes out;
    krd::AppendU32(out, headerSize);
    krd::AppendU32(out, type);
    krd::AppendU32(out, count);
    out.resize(32 + 16 * rectangles, 0);
    return out;
}

TEST(RegionOutline, AHeaderThatLiesIsRejected) {
    const struct {
        const char* name;
        Bytes outline;
        bool valid;
    } cases[] = {
        {"two rectangles", OutlineBytes(32, 1, 2, 2), true},
        {"none", OutlineBytes(32, 1, 0, 0), true},
        {"room to spare", OutlineBytes(32, 1, 1, 3), true},
        {"shorter than its header", Bytes(31, 0), false},
        {"header size 31", OutlineBytes(31, 1, 0, 0), false},
        {"not rectangles", OutlineBytes(32, 2, 0, 0), false},
        {"one rectangle more than it holds", OutlineBytes(32, 1, 3, 2), false},
        {"a count that wraps 32 bits", OutlineBytes(32, 1, 0x10000001, 1), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Outcome([&] { CheckOutline(c.outline); }), c.valid ? "ok" : kData);
    }
    // Read through a region record, a bad outline fails the same way.
    Bytes record;
    for (int32_t value : {7, 0, 0, 1, 1, 31}) krd::AppendI32(record, value);
    Bytes file = krd::EncodeBlock(record, Packing::Compressed);
    krd::Append(file, krd::EncodeBlock(Bytes(31, 0), Packing::Compressed));
    TMemoryStream stream(file);
    EXPECT_EQ(Outcome([&] { ReadRegionRecord(stream); }), kData);
}

void StoreU32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(RegionBitmap, OnlyAnImageWhosePartsLieInsideItIsAccepted) {
    const Bytes good = krd::EncodeBitmapFile(regiontest::Pattern(3, 2, 9));
    const struct {
        const char* name;
        std::function<void(Bytes&)> change;
        bool valid;
    } cases[] = {
        {"as written", [](Bytes&) {}, true},
        {"top row first", [](Bytes& b) { StoreU32(b, 22, static_cast<uint32_t>(-2)); }, true},
        {"not BM", [](Bytes& b) { b[1] = 'A'; }, false},
        {"core header", [](Bytes& b) { StoreU32(b, 14, 12); }, false},
        {"header past the end", [](Bytes& b) { StoreU32(b, 14, 124); }, false},
        {"width 0", [](Bytes& b) { StoreU32(b, 18, 0); }, false},
        {"height 0", [](Bytes& b) { StoreU32(b, 22, 0); }, false},
        {"height of INT_MIN", [](Bytes& b) { StoreU32(b, 22, 0x80000000u); }, false},
        {"too wide", [](Bytes& b) { StoreU32(b, 18, kMaxBitmapSide + 1); }, false},
        {"too many pixels", [](Bytes& b) { StoreU32(b, 18, 16384); StoreU32(b, 22, 16384); }, false},
        {"two planes", [](Bytes& b) { b[26] = 2; }, false},
        {"3 bits a pixel", [](Bytes& b) { b[28] = 3; }, false},
        {"RLE", [](Bytes& b) { StoreU32(b, 30, 1); }, false},
        {"bit fields on 24 bits", [](Bytes& b) { StoreU32(b, 30, 3); }, false},
        {"pixels past the end", [](Bytes& b) { StoreU32(b, 22, 3); }, false},
        {"pixel offset past the end", [](Bytes& b) { StoreU32(b, 10, 0x7FFFFFF0); }, false},
        {"pixel offset inside the headers", [](Bytes& b) { StoreU32(b, 10, 50); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = good;
        c.change(image);
        EXPECT_EQ(Outcome([&] { DecodeBitmapFile(image); }), c.valid ? "ok" : kBitmap);
    }
}

Bytes PixelBytes(const BitmapImage& image) { return Bytes(image.Pixels(), image.Pixels() + image.PixelSize); }

// An 8-bit image with a 3-colour table, and a 32-bit top-down image with alpha.
TEST(RegionBitmap, PalettesAndDeepPixelsAreKeptForGdi) {
    Bytes indexed = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    krd::AppendU32(indexed, 14 + 40 + 12);
    for (uint32_t v : {40u, 2u, 1u}) krd::AppendU32(indexed, v);
    indexed.insert(indexed.end(), {1, 0, 8, 0});
    for (uint32_t v : {0u, 4u, 0u, 0u, 3u, 0u}) krd::AppendU32(indexed, v);
    for (uint32_t colour : {0x000000FFu, 0x0000FF00u, 0x00FF0000u}) krd::AppendU32(indexed, colour);
    indexed.insert(indexed.end(), {2, 1, 0, 0});
    const BitmapImage decoded = DecodeBitmapFile(indexed);
    EXPECT_EQ(decoded.BitCount, 8);
    ASSERT_EQ(decoded.Info.size(), 40u + 12u);
    EXPECT_EQ(decoded.Info[32], 3);  // colours used
    EXPECT_EQ(Bytes(decoded.Info.begin() + 40, decoded.Info.end()), Bytes(indexed.begin() + 54, indexed.begin() + 66));
    EXPECT_EQ(PixelBytes(decoded), (Bytes{2, 1, 0, 0}));

    Bytes indexedBig = indexed;
    StoreU32(indexedBig, 46, 257);
    EXPECT_EQ(Outcome([&] { DecodeBitmapFile(indexedBig); }), kBitmap);
    Bytes tableOverPixels = indexed;
    StoreU32(tableOverPixels, 46, 4);
    EXPECT_EQ(Outcome([&] { DecodeBitmapFile(tableOverPixels); }), kBitmap);

    Bytes deep = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    krd::AppendU32(deep, 54);
    for (uint32_t v : {40u, 2u, static_cast<uint32_t>(-1)}) krd::AppendU32(deep, v);
    deep.insert(deep.end(), {1, 0, 32, 0});
    for (int i = 0; i < 6; ++i) krd::AppendU32(deep, 0);
    deep.insert(deep.end(), {1, 2, 3, 0xFF, 4, 5, 6, 0x80});
    const BitmapImage top = DecodeBitmapFile(deep);
    EXPECT_TRUE(top.TopDown);
    EXPECT_EQ(top.Height, 1);
    EXPECT_EQ(top.Info[8] | top.Info[9] << 8 | top.Info[10] << 16 | top.Info[11] << 24, -1);
    EXPECT_EQ(PixelBytes(top), (Bytes{1, 2, 3, 0, 4, 5, 6, 0}));
}

// Where each object of a file ends, as offsets into its bytes.
std::vector<size_t> ObjectEnds(const krd::FileSpec& spec, Packing packing) {
    size_t at = 16 + krd::EncodeBlock(krd::EncodeShortString(spec.Name), packing).size();
    std::vector<size_t> ends;
    for (const krd::ObjectSpec& object : spec.Objects) {
        at += krd::EncodeObject(object, packing).size();
        ends.push_back(at);
    }
    return ends;
}

// Every truncation of a small file: the objects complete in the prefix are
// read, the rest fails with a stated error, and the name is kept only when
// all went well.
TEST(RegionFileParser, EveryTruncationKeepsTheObjectsReadBeforeIt) {
    const krd::FileSpec spec = regiontest::SmallFile();
    for (Packing packing : {Packing::Compressed, Packing::Stored}) {
        const Bytes bytes = krd::EncodeRegionFile(spec, packing);
        const std::vector<size_t> ends = ObjectEnds(spec, packing);
        ASSERT_EQ(ends.back(), bytes.size());
        for (size_t length = 0; length <= bytes.size(); ++length) {
            SCOPED_TRACE(length);
            TMemoryStream stream(bytes.data(), length);
            ParsedRegionFile file;
            const bool whole = length == bytes.size();
            ASSERT_EQ(Outcome([&] { ParseRegionFile(stream, file); }), whole ? "ok" : kRead);
            size_t complete = 0;
            while (complete < ends.size() && ends[complete] <= length) ++complete;
            ASSERT_EQ(file.Objects.size(), complete);
            for (size_t i = 0; i < complete; ++i) {
                EXPECT_EQ(file.Objects[i].Header.Name, spec.Objects[i].Name);
                EXPECT_EQ(file.Objects[i].Regions.size(), spec.Objects[i].Regions.size());
            }
            EXPECT_EQ(file.Name, whole ? spec.Name : "");
        }
    }
}

}  // namespace
