// Benchmark (not a test): loads a region-data file of about 1 MiB of pictures
// with TKsvRegionFile and inflates the same block payloads with plain zlib,
// and prints both times and their ratio; also the byte-level reader alone
// (from memory, no GDI objects) against the same inflate. Run under wine64:
//   tools/wine-session start "$PWD/build/win64/bench-wine"
//   PTR_WINE_STATE="$PWD/build/win64/bench-wine" tools/wine-run build/win64/bin/region_bench.exe
#include "gdi_support.h"
#include "krd_writer.h"
#include "region_data.h"
#include "region_layout.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using krd::Bytes;

// A drawing-like picture: bands of flat colour with edges and a sprinkle of
// single pixels.
krd::Raster BenchPicture(int32_t width, int32_t height, uint32_t seed) {
    krd::Raster raster(width, height);
    uint32_t noise = seed * 2654435761u + 1;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t band = (x / 16 + y / 12 + static_cast<int32_t>(seed)) % 5;
            uint32_t colour = 0x203040u * static_cast<uint32_t>(band + 1) & 0xFFFFFF;
            if (x % 16 == 0 || y % 12 == 0) colour = 0x101010;
            noise = noise * 1103515245u + 12345u;
            if ((noise >> 16) % 61 == 0) colour ^= (noise >> 4) & 0xFFFFFF;
            raster.At(x, y) = colour;
        }
    }
    return raster;
}

struct Payload {
    Bytes Packed;
    size_t Size;
};

// Collects the compressed payload of every block of a file as it is encoded.
void CollectBlock(const Bytes& content, std::vector<Payload>& payloads) {
    const Bytes block = krd::EncodeBlock(content, krd::Packing::Compressed);
    payloads.push_back({Bytes(block.begin() + 16, block.end()), content.size()});
}

double Seconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Best(int rounds, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) best = std::min(best, Seconds(work));
    return best;
}

}  // namespace

int main() {
    krd::FileSpec spec;
    spec.Name = "benchmark";
    std::vector<Payload> payloads;
    CollectBlock(krd::EncodeShortString(spec.Name), payloads);
    size_t pictureBytes = 0;
    for (uint32_t i = 0; i < 12; ++i) {
        krd::ObjectSpec object{"P" + std::to_string(i), BenchPicture(160, 120, i), BenchPicture(160, 120, i + 50), {}};
        for (uint32_t r = 1; r <= 3; ++r) {
            krd::RegionSpec region{r, 10 * static_cast<int32_t>(r), 10, 40, 30, {}};
            for (int32_t y = 10; y < 40; ++y) region.Outline.push_back({region.Left, y, region.Left + 20 + y, y + 1});
            object.Regions.push_back(region);
        }
        Bytes header = krd::EncodeShortString(object.Name);
        krd::AppendI32(header, 3);
        CollectBlock(header, payloads);
        for (const krd::Raster* picture : {&object.Plain, &object.Highlight}) {
            const Bytes image = krd::EncodeBitmapFile(*picture);
            pictureBytes += image.size();
            CollectBlock(image, payloads);
        }
        for (const krd::RegionSpec& region : object.Regions) {
            const Bytes outline = krd::EncodeOutline(region.Outline);
            Bytes record;
            for (int32_t v : {static_cast<int32_t>(region.Id), region.Left, region.Top, region.Width, region.Height,
                              static_cast<int32_t>(outline.size())}) {
                krd::AppendI32(record, v);
            }
            CollectBlock(record, payloads);
            CollectBlock(outline, payloads);
        }
        spec.Objects.push_back(std::move(object));
    }
    const Bytes file = krd::EncodeRegionFile(spec, krd::Packing::Compressed);
    regiontest::TempFile disk("region_bench.krd", file);

    const double load = Best(7, [&] {
        TKsvRegionFile regions(disk.Path());
        regions.LoadFromFile();
    });
    const double parse = Best(7, [&] {
        TMemoryStream stream(file);
        ParsedRegionFile parsed;
        ParseRegionFile(stream, parsed);
    });
    std::vector<Bytes> outputs;
    for (const Payload& payload : payloads) outputs.emplace_back(payload.Size);
    const double inflate = Best(7, [&] {
        for (size_t i = 0; i < payloads.size(); ++i) {
            uLongf size = static_cast<uLongf>(outputs[i].size());
            uncompress(outputs[i].data(), &size, payloads[i].Packed.data(), static_cast<uLong>(payloads[i].Packed.size()));
        }
    });
    std::printf("region-data file: %zu bytes on disk, %zu bytes of pictures in %zu blocks\n", file.size(), pictureBytes,
                payloads.size());
    std::printf("TKsvRegionFile.LoadFromFile: %.3f ms (best of 7)\n", load * 1000);
    std::printf("zlib uncompress of the same payloads: %.3f ms (best of 7)\n", inflate * 1000);
    std::printf("ratio: %.2f\n", load / inflate);
    std::printf("the reader alone, from memory: %.3f ms, ratio %.2f\n", parse * 1000, parse / inflate);
    return 0;
}
