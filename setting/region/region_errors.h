// The errors of the region-data file and its reader. Each carries the message
// text the settings program would show; what() is that text exactly.
#pragma once

#include <stdexcept>
#include <string>

// zlib and block-check failures.
class EZlibError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A block's size or checks do not match, or its compressed data is corrupt or
// longer than expected: "zlib: Compressed data is corrupted".
class EZlibDataError : public EZlibError {
public:
    EZlibDataError();
};

// zlib reported any other error (a payload that ends before its zlib stream
// does, for one): "zlib: Internal error. Code %d" with zlib's return code.
class EZlibInternalError : public EZlibError {
public:
    explicit EZlibInternalError(int code);
    int Code;
};

// Failures of the file stream itself.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file ends before a raw read or a payload is complete: "Stream read error".
class EReadError : public EStreamError {
public:
    EReadError();
};

// The file cannot be opened: "Cannot open file %s" with the path.
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName);
};

// A picture that is not a bitmap file image this reader accepts:
// "Bitmap image is not valid".
class EInvalidGraphic : public std::runtime_error {
public:
    EInvalidGraphic();
};

// GDI could not make a bitmap or region (the process is out of GDI objects or
// memory): "Out of system resources".
class EOutOfResources : public std::runtime_error {
public:
    EOutOfResources();
};
