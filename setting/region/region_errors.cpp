#include "region_errors.h"

EZlibDataError::EZlibDataError() : EZlibError("zlib: Compressed data is corrupted") {}

EZlibInternalError::EZlibInternalError(int code)
    : EZlibError("zlib: Internal error. Code " + std::to_string(code)), Code(code) {}

EReadError::EReadError() : EStreamError("Stream read error") {}

EFOpenError::EFOpenError(const std::string& fileName) : EStreamError("Cannot open file " + fileName) {}

EInvalidGraphic::EInvalidGraphic() : std::runtime_error("Bitmap image is not valid") {}

EOutOfResources::EOutOfResources() : std::runtime_error("Out of system resources") {}
