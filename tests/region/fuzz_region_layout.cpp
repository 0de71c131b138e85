// libFuzzer target: any bytes, read as a region-data file, either load or end
// in one of the reader's stated errors; nothing else (a crash, a sanitizer
// report, another exception, a runaway allocation) is allowed.
#include "region_layout.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryStream stream(data, size);
    ParsedRegionFile file;
    try {
        ParseRegionFile(stream, file);
    } catch (const EZlibError&) {
    } catch (const EStreamError&) {
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
